#pragma once
// A listing of a compiled script file, one instruction a line with its code offset, for test
// failure messages and for looking into generated files. Text runs are listed as their two-byte
// codes after expanding the one-byte forms. Damaged files list as far as they go.

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

std::string DisassembleScript(const std::vector<uint8_t>& file);

} // namespace tools
