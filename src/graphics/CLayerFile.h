#pragma once
// The archive set of pictures ("layer.arc") and the loaders that decode an AKB picture from it
// into a layer or a sprite, making the layer or sprite when none is given. Difference pictures
// load their base first (which may itself be a difference picture) and lay their changed pixels
// over it through the document's work layer. Also the factories of layers and sprites by kind:
// 0 memory pixels, 1 DIB section, 2 texture. Main thread only.

#include "foundation/CArchiveManager.h"
#include "foundation/CStringUTF8.h"
#include "graphics/CSpriteLayer.h"
#include "platform/kernel/WinTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class ILayer;
class ILayerBuffer;

inline constexpr int32_t LAYER_KIND_TEXTURE = 2;
// How many difference pictures may stand on each other before the chain counts as broken.
inline constexpr int32_t MAX_DIFFERENCE_DEPTH = 8;
// The largest picture a header may declare, position included: the town map picture, the
// largest the game draws. A header can claim up to 65535 x 65535 with no body at all (an empty
// content rectangle with a border fill), and the layer is allocated before anything is decoded.
inline constexpr int64_t MAX_PICTURE_WIDTH = 8400;
inline constexpr int64_t MAX_PICTURE_HEIGHT = 5040;
// A layer made for a picture holds the content rectangle, whose pixels the entry's body must
// decode to, and the border fill and the offset of its position, which cost the entry nothing.
// Those free pixels are at most a 2048 x 2048 picture's, the largest the screens load into a
// layer of its own (a standing character, a picture container); the town map is drawn into a
// layer its screen makes, which bounds it.
inline constexpr int64_t MAX_UNBACKED_PIXELS = 2048 * 2048;

// A new layer of the kind with no pixels yet; 0 for other kinds or when it cannot be allocated.
ILayer* CreateLayer(int32_t kind);
// A new sprite: a sprite layer (kinds 0 and 1, priority -1) or a texture sprite (kind 2).
CSprite* CreateSpriteLayer(int32_t kind);
// A sprite of the layer type (0 memory, 1 DIB section, 2 texture) with its rectangle and
// priority, made by the layer's own Create; null for an unknown type.
std::unique_ptr<CSpriteLayer> CreateSpriteOfType(int32_t x, int32_t y, int32_t width, int32_t height,
                                                 int32_t priority, int32_t type);

class CLayerFile : public CArchiveManager
{
public:
    CLayerFile(CStringUTF8 list, bool compressed, bool raise);
    ~CLayerFile() override;

    // Reads a whole entry into the buffer: 1, or 0 after the archive's message was shown.
    virtual int32_t ReadEntry(CStringUTF8 name, ILayerBuffer& buffer);

    // Decodes the picture of the entry named, as named (a screen that shows a language's form asks
    // for that form by name), with its top-left at (x, y) (-1 meaning 0) into the layer, or into a
    // new layer of the kind (right x bottom pixels) when none is given. Returns the layer; the
    // given layer (or 0) when the entry cannot be read or is not a sound AKB picture; 0 after the
    // range error when the picture does not fit.
    ILayer* LoadPicture(CStringUTF8 name, ILayer* layer, int32_t kind, int32_t texture_argument, RECT* out,
                        int32_t x, int32_t y, int32_t fill_mode);
    // As LoadPicture, into the sprite's layer, or into a new sprite of the kind at the priority.
    CSprite* LoadSprite(CStringUTF8 name, CSprite* sprite, int32_t kind, int32_t texture_argument,
                        int32_t priority, RECT* out, int32_t x, int32_t y, int32_t fill_mode);

    // Sheets: pictures at (0, 0) in memory layers that screens only copy parts from, decoded once
    // and handed to every holder while one still holds it (the message window and the sub map
    // share one "icon_p.akb"). The sheet of the name a holder still keeps, or null; a sheet
    // loaded, to be found while a holder keeps it.
    std::shared_ptr<CSprite> FindSheet(const CStringUTF8& name);
    void KeepSheet(const CStringUTF8& name, const std::shared_ptr<CSprite>& sheet);
    // How often the entry's pixels were decoded (a difference picture's base counts too).
    uint32_t GetDecodeCount(const CStringUTF8& name) const;

    // The layer difference pictures are decoded into before they are laid over their base. Not
    // owned: the document keeps it as long as this object.
    void SetWorkLayer(ILayer* layer) { m_work_layer = layer; }
    ILayer* GetWorkLayer() const { return m_work_layer; }

private:
    ILayer* LoadPictureAt(const CStringUTF8& name, ILayer* layer, int32_t kind, int32_t texture_argument,
                          RECT* out, int32_t x, int32_t y, int32_t fill_mode, int32_t depth, bool* failed);

    ILayer* m_work_layer = nullptr; // not owned
    std::map<std::string, std::weak_ptr<CSprite>> m_sheets;
    std::map<std::string, uint32_t> m_decodes;
};

// The document's layer file, registered by the document for the screens and tasks that load
// pictures. Not owned; null outside the document's lifetime.
void SetDocumentLayerFile(CLayerFile* file);
CLayerFile* GetDocumentLayerFile();
