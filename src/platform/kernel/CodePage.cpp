#include "platform/kernel/CodePageApi.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include <iconv.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/Unicode.h"

// CP932 goes through glibc's iconv, whose table matches the Windows one (0x8160 is U+FF5E,
// 0x815F is U+FF3C, the NEC and IBM extensions are present). iconv stops at the first byte it
// cannot decode, so we substitute ourselves and carry on:
// - decoding: every undecodable unit becomes one U+30FB (katakana middle dot, what a Japanese
//   reader expects for a missing character). A lead byte followed by a valid trail byte is one
//   unit; a lead byte followed by anything else, or left alone at the end, is a unit by itself,
//   so the byte behind it still decodes. Bytes that are neither lead bytes nor mapped (0x80,
//   0xA0, 0xFD-0xFF) are single units too.
// - encoding: every code point without a CP932 form (unpaired surrogates included) becomes the
//   caller's default character, or '?'.

namespace {

constexpr char16_t CP932_REPLACEMENT = 0x30FB;
constexpr char DEFAULT_CHAR = '?';

const char* Utf16Name()
{
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// One converter per thread and direction: iconv descriptors keep shift state and are not
// safe to share.
class IconvHandle
{
public:
    IconvHandle(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    {}
    ~IconvHandle()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool IsValid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        return m_cd;
    }

private:
    iconv_t m_cd;
};

bool IsCp932Lead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsCp932Trail(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

bool IsCp932CodePage(UINT code_page)
{
    return code_page == CP_ACP || code_page == CP_932;
}

// With stop_at_invalid the result is cut short at the first undecodable unit and invalid is set.
std::u16string DecodeCp932(std::string_view input, bool stop_at_invalid, bool& invalid)
{
    invalid = false;
    thread_local IconvHandle decoder(Utf16Name(), "CP932");
    std::u16string out;
    if (!decoder.IsValid()) {
        invalid = stop_at_invalid && !input.empty();
        if (!invalid)
            out.assign(input.size(), CP932_REPLACEMENT);
        return out;
    }
    iconv_t cd = decoder.Get();
    out.resize(input.size() + 1);
    size_t written = 0;
    size_t pos = 0;
    while (pos < input.size()) {
        char* in_ptr = const_cast<char*>(input.data() + pos);
        size_t in_left = input.size() - pos;
        char* out_ptr = reinterpret_cast<char*>(out.data() + written);
        size_t out_left = (out.size() - written) * sizeof(char16_t);
        const size_t result = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
        const int error = errno;
        written = (reinterpret_cast<char16_t*>(out_ptr) - out.data());
        pos = input.size() - in_left;
        if (result != static_cast<size_t>(-1))
            break;
        if (error == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL (cut off at the end): substitute one unit and go on behind it.
        if (stop_at_invalid) {
            invalid = true;
            break;
        }
        const auto lead = static_cast<unsigned char>(input[pos]);
        size_t unit = 1;
        if (IsCp932Lead(lead) && pos + 1 < input.size() &&
            IsCp932Trail(static_cast<unsigned char>(input[pos + 1])))
            unit = 2;
        if (written == out.size())
            out.resize(out.size() * 2);
        out[written++] = CP932_REPLACEMENT;
        pos += unit;
        cd = decoder.Get();
    }
    out.resize(written);
    return out;
}

std::string EncodeCp932(std::u16string_view input, std::string_view default_char, bool& used_default)
{
    thread_local IconvHandle encoder("CP932", Utf16Name());
    std::string out;
    used_default = false;
    if (!encoder.IsValid()) {
        out.assign(input.size(), DEFAULT_CHAR);
        used_default = !input.empty();
        return out;
    }
    iconv_t cd = encoder.Get();
    out.resize(input.size() * 2 + 1);
    size_t written = 0;
    size_t pos = 0;
    while (pos < input.size()) {
        char* in_ptr = reinterpret_cast<char*>(const_cast<char16_t*>(input.data() + pos));
        size_t in_left = (input.size() - pos) * sizeof(char16_t);
        char* out_ptr = out.data() + written;
        size_t out_left = out.size() - written;
        const size_t result = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
        const int error = errno;
        written = out_ptr - out.data();
        pos = input.size() - in_left / sizeof(char16_t);
        if (result != static_cast<size_t>(-1))
            break;
        if (error == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // One code point without a CP932 form: a valid surrogate pair counts as one.
        size_t unit = 1;
        const char16_t first = input[pos];
        if (first >= 0xD800 && first <= 0xDBFF && pos + 1 < input.size() && input[pos + 1] >= 0xDC00 &&
            input[pos + 1] <= 0xDFFF)
            unit = 2;
        if (out.size() - written < default_char.size())
            out.resize(out.size() * 2 + default_char.size());
        std::memcpy(out.data() + written, default_char.data(), default_char.size());
        written += default_char.size();
        used_default = true;
        pos += unit;
        cd = encoder.Get();
    }
    out.resize(written);
    return out;
}

// Copies a converted text into the caller's buffer with the Win32 sizing rules.
template <typename Char>
int Deliver(const std::basic_string<Char>& converted, Char* buffer, int buffer_length)
{
    if (converted.size() > static_cast<size_t>(INT32_MAX)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const int length = static_cast<int>(converted.size());
    if (buffer_length == 0)
        return length;
    if (length > buffer_length) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, converted.data(), converted.size() * sizeof(Char));
    return length;
}

} // namespace

int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR multi_byte, int multi_byte_length, LPWSTR wide,
                        int wide_length)
{
    if (multi_byte == nullptr || multi_byte_length == 0 || multi_byte_length < -1 || wide_length < 0 ||
        (wide == nullptr && wide_length != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // -1: the text ends at its NUL, which is converted and counted too.
    const size_t length =
        multi_byte_length == -1 ? std::strlen(multi_byte) + 1 : static_cast<size_t>(multi_byte_length);
    const std::string_view input(multi_byte, length);
    std::u16string converted;
    if (code_page == CP_UTF8) {
        converted = platform::Utf8ToUtf16(input);
    } else if (IsCp932CodePage(code_page)) {
        bool invalid = false;
        converted = DecodeCp932(input, (flags & MB_ERR_INVALID_CHARS) != 0, invalid);
        if (invalid) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Deliver(converted, wide, wide_length);
}

int WideCharToMultiByte(UINT code_page, DWORD, LPCWSTR wide, int wide_length, LPSTR multi_byte,
                        int multi_byte_length, LPCSTR default_char, LPBOOL used_default_char)
{
    if (wide == nullptr || wide_length == 0 || wide_length < -1 || multi_byte_length < 0 ||
        (multi_byte == nullptr && multi_byte_length != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = 0;
    if (wide_length == -1) {
        while (wide[length] != 0)
            ++length;
        ++length;
    } else {
        length = static_cast<size_t>(wide_length);
    }
    const std::u16string_view input(wide, length);
    std::string converted;
    if (code_page == CP_UTF8) {
        // UTF-8 has a form for everything, so Windows refuses a default character here.
        if (default_char != nullptr || used_default_char != nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        converted = platform::Utf16ToUtf8(input);
    } else if (IsCp932CodePage(code_page)) {
        const std::string_view substitute =
            default_char != nullptr && default_char[0] != 0
                ? std::string_view(default_char, IsCp932Lead(static_cast<unsigned char>(default_char[0])) &&
                                                         default_char[1] != 0
                                                     ? 2
                                                     : 1)
                : std::string_view(&DEFAULT_CHAR, 1);
        bool used = false;
        converted = EncodeCp932(input, substitute, used);
        if (used_default_char != nullptr)
            *used_default_char = used ? TRUE : FALSE;
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Deliver(converted, multi_byte, multi_byte_length);
}

UINT GetACP()
{
    return CP_932;
}

BOOL IsDBCSLeadByteEx(UINT code_page, BYTE byte)
{
    return IsCp932CodePage(code_page) && IsCp932Lead(byte) ? TRUE : FALSE;
}
