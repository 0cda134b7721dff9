// A slot thumbnail file read into a display layer, as a slot row does.
#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "graphics/CDIB.h"
#include "script/save/SaveThumbnail.h"

int FuzzThumbnail(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    const CStringUTF8 name = WriteFuzzFile("thm001", data, size);
    CDIB layer;
    layer.Create(THUMBNAIL_WIDTH, THUMBNAIL_HEIGHT);
    ReadThumbnailFile(name, layer);
    return 0;
}
