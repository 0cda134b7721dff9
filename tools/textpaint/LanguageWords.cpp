#include "textpaint/LanguageWords.h"

#include <stdexcept>

namespace tools {

WordsLanguage LanguageOfSuffix(const std::string& suffix)
{
    return suffix == "_en"   ? WordsLanguage::English
           : suffix == "_ch" ? WordsLanguage::Simplified
           : suffix == "_tw" ? WordsLanguage::Traditional
                             : WordsLanguage::Japanese;
}

WordsLanguage LanguageOfIndex(int32_t language)
{
    return LanguageOfSuffix(language >= 0 && language < 4 ? LANGUAGE_SUFFIXES[language] : "");
}

int32_t IndexOfLanguage(WordsLanguage language)
{
    switch (language) {
    case WordsLanguage::English:
        return 0;
    case WordsLanguage::Simplified:
        return 1;
    case WordsLanguage::Traditional:
        return 2;
    case WordsLanguage::Japanese:
    case WordsLanguage::Marks:
        break;
    }
    return 3;
}

std::string LanguageName(const std::string& name, int32_t language)
{
    const size_t dot = name.rfind('.');
    const std::string suffix = language >= 0 && language < 4 ? LANGUAGE_SUFFIXES[language] : "";
    return dot == std::string::npos ? name + suffix : name.substr(0, dot) + suffix + name.substr(dot);
}

std::string WordsIn(const CellWords& words, WordsLanguage language)
{
    if (words.japanese.empty() && words.simplified.empty() && words.traditional.empty())
        return words.english;
    if (language == WordsLanguage::Marks)
        return words.mark;
    const std::string& line = language == WordsLanguage::Japanese     ? words.japanese
                              : language == WordsLanguage::English    ? words.english
                              : language == WordsLanguage::Simplified ? words.simplified
                                                                      : words.traditional;
    if (line.empty())
        throw std::logic_error("words without their line in one language: \"" + words.japanese + "\" / \"" +
                               words.english + "\"");
    return line;
}

std::pair<std::string, std::string> EveryLanguageLines(const CellWords& words)
{
    if (words.japanese.empty() && words.simplified.empty() && words.traditional.empty())
        return {words.english, {}};
    std::pair<std::string, std::string> lines{words.japanese + " / " + words.english, {}};
    for (const std::string* chinese : {&words.simplified, &words.traditional}) {
        if (chinese->empty() || *chinese == words.japanese ||
            (chinese != &words.simplified && *chinese == words.simplified))
            continue;
        lines.second += (lines.second.empty() ? "" : " / ") + *chinese;
    }
    return lines;
}

CellWords EveryLanguage(const CellWords& words)
{
    const auto [first, second] = EveryLanguageLines(words);
    return {"", second.empty() ? first : first + " / " + second};
}

} // namespace tools
