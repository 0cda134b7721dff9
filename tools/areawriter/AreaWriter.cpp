#include "areawriter/AreaWriter.h"

#include <sstream>
#include <stdexcept>

#include "flagwrite/FlagFileWriter.h"

namespace tools {

std::vector<uint8_t> BuildAreaFile(const std::vector<AreaRecord>& records,
                                   std::optional<uint32_t> forced_count)
{
    std::vector<uint8_t> out;
    PutU32(out, forced_count.value_or(static_cast<uint32_t>(records.size())));
    for (const AreaRecord& r : records) {
        PutU32(out, r.id);
        PutU32(out, static_cast<uint32_t>(r.left));
        PutU32(out, static_cast<uint32_t>(r.top));
        PutU32(out, static_cast<uint32_t>(r.right));
        PutU32(out, static_cast<uint32_t>(r.bottom));
    }
    return out;
}

bool ParseAreaText(const std::string& text, std::vector<AreaRecord>& records, int& error_line)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        std::istringstream fields(line);
        std::string id_text;
        AreaRecord record;
        std::string rest;
        if (!(fields >> id_text >> record.left >> record.top >> record.right >> record.bottom) ||
            (fields >> rest)) {
            error_line = number;
            return false;
        }
        try {
            size_t used = 0;
            const long long id = std::stoll(id_text, &used, 0);
            if (used != id_text.size() || id < -1 || id > 0xFFFFFFFFLL)
                throw std::invalid_argument(id_text);
            record.id = static_cast<uint32_t>(id);
        } catch (const std::exception&) {
            error_line = number;
            return false;
        }
        records.push_back(record);
    }
    return true;
}

} // namespace tools
