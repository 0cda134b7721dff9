#pragma once
// An application object for tests: the game's own object with its configuration document on a
// file of the test's choosing, and the folders and flags a test wants, without a start-up.

#include <fstream>
#include <memory>
#include <string>

#include "app/CVeskApp.h"

class TestApp : public CVeskApp
{
public:
    // A fresh configuration document on path, loaded (a missing file gives an empty document).
    void UseConfigFile(const std::string& path)
    {
        auto document = std::make_unique<CXMLDocument>(CStringUTF8(path));
        document->Load();
        ReplaceConfigDocument(std::move(document));
    }
    void UseFileInfoFile(const std::string& path)
    {
        m_file_info = std::make_unique<CXMLDocument>(CStringUTF8(path));
        m_file_info->Load();
    }
    void SetSaveFolders(const char* save_folder, const char* alt_save_folder)
    {
        m_save_folder = save_folder;
        m_alt_save_folder = alt_save_folder;
    }
    void SetUserFolders(const char* maker_folder, const char* user_data_root)
    {
        m_maker_folder = maker_folder;
        m_user_data_root = user_data_root;
    }
    void SetTitle(const char* title) { m_title = title; }
    void SetModuleFolder(const char* folder) { m_module_folder = folder; }
    void SetRotate(uint32_t rotate) { m_rotate = rotate; }
    void SetClockSwitch(uint32_t clock_switch) { m_clock_switch = clock_switch; }
    CXMLDocument& Config() { return *GetConfigDocument(); }
};

// A settings file as the game writes them: byte-order mark, header line, then body.
inline void WriteSettingsFile(const std::string& path, const std::string& body)
{
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                                          << body;
}

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
