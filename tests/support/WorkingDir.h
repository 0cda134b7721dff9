#pragma once
// A fresh temporary folder that is the process's current folder while the object lives, for code
// that looks files up relative to the current folder (loose files beside archives).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

class WorkingDir
{
public:
    WorkingDir();
    ~WorkingDir();
    WorkingDir(const WorkingDir&) = delete;
    WorkingDir& operator=(const WorkingDir&) = delete;

    const std::filesystem::path& Path() const { return m_dir.Path(); }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    void Write(const std::string& name, const std::string& text) const;
    std::vector<uint8_t> Read(const std::string& name) const;

private:
    TempDir m_dir;
    std::filesystem::path m_previous;
};
