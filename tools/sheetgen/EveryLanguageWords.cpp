#include "sheetgen/EveryLanguageWords.h"

#include <algorithm>
#include <stdexcept>

namespace tools {

namespace {

// Each language on a line of its own reads best; fewer, longer lines are taken only when their em
// would fall below this.
constexpr int32_t READABLE_EM = 20;

// A line's band: room for the kana's and Chinese characters' full height and the Latin letters'
// descenders, as DrawText places the baseline.
int32_t Pitch(int32_t em)
{
    return (em * 27 + 19) / 20;
}

std::string Chinese(const CellWords& words)
{
    return words.simplified == words.traditional ? words.simplified
                                                 : words.simplified + " / " + words.traditional;
}

// The largest em up to the given one at which the lines fit the box, or 0.
int32_t FittingEm(const std::vector<std::string>& lines, const TextBox& box, int32_t largest_em)
{
    for (int32_t em = largest_em; em >= EVERY_LANGUAGE_SMALLEST_EM; --em) {
        if (Pitch(em) * static_cast<int32_t>(lines.size()) > box.height)
            continue;
        if (std::all_of(lines.begin(), lines.end(),
                        [&](const std::string& line) { return MeasureText(line, em) <= box.width; }))
            return em;
    }
    return 0;
}

} // namespace

EveryLanguageLayout LayOutEveryLanguage(const CellWords& words, const TextBox& box, int32_t largest_em)
{
    if (words.japanese.empty() || words.english.empty() || words.simplified.empty() ||
        words.traditional.empty())
        throw std::logic_error("words without every language's line: \"" + words.english + "\"");
    const std::string chinese = Chinese(words);
    const std::vector<std::vector<std::string>> choices{
        {words.japanese, words.english, chinese},
        {words.japanese + " / " + words.english, chinese},
        {words.japanese + " / " + words.english + " / " + chinese},
    };
    const std::vector<std::string>* chosen = nullptr;
    int32_t chosen_em = 0;
    for (const std::vector<std::string>& lines : choices) {
        const int32_t em = FittingEm(lines, box, largest_em);
        if (em > chosen_em) {
            chosen = &lines;
            chosen_em = em;
        }
        if (chosen_em >= std::min(READABLE_EM, largest_em))
            break;
    }
    if (chosen == nullptr)
        throw std::logic_error("words too long for their box in every language: \"" + words.english + "\"");
    EveryLanguageLayout layout;
    layout.em = chosen_em;
    const int32_t pitch = Pitch(chosen_em);
    const int32_t top = box.y + (box.height - pitch * static_cast<int32_t>(chosen->size())) / 2;
    for (size_t k = 0; k < chosen->size(); ++k)
        layout.lines.push_back(
            {(*chosen)[k], {box.x, top + pitch * static_cast<int32_t>(k), box.width, pitch}});
    return layout;
}

void DrawEveryLanguage(AkbPicture& picture, const CellWords& words, const TextBox& box, TextStyle style)
{
    const EveryLanguageLayout layout = LayOutEveryLanguage(words, box, style.pixel_height);
    style.pixel_height = layout.em;
    for (const EveryLanguageLine& line : layout.lines)
        DrawText(picture, line.box, line.text, style);
}

std::string EveryLanguageOneLine(const CellWords& words)
{
    std::vector<std::string> parts;
    for (const std::string* part : {&words.japanese, &words.english, &words.simplified, &words.traditional})
        if (!part->empty() && std::find(parts.begin(), parts.end(), *part) == parts.end())
            parts.push_back(*part);
    std::string line = words.mark;
    for (const std::string& part : parts)
        line += (line.empty() ? "" : "  ") + part;
    return line;
}

} // namespace tools
