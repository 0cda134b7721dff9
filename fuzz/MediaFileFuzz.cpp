// A movie archive entry, its optional "VSD1" header included, attached behind other bytes of its
// file and read through to its end in the chunks the filter graph asks for, with positions
// before, inside and past it.
#include <vector>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "movie/CMediaFile.h"
#include "platform/kernel/FileApi.h"

namespace {

constexpr uint8_t PREFIX[] = {'V', 'S', 'D', '1', 0xFF, 0xFF, 0xFF, 0x7F}; // another entry's bytes
constexpr DWORD CHUNK = 4096;

} // namespace

int FuzzMediaFile(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    std::vector<uint8_t> bytes(PREFIX, PREFIX + sizeof(PREFIX));
    bytes.insert(bytes.end(), data, data + size);
    bytes.insert(bytes.end(), PREFIX, PREFIX + sizeof(PREFIX)); // the next entry
    const CStringUTF8 path = WriteFuzzFile("movie.arc", bytes.data(), bytes.size());
    HANDLE file = CreateFileW(path.GetWideText(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    CMediaFile media; // owns the handle from Attach on
    if (FAILED(media.Attach(file, static_cast<uint32_t>(size), sizeof(PREFIX))))
        return 0;
    LONGLONG available = 0;
    const LONGLONG length = media.Size(&available);
    std::vector<BYTE> chunk(CHUNK);
    media.Lock();
    for (LONGLONG position = 0; position <= length; position += CHUNK) {
        if (media.SetPointer(position) != S_OK)
            break;
        DWORD read = 0;
        media.Read(chunk.data(), CHUNK, FALSE, &read);
    }
    for (const LONGLONG position : {LONGLONG(-1), length, length + 1, length / 2}) {
        DWORD read = 0;
        if (media.SetPointer(position) == S_OK)
            media.Read(chunk.data(), CHUNK, FALSE, &read);
    }
    media.Unlock();
    return 0;
}
