#include "script/save/SaveThumbnail.h"

#include <cstring>

#include "foundation/CFile.h"
#include "graphics/ILayer.h"
#include "platform/gdi/GdiApi.h"
#include "platform/kernel/FileApi.h"

std::vector<uint8_t> ScaleThumbnail(ILayer& snapshot, ILayer& capture)
{
    HDC source = snapshot.GetDC();
    HDC target = capture.GetDC();
    if (source == nullptr || target == nullptr || capture.GetBits() == nullptr)
        return {};
    SetStretchBltMode(source, HALFTONE);
    SetStretchBltMode(target, HALFTONE);
    StretchBlt(target, 0, 0, THUMBNAIL_WIDTH, THUMBNAIL_HEIGHT, source, 0, 0, SNAPSHOT_WIDTH, SNAPSHOT_HEIGHT,
               SRCCOPY);
    capture.Lock();
    const uint8_t* bits = capture.GetBits();
    std::vector<uint8_t> bytes(bits, bits + THUMBNAIL_BYTES);
    capture.Unlock();
    return bytes;
}

int32_t ReadThumbnailFile(const CStringUTF8& name, ILayer& display)
{
    display.Lock();
    CFile file;
    int32_t shown = 0;
    // A shorter file would mix with what the layer held before (another slot's picture), so it
    // counts as missing; a longer one gives its first picture's worth of bytes.
    if (file.OpenRead(name) && (file.GetSizeHigh() != 0 || file.GetSize() >= THUMBNAIL_BYTES)) {
        std::vector<uint8_t> bytes(THUMBNAIL_BYTES);
        if (file.Read(bytes.data(), THUMBNAIL_BYTES) && file.GetBytesMoved() == THUMBNAIL_BYTES &&
            display.GetBits() != nullptr) {
            std::memcpy(display.GetBits(), bytes.data(), THUMBNAIL_BYTES);
            shown = 1;
        }
    }
    display.SetAlphaRect(0, 0, THUMBNAIL_WIDTH, THUMBNAIL_HEIGHT, shown ? 255 : 0);
    display.Unlock();
    return shown;
}
