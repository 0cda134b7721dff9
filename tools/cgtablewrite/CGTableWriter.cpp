#include "cgtablewrite/CGTableWriter.h"

#include <span>
#include <sstream>
#include <stdexcept>

#include "screens/extras/CGTables.h"

namespace tools {

namespace {

std::string Stem(const std::string& sheet)
{
    std::string stem = sheet;
    if (stem.rfind("cg_", 0) == 0)
        stem.erase(0, 3);
    if (const size_t dot = stem.rfind('.'); dot != std::string::npos)
        stem.erase(dot);
    return stem;
}

std::span<const uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

} // namespace

std::vector<CGComposeSpec> DefaultCompositions(const std::vector<CGRowSpec>& rows)
{
    std::vector<CGComposeSpec> compose;
    int32_t id = 0;
    for (const CGRowSpec& row : rows)
        for (int32_t j = 0; j < row.count; ++j)
            compose.push_back({id++, Stem(row.sheet) + "_" + std::to_string(j) + ".akb", {}});
    return compose;
}

CGTableFiles WriteCGTables(const std::vector<CGRowSpec>& rows, const std::vector<CGComposeSpec>& compose)
{
    CGTableFiles files;
    files.list = "# group\tfirst variant\tvariant count\tsheet\n";
    int32_t first = 0;
    for (const CGRowSpec& row : rows) {
        files.list += std::to_string(row.group) + "\t" + std::to_string(first) + "\t" + std::to_string(row.count) +
                      "\t" + row.sheet + "\n";
        first += row.count;
    }
    files.compose = "# variant id\tbase\toverlays\n";
    for (const CGComposeSpec& row : compose.empty() ? DefaultCompositions(rows) : compose) {
        files.compose += std::to_string(row.id) + "\t" + row.base;
        for (const std::string& overlay : row.overlays)
            files.compose += "\t" + overlay;
        files.compose += "\n";
    }
    std::string reason;
    if (!CGTables::Parse(Bytes(files.list), Bytes(files.compose), &reason))
        throw std::invalid_argument(reason);
    return files;
}

CGTableFiles WriteCGTablesFromDescription(const std::string& description)
{
    std::vector<CGRowSpec> rows;
    std::vector<CGComposeSpec> compose;
    std::istringstream lines(description);
    std::string line;
    size_t number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (const size_t hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::string kind;
        if (!(words >> kind))
            continue;
        if (kind == "row") {
            CGRowSpec row;
            if (!(words >> row.group >> row.count >> row.sheet))
                throw std::invalid_argument("line " + std::to_string(number) + ": row <group> <count> <sheet>");
            rows.push_back(row);
        } else if (kind == "compose") {
            CGComposeSpec row;
            if (!(words >> row.id >> row.base))
                throw std::invalid_argument("line " + std::to_string(number) + ": compose <id> <base> [overlay ...]");
            for (std::string overlay; words >> overlay;)
                row.overlays.push_back(overlay);
            compose.push_back(row);
        } else {
            throw std::invalid_argument("line " + std::to_string(number) + ": unknown kind " + kind);
        }
    }
    return WriteCGTables(rows, compose);
}

} // namespace tools
