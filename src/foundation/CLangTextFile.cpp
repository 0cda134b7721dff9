#include "foundation/CLangTextFile.h"

#include "foundation/DocumentLink.h"
#include "foundation/TextLayout.h"

#include <string>

namespace {

constexpr int LANGUAGE_SIMPLIFIED_CHINESE = 1;

// The game state's Values that describe the message text area.
constexpr size_t VALUE_FONT_SIZE = 34;
constexpr size_t VALUE_LINE_HEIGHT = 35;
constexpr size_t VALUE_TEXT_LEFT = 46;
constexpr size_t VALUE_TEXT_TOP = 47;
constexpr size_t VALUE_TEXT_RIGHT = 48;
constexpr size_t VALUE_TEXT_BOTTOM = 49;

// The message text area among the game state's text layout values.
TextArea MessageTextArea()
{
    DocumentLink* link = GetDocumentLink();
    const auto value = [link](size_t index) { return link ? link->GetGameValue(index) : 0; };
    return TextArea{.left = value(VALUE_TEXT_LEFT),
                    .top = value(VALUE_TEXT_TOP),
                    .right = value(VALUE_TEXT_RIGHT),
                    .bottom = value(VALUE_TEXT_BOTTOM),
                    .line_height = value(VALUE_LINE_HEIGHT),
                    .font_size = value(VALUE_FONT_SIZE)};
}

} // namespace

void CLangTextFile::Open(CStringUTF8 base_name)
{
    if (base_name == m_name)
        return;
    m_table = std::make_unique<CLangTextTable>();
    m_table->Load(base_name);
    m_name = base_name;
}

int CLangTextFile::GetTextWidth(int id) const
{
    return m_table ? MeasureTextWidth(m_table->GetTextPtr(id)) : 0;
}

int CLangTextFile::SplitText(int id, std::vector<char16_t>& output) const
{
    const char16_t* text = m_table ? m_table->GetTextPtr(id) : u"";
    if (GetCurrentLanguage() == LANGUAGE_SIMPLIFIED_CHINESE)
        return SplitTextSimplifiedChinese(text, output, MessageTextArea());
    return SplitTextPlain(text, output);
}

void CLangTextFile::ShowMessage(uint16_t id) const
{
    DocumentLink* document = GetDocumentLink();
    if (m_table == nullptr || document == nullptr)
        return;
    // The page is written as the window reveals it, from the display units: the markup's line
    // break starts a line there too, "\i" shows nothing and runs between "\r" marks are left out.
    std::vector<char16_t> units;
    SplitText(id, units);
    std::u16string text;
    for (size_t i = 0; i < units.size(); ++i) {
        const bool markup =
            units[i] == u'\\' && i + 1 < units.size() && (units[i + 1] == u'n' || units[i + 1] == u'i');
        if (!markup) {
            text += units[i];
            continue;
        }
        if (units[++i] == u'n')
            text += u'\n';
    }
    document->ShowLanguageMessage(CStringUTF8(text), id);
}
