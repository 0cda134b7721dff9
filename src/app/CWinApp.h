#pragma once
// The application object: the settings documents, the user data folders, the title, the command
// line flags, the single-instance mutex and the saved screen-saver state. The process has one,
// a global CVeskApp built before WinMain and destroyed at process exit, when it writes the
// configuration document back. Used from the main thread; the getters of the settings
// documents may be called from any thread (the documents lock themselves).

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "foundation/AppLink.h"
#include "foundation/CPathString.h"
#include "foundation/CStringUTF8.h"
#include "foundation/CXMLDocument.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/WinTypes.h"

// The archive kinds whose checksum lists "FileInfo.xml" carries, in storage order.
inline constexpr int ARCHIVE_KIND_COUNT = 7;
inline constexpr int ARCHIVE_HASH_COUNT = 5;

class CWinApp : public AppLink
{
public:
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // 1 while the main window lives (after one Sleep(0)); 0 once it is gone.
    virtual int PumpAndYield();
    // Shows a box captioned with the application title and returns the pressed button. A box
    // without icon bits and with an OK, OK/Cancel, Yes/No or Yes/No/Cancel group gets the
    // exclamation icon.
    virtual int MessageBox(CStringUTF8 text, UINT flags);
    // The save folder every flag and save file name is built on.
    CStringUTF8 GetAppString() override;
    virtual CStringUTF8 GetAltAppString();
    // 1 when the game may run.
    virtual int InitInstance() = 0;
    virtual int Run() = 0;
    virtual int ExitInstance() = 0;
    // 1 when this process now holds the named mutex; 0 when another instance holds it or the
    // mutex cannot be made, with a line on standard error saying which.
    virtual int AcquireInstanceMutex(CStringUTF8 name);
    virtual void ReleaseInstanceMutex();
    virtual void DisableScreenSaver();
    virtual void RestoreScreenSaver();
    UINT PumpMessage() override;
    // Reads "SystemInfo.xml", builds the folders and title, loads the configuration and
    // "FileInfo.xml", and reads the command-line words. Never stops the process.
    virtual void InitFramework();
    virtual void LoadArchiveHashes();

    int32_t GetConfigInt(CStringUTF8 key, int32_t default_value, int selector) override;
    CStringUTF8 GetConfigString(CStringUTF8 key, CStringUTF8 default_value, int selector) override;
    CStringUTF8 GetFileInfoString(CStringUTF8 key, CStringUTF8 default_value) override;

    // What WinMain hands over before it starts the application.
    void SetStartupArguments(HINSTANCE instance, CStringUTF8 command_line, int show_command);

    HINSTANCE GetInstanceHandle() const override { return m_instance; }
    const CStringUTF8& GetCommandLineText() const { return m_command_line; }
    int GetShowCommand() const { return m_show_command; }
    const CStringUTF8& GetTitle() const { return m_title; }
    const CStringUTF8& GetModuleName() const { return m_module_name; }
    const CStringUTF8& GetModuleFolder() const { return m_module_folder; }
    const CPathString& GetMakerFolder() const { return m_maker_folder; }
    const CPathString& GetUserDataRoot() const { return m_user_data_root; }
    const CPathString& GetSaveFolder() const { return m_save_folder; }
    const CPathString& GetAltSaveFolder() const { return m_alt_save_folder; }
    uint32_t GetClockSwitch() const override { return m_clock_switch; }
    uint32_t GetNoUpdateFlag() const { return m_no_update; }
    uint32_t GetRotateFlag() const override { return m_rotate; }
    int32_t GetFileDataVersion() const { return m_file_data_version; }
    const CStringUTF8& GetArchiveHash(int kind, int entry) const { return m_archive_hashes[kind][entry]; }
    bool HoldsInstanceMutex() const { return m_instance_mutex != nullptr; }
    // Whether the single-instance mutex refused this start: the process then ends unsuccessfully
    // and leaves the running copy's files alone.
    bool WasStartRefused() const { return m_start_refused; }

    // Null until InitFramework made them.
    CXMLDocument* GetConfigDocument() const override { return m_config.get(); }
    CXMLDocument* GetFileInfoDocument() const override { return m_file_info.get(); }
    CXMLDocument* GetSystemInfoDocument() const { return m_system_info.get(); }
    // The save-data initialisation replaces the configuration with the one it unpacked.
    void ReplaceConfigDocument(std::unique_ptr<CXMLDocument> document);

protected:
    HINSTANCE m_instance = nullptr;
    CStringUTF8 m_command_line; // the whole argument text, without the program name
    int m_show_command = 0;
    CStringUTF8 m_title;           // caption of every message box
    CStringUTF8 m_module_name;     // executable file name without folder and extension
    CStringUTF8 m_module_folder;   // ends in a separator
    CPathString m_maker_folder;    // application data + maker label + "\"
    CPathString m_user_data_root;  // maker folder + game folder word + "\"
    CPathString m_save_folder;     // user data root + "Save\"
    CPathString m_alt_save_folder; // user data root + "Save_b\"
    // 1: every clock is GetTickCount (the timer cannot go below 10 ms); 0: timeGetTime.
    // Written once before any other thread starts.
    std::atomic<uint32_t> m_clock_switch{0};
    TIMECAPS m_timer_caps{};
    HANDLE m_instance_mutex = nullptr;
    bool m_start_refused = false;
    BOOL m_saved_screen_saver = FALSE;
    // Whether m_saved_screen_saver holds a state read at start-up; an instance that stopped
    // before switching the saver off has nothing to put back.
    bool m_screen_saver_saved = false;
    std::unique_ptr<CXMLDocument> m_config;        // "config.xml" in the save folder
    std::unique_ptr<CXMLDocument> m_second_config; // selector 1; never made
    std::unique_ptr<CXMLDocument> m_file_info;     // "FileInfo.xml" beside the executable
    std::unique_ptr<CXMLDocument> m_system_info;   // "SystemInfo.xml" beside the executable
    int32_t m_file_data_version = 0;
    // Script, Layer, Data, Movie, Music, Effect, Voice; entries 0 to 4 each.
    std::array<std::array<CStringUTF8, ARCHIVE_HASH_COUNT>, ARCHIVE_KIND_COUNT> m_archive_hashes;
    uint32_t m_no_update = 0;
    uint32_t m_rotate = 0; // read by the screen settings and the display modes
    HANDLE m_stop_event = nullptr;
    HANDLE m_app_task_thread = nullptr;
    uint32_t m_app_task_thread_id = 0;

private:
    CWinApp* m_previous_app;  // the application object this one stands in for while it lives
    AppLink* m_previous_link; // the same as the link below the shell
};

// The application object of the process; null before it is built and after it is gone. The
// newest living CWinApp is the current one, so a test's own object stands in for the global.
CWinApp* GetApp();
