#pragma once
// UTF-8 <-> UTF-16 conversion used inside the layer and by CP_UTF8. Each malformed sequence
// (bad lead, missing continuation, overlong form, surrogate, value past U+10FFFF, a sequence cut
// off by the end of the input) becomes one U+FFFD; an unpaired surrogate on the UTF-16 side
// becomes U+FFFD too. Conversion never reads past the given view.

#include <string>
#include <string_view>

namespace platform {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

} // namespace platform
