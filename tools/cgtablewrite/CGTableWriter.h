#pragma once
// Writes the CG list ("cglist.txt") and the composition table ("cgcompose.txt") from a short
// description: each row's group, variant count and sheet name, FirstVariant written as the
// running sum; composition rows as given or, when none are, one per variant with its base named
// after the row's sheet ("cg_r01.akb" gives "r01_0.akb", "r01_1.akb", ...) and no overlay.

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct CGRowSpec
{
    int32_t group = 0;
    int32_t count = 1;
    std::string sheet;
};

struct CGComposeSpec
{
    int32_t id = 0;
    std::string base;
    std::vector<std::string> overlays;
};

struct CGTableFiles
{
    std::string list;
    std::string compose;
};

// The composition rows the writer makes when none are given.
std::vector<CGComposeSpec> DefaultCompositions(const std::vector<CGRowSpec>& rows);
// Throws std::invalid_argument with the loader's reason when the engine would refuse the pair.
CGTableFiles WriteCGTables(const std::vector<CGRowSpec>& rows, const std::vector<CGComposeSpec>& compose = {});
// The description's lines: "row <group> <count> <sheet>" and "compose <id> <base> [overlay ...]";
// "#" starts a comment. Throws std::invalid_argument for a line it cannot read.
CGTableFiles WriteCGTablesFromDescription(const std::string& description);

} // namespace tools
