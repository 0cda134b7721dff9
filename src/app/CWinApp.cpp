#include "app/CWinApp.h"

#include <cstdio>

#include "app/AppMessageBox.h"
#include "foundation/WriteFileAtomically.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/ModuleApi.h"
#include "platform/kernel/SyncApi.h"
#include "platform/shell/ShellApi.h"
#include "platform/user/MessageApi.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/SystemParametersApi.h"
#include "platform/user/WindowApi.h"

namespace {

// Read by any thread (message boxes come from sound threads too); written by construction and
// destruction of application objects on the main thread.
std::atomic<CWinApp*> g_current_app{nullptr};

constexpr const char* ARCHIVE_HASH_KEYS[ARCHIVE_KIND_COUNT] = {
    "/GameFile/ScriptArchive/Hash%02d", "/GameFile/LayerArchive/Hash%02d", "/GameFile/DataArchive/Hash%02d",
    "/GameFile/MovieArchive/Hash%02d",  "/GameFile/MusicArchive/Hash%02d", "/GameFile/EffectArchive/Hash%02d",
    "/GameFile/VoiceArchive/Hash%02d",
};

// String resource of the configuration document's file name.
constexpr UINT IDS_CONFIG_FILE_NAME = 115;

// Loads a settings document beside the executable; a missing or malformed one is reported and
// start-up goes on with its defaults.
std::unique_ptr<CXMLDocument> LoadRequiredDocument(const CStringUTF8& path)
{
    auto document = std::make_unique<CXMLDocument>(path);
    if (document->Load() == 0) {
        CStringUTF8 message;
        message.Format("Load Error:\n%s", path.GetText());
        AppMessageBox(0, message);
    }
    return document;
}

} // namespace

CWinApp* GetApp()
{
    return g_current_app.load();
}

CWinApp::CWinApp()
    : m_previous_app(g_current_app.exchange(this))
    , m_previous_link(SetAppLink(this))
{}

CWinApp::~CWinApp()
{
    // The one place where settings changed during the game reach the disk. A refused start has
    // changed nothing, and its save folder may not even exist.
    if (m_config && !m_start_refused && m_config->Save() == 0) {
        CStringUTF8 message;
        message.Format("Save Error:\n%s", m_config->GetPath().GetText());
        AppMessageBox(0, message);
    }
    m_config.reset();
    m_second_config.reset();
    m_file_info.reset();
    m_system_info.reset();
    // The system would drop a mutex still held at process exit; do the same for an object that
    // ends earlier.
    if (m_instance_mutex)
        CloseHandle(m_instance_mutex);
    SetAppLink(m_previous_link);
    g_current_app.store(m_previous_app);
}

int CWinApp::PumpAndYield()
{
    if (PumpMessage() == 0)
        return 0;
    Sleep(0);
    return 1;
}

int CWinApp::MessageBox(CStringUTF8 text, UINT flags)
{
    // Windows belong to the main thread; a box from another thread leaves them alone.
    if (platform::IsUserInterfaceThread()) {
        SetForegroundWindow(nullptr);
        SetFocus(nullptr);
    }
    return MessageBoxW(nullptr, text.GetWideText(), m_title.GetWideText(), WithDefaultMessageIcon(flags));
}

CStringUTF8 CWinApp::GetAppString()
{
    return m_save_folder;
}

CStringUTF8 CWinApp::GetAltAppString()
{
    return m_alt_save_folder;
}

int CWinApp::AcquireInstanceMutex(CStringUTF8 name)
{
    // No window and no box, as for any second copy; the line tells someone who started it from
    // a terminal or a script why nothing came up.
    const auto refuse = [&](const char* why) {
        m_start_refused = true;
        std::fprintf(stderr, "%s: %s (%s); this copy ends.\n", m_module_name.GetText(), why,
                     platform::NamedMutexLockFile(name.GetWideText()).c_str());
        return 0;
    };
    if (HANDLE running = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name.GetWideText())) {
        CloseHandle(running);
        return refuse("the game is already running");
    }
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.GetWideText());
    if (!mutex) {
        const CStringUTF8 reason =
            CStringUTF8("the single-instance lock cannot be made: ") + SystemErrorText(GetLastError());
        return refuse(reason.GetText());
    }
    const DWORD result = WaitForSingleObject(mutex, 0);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
        m_instance_mutex = mutex;
        return 1;
    }
    CloseHandle(mutex);
    return refuse("the game is already running");
}

void CWinApp::ReleaseInstanceMutex()
{
    if (!m_instance_mutex)
        return;
    ReleaseMutex(m_instance_mutex);
    CloseHandle(m_instance_mutex);
    m_instance_mutex = nullptr;
}

void CWinApp::DisableScreenSaver()
{
    BOOL active = FALSE;
    SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    m_saved_screen_saver = active;
    m_screen_saver_saved = true;
    SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, SPIF_UPDATEINIFILE);
}

void CWinApp::RestoreScreenSaver()
{
    // Only a state that was read at start-up is put back: a second instance, which stops before
    // touching the saver, must not switch off the first instance's or the user's setting.
    if (!m_screen_saver_saved)
        return;
    SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, m_saved_screen_saver, nullptr, SPIF_UPDATEINIFILE);
    m_screen_saver_saved = false;
}

UINT CWinApp::PumpMessage()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 1;
}

void CWinApp::InitFramework()
{
    char16_t module_path[MAX_PATH] = {};
    GetModuleFileNameW(m_instance, module_path, MAX_PATH);
    const CStringUTF8 module_path_text(module_path);
    m_module_folder = module_path_text.GetDirectory();
    m_module_folder.AddBackslash();

    m_system_info = LoadRequiredDocument(m_module_folder + "SystemInfo.xml");
    const CStringUTF8 game_folder = m_system_info->GetString("/GameFolder", "tolmiqua");
    const CStringUTF8 maker_label = m_system_info->GetString("/MAKER_LABEL", "KOVRA GAMES");

    char16_t base_name[MAX_PATH] = {};
    _wsplitpath_s(module_path, nullptr, 0, nullptr, 0, base_name, MAX_PATH, nullptr, 0);
    m_module_name = CStringUTF8(base_name);

    char16_t app_data[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, app_data);
    m_maker_folder = CStringUTF8(app_data) + "\\" + maker_label + "\\";
    m_user_data_root = m_maker_folder + game_folder + "\\";
    m_save_folder = m_user_data_root + "Save\\";
    m_alt_save_folder = m_user_data_root + "Save_b\\";

    m_title = m_system_info->GetString("/GameTitle", "asmr_system");

    // A missing configuration is normal on the first start: its reads give their defaults and
    // the file is written at exit.
    CStringUTF8 config_name;
    config_name.LoadString(IDS_CONFIG_FILE_NAME);
    m_config = std::make_unique<CXMLDocument>(m_save_folder + config_name);
    m_config->Load();

    m_file_info = LoadRequiredDocument(m_module_folder + "FileInfo.xml");
    LoadArchiveHashes();

    if (m_command_line.IsEqual("NO_UPDATE"))
        m_no_update = 1;
    else if (m_command_line.IsEqual("rotate"))
        m_rotate = 1;
}

void CWinApp::LoadArchiveHashes()
{
    m_file_data_version = m_file_info ? m_file_info->GetInt("/GameFile/XmlVersion", 1) : 1;
    for (int entry = 0; entry < ARCHIVE_HASH_COUNT; ++entry) {
        for (int kind = 0; kind < ARCHIVE_KIND_COUNT; ++kind) {
            CStringUTF8 key;
            key.Format(ARCHIVE_HASH_KEYS[kind], entry);
            m_archive_hashes[kind][entry] = GetFileInfoString(key, "");
        }
    }
}

int32_t CWinApp::GetConfigInt(CStringUTF8 key, int32_t default_value, int selector)
{
    CXMLDocument* document = selector == 1 ? m_second_config.get() : m_config.get();
    return document ? document->GetInt(key, default_value) : default_value;
}

CStringUTF8 CWinApp::GetConfigString(CStringUTF8 key, CStringUTF8 default_value, int selector)
{
    CXMLDocument* document = selector == 1 ? m_second_config.get() : m_config.get();
    return document ? document->GetString(key, default_value) : default_value;
}

CStringUTF8 CWinApp::GetFileInfoString(CStringUTF8 key, CStringUTF8 default_value)
{
    return m_file_info ? m_file_info->GetString(key, default_value) : default_value;
}

void CWinApp::SetStartupArguments(HINSTANCE instance, CStringUTF8 command_line, int show_command)
{
    m_instance = instance;
    m_command_line = command_line;
    m_show_command = show_command;
}

void CWinApp::ReplaceConfigDocument(std::unique_ptr<CXMLDocument> document)
{
    m_config = std::move(document);
}
