#pragma once
// The message window's name plates: the speaker's name typeset on the plate strip with a font of
// the interface language kept from message to message, and the strips of the latest speakers kept,
// so that a name of one line on a whole plate is copied rather than typeset again. Owned by the
// message window; main thread only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

// The speakers whose name plates are kept drawn.
inline constexpr size_t MESWND_KEPT_NAME_PLATES = 8;
// The name plate's strip of the text layer and the text box its name is drawn in.
inline constexpr RECT MESWND_NAME_PLATE{391, 15, 391 + 1240, 15 + 64};
inline constexpr RECT MESWND_NAME_BOX{508, 22, 1508, 202};
// The name's line height, which is also the name font's size.
inline constexpr int32_t MESWND_NAME_LINE = 40;

class CFontDIB;
class CSpriteLayer;
struct TextBox;

class MesWndNamePlates
{
public:
    MesWndNamePlates();
    ~MesWndNamePlates();

    // The name on the plate strip of the layer, through the name font; plate_whole when the plate
    // was just drawn over the whole strip from the parts picture.
    void TypesetName(TextBox& text, CSpriteLayer& layer, bool plate_whole, const CSpriteLayer* parts);

private:
    // Made for the language font m_font_name; null when no font of the size can be made.
    CFontDIB* NameFont();

    struct Key
    {
        CStringUTF8 Name;
        uint32_t Colour = 0;
        uint32_t Outline = 0;
        CStringUTF8 Font;
        const CSpriteLayer* Parts = nullptr;
        bool operator==(const Key& other) const;
    };
    struct Plate
    {
        Key PlateKey;
        std::unique_ptr<CSpriteLayer> Strip;
    };
    std::vector<Plate> m_plates; // the strips of the latest speakers
    std::unique_ptr<CFontDIB> m_font;
    CStringUTF8 m_font_name;
};
