#pragma once
// Gives the game a test's own CG tables for the scope, then lets it load its own again.

#include <stdexcept>

#include "cgtablewrite/CGTableWriter.h"
#include "screens/extras/CGTables.h"

class ScopedCGTables
{
public:
    explicit ScopedCGTables(const std::vector<tools::CGRowSpec>& rows,
                            const std::vector<tools::CGComposeSpec>& compose = {})
    {
        const tools::CGTableFiles files = tools::WriteCGTables(rows, compose);
        auto bytes = [](const std::string& text) {
            return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        };
        SetCGTables(CGTables::Parse(bytes(files.list), bytes(files.compose)));
    }
    ~ScopedCGTables() { SetCGTables(std::nullopt); }
    ScopedCGTables(const ScopedCGTables&) = delete;
    ScopedCGTables& operator=(const ScopedCGTables&) = delete;
};
