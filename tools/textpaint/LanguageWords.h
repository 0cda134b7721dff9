#pragma once
// Words in the game's four languages, for the pictures that carry them: a picture the game asks
// for by its language form has one form per language, named by the language's suffix, and shows
// that language's words alone; a picture it reads by its plain name in every language shows marks,
// or every language's words at once where they fit.

#include <cstdint>
#include <string>
#include <utility>

namespace tools {

// Words with only their English line (a symbol, a number, the words of every language at once)
// read the same in every language.
struct CellWords
{
    std::string japanese;
    std::string english;
    std::string simplified = {};  // simplified Chinese
    std::string traditional = {}; // traditional Chinese
    std::string mark = {};        // what a picture every language is shown carries instead: ○, ×, ←
};

// Every picture with words has one form per language, each with that language's words alone. A
// picture the game loads by its plain name in every language carries marks or every language's
// words at once: no words of one language.
enum class WordsLanguage
{
    Japanese,
    English,
    Simplified,
    Traditional,
    Marks
};

// The game's language indices (0 English, 1 simplified Chinese, 2 traditional Chinese, 3 Japanese)
// and the suffix a picture's name takes in each.
inline constexpr const char* LANGUAGE_SUFFIXES[4] = {"_en", "_ch", "_tw", ""};
WordsLanguage LanguageOfIndex(int32_t language);
int32_t IndexOfLanguage(WordsLanguage language);
// A picture's name in a language: the suffix before its extension.
std::string LanguageName(const std::string& name, int32_t language);

// The words in the language. Throws std::logic_error for words without that language's line, so
// no picture shows another language's words in its place. In marks: the words' mark, or a symbol
// or number that reads the same in every language, else nothing.
std::string WordsIn(const CellWords& words, WordsLanguage language);

// For a picture every language is shown, where they fit: each language's words once (a Chinese
// form that reads as the Japanese words, or as the other Chinese form, is not repeated), the
// Japanese and English words on the first line, the other Chinese forms on the second (empty when
// there are none).
std::pair<std::string, std::string> EveryLanguageLines(const CellWords& words);
// The same words on one line.
CellWords EveryLanguage(const CellWords& words);

// The language a picture's file suffix stands for: "" Japanese, "_en" English, "_ch" simplified and
// "_tw" traditional Chinese.
WordsLanguage LanguageOfSuffix(const std::string& suffix);

} // namespace tools
