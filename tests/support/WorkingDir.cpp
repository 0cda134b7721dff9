#include "support/WorkingDir.h"

#include <fstream>
#include <iterator>

WorkingDir::WorkingDir()
    : m_previous(std::filesystem::current_path())
{
    std::filesystem::current_path(m_dir.Path());
}

WorkingDir::~WorkingDir()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
}

void WorkingDir::Write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    std::ofstream out(m_dir.Path() / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WorkingDir::Write(const std::string& name, const std::string& text) const
{
    Write(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> WorkingDir::Read(const std::string& name) const
{
    std::ifstream in(m_dir.Path() / name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
