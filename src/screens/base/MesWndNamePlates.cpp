#include "screens/base/MesWndNamePlates.h"

#include "foundation/ConfigSettings.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CFontDIB.h"
#include "graphics/CSpriteLayer.h"
#include "script/commands/CFuncString.h"

MesWndNamePlates::MesWndNamePlates() = default;
MesWndNamePlates::~MesWndNamePlates() = default;

CFontDIB* MesWndNamePlates::NameFont()
{
    // Kept from message to message with the glyphs it rendered; the language may change.
    const CStringUTF8 name = GetLanguageFontName();
    if (!m_font || !(name == m_font_name)) {
        m_font.reset();
        auto font = std::make_unique<CFontDIB>();
        font->Create(name);
        if (font->SetFontSize(MESWND_NAME_LINE, MESWND_NAME_LINE) == 0)
            return nullptr;
        m_font = std::move(font);
        m_font_name = name;
    }
    return m_font.get();
}

bool MesWndNamePlates::Key::operator==(const Key& other) const
{
    return Name == other.Name && Colour == other.Colour && Outline == other.Outline && Font == other.Font &&
           Parts == other.Parts;
}

void MesWndNamePlates::TypesetName(TextBox& text, CSpriteLayer& layer, bool plate_whole,
                                   const CSpriteLayer* parts)
{
    const RECT& strip = MESWND_NAME_PLATE;
    const int32_t width = strip.right - strip.left;
    const int32_t height = strip.bottom - strip.top;
    // On a whole plate a name of one line makes the same strip every time: it is kept and copied.
    const bool keep =
        plate_whole && !GetConfigSceneSkip() && GetConfigLanguage() != LANGUAGE_SIMPLIFIED_CHINESE;
    Key key{text.Text, text.DrawWord1, text.DrawWord2, GetLanguageFontName(), parts};
    if (keep) {
        for (const Plate& plate : m_plates) {
            if (plate.PlateKey == key) {
                layer.Blt(strip.left, strip.top, width, height, plate.Strip.get(), 0, 0, 1);
                return;
            }
        }
    }
    try {
        CFontDIB* font = NameFont();
        if (font == nullptr)
            return;
        CFuncString typesetter;
        typesetter.TypesetText(text, font);
    } catch (...) {
        // Without the face the plate stays empty; the message still shows.
        return;
    }
    if (!keep || text.CursorY != MESWND_NAME_BOX.top)
        return;
    if (m_plates.size() >= MESWND_KEPT_NAME_PLATES)
        m_plates.clear();
    auto kept = std::make_unique<CSpriteLayer>();
    kept->Create(0, 0, width, height, -1);
    kept->Blt(0, 0, width, height, &layer, strip.left, strip.top, 1);
    m_plates.push_back(Plate{std::move(key), std::move(kept)});
}
