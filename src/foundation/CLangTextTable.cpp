#include "foundation/CLangTextTable.h"

#include <algorithm>
#include <climits>

#include "foundation/CArchiveManager.h"
#include "foundation/CString.h"
#include "foundation/DocumentLink.h"

namespace {

uint32_t LittleEndian32(std::span<const uint8_t> bytes, size_t offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
           (uint32_t{bytes[offset + 3]} << 24);
}

} // namespace

void CLangTextTable::Load(CStringUTF8 base_name)
{
    static constexpr const char* SUFFIXES[LANGUAGE_COUNT] = {"_en.map", "_cn.map", "_tw.map", ".map"};
    for (int language = 0; language < LANGUAGE_COUNT; ++language) {
        const std::vector<uint8_t> file = LoadMapFile(base_name + SUFFIXES[language]);
        AddEntries(file, language);
    }
}

void CLangTextTable::AddEntries(std::span<const uint8_t> file, int language)
{
    if (language < 0 || language >= LANGUAGE_COUNT)
        return;
    // Offsets describe this file only, so texts of an earlier file of the language go with it.
    m_entries[language].clear();
    // A text may start at any byte, so the file is kept as units read from an even and from an
    // odd start; an entry's byte offset picks the one it lies on.
    for (size_t parity = 0; parity < 2; ++parity) {
        std::vector<char16_t>& units = m_units[language][parity];
        units.assign(file.size() > parity ? (file.size() - parity) / 2 : 0, 0);
        for (size_t k = 0; k < units.size(); ++k)
            units[k] = static_cast<char16_t>(file[parity + 2 * k] | (file[parity + 2 * k + 1] << 8));
    }
    if (file.size() < 4)
        return;
    const uint64_t count = LittleEndian32(file, 0);
    if (4 + 8 * count > file.size())
        return;
    // A text is whole when a 0 unit follows its start; the last 0 unit of each alignment answers
    // that for every start at once, so the load stays linear in the file size.
    std::array<int64_t, 2> last_zero = {-1, -1};
    for (size_t parity = 0; parity < 2; ++parity) {
        const std::vector<char16_t>& units = m_units[language][parity];
        const auto zero = std::find(units.rbegin(), units.rend(), u'\0');
        if (zero != units.rend())
            last_zero[parity] = static_cast<int64_t>(units.rend() - zero) - 1;
    }
    for (size_t pair = 0; pair < count; ++pair) {
        const auto id = static_cast<int32_t>(LittleEndian32(file, 4 + 8 * pair));
        const uint32_t offset = LittleEndian32(file, 8 + 8 * pair);
        if (static_cast<int64_t>(offset / 2) > last_zero[offset % 2] || offset > INT32_MAX)
            continue;
        m_entries[language].emplace(id, static_cast<int>(offset));
    }
}

const char16_t* CLangTextTable::FindText(int id, int language) const
{
    if (language == -1)
        language = GetCurrentLanguage();
    if (language < 0 || language >= LANGUAGE_COUNT)
        return nullptr;
    const auto entry = m_entries[language].find(id);
    if (entry == m_entries[language].end())
        return nullptr;
    const auto offset = static_cast<uint32_t>(entry->second);
    return m_units[language][offset % 2].data() + offset / 2;
}

CStringUTF8 CLangTextTable::GetText(int id, int language) const
{
    const char16_t* text = FindText(id, language);
    return text ? CStringUTF8(text) : CStringUTF8();
}

const char16_t* CLangTextTable::GetTextPtr(int id) const
{
    const char16_t* text = FindText(id, -1);
    return text ? text : u"";
}

std::vector<uint8_t> LoadMapFile(CStringUTF8 name)
{
    DocumentLink* link = GetDocumentLink();
    CArchiveManager* archive = link ? link->GetDataArchive() : nullptr;
    if (!archive) {
        CString message;
        message.Format("ファイルオープンエラー\n%s", name.GetText());
        throw message;
    }
    archive->OpenEntry(name);
    std::vector<uint8_t> file(archive->GetSize());
    archive->ReadAll(file.data());
    archive->CloseEntry();
    return file;
}

int GetCurrentLanguage()
{
    DocumentLink* link = GetDocumentLink();
    return link ? link->GetLanguage() : 0;
}
