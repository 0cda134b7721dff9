#pragma once
// The game-wide registry of screen objects and of the two bit words that say which system screen
// is open (the script's and the screens' parts of it are the bases, which it fills), with the flow
// operations that the menu and the document's event tick run: exit and
// return confirmations, the system menu, save and load, the flag manager, the sub map and the
// window-mode dialog. Each flow freezes the game's own input, runs its screen modally and puts
// everything back, also when the screen unwinds with a document code. Main thread only.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "screens/base/ScreenWork.h"

// Bits of the lock-status word; each blocks the request bit of the same value.
inline constexpr uint32_t LOCK_EXIT = 0x1;
inline constexpr uint32_t LOCK_SYSTEM_MENU = 0x2;
inline constexpr uint32_t LOCK_RETURN_TO = 0x4;
inline constexpr uint32_t LOCK_WINDOW_MODE = 0x8;
inline constexpr uint32_t LOCK_SYSTEM_MENU_SOUND = 0x10;

class CGameWork final : public ScreenWork
{
public:
    CGameWork();
    ~CGameWork() override;
    CGameWork(const CGameWork&) = delete;
    CGameWork& operator=(const CGameWork&) = delete;

    // Builds every object in its fixed order; throws CExecException with the failing step's text.
    void CreateObjects();
    // Frees what exists, in its fixed order, and clears the pointers.
    void DestroyObjects();

    void AddMenuLock(int32_t delta);
    void ConfirmExit() override;
    // What the exit command does once confirmed, for an end nobody is asked about (a signal):
    // the system data is saved, once the game has any, and the game ends.
    [[noreturn]] void QuitWithoutAsking();
    void ConfirmReturnTo(int32_t target, int32_t replace) override;
    void TakeScreenSnapshot() override;
    void RunSystemMenu(int32_t page) override;
    // Opens the system menu on the configured top page (0 or 1); other values open nothing.
    void RunTopPage() override;
    void RunSaveLoad(int32_t page) override;
    int32_t RunBacklog() override;
    int32_t RunSubMap() override;
    void RunFlagManager() override;
    void RunWindowModeDialog() override;

    // True when the lock-status word holds any of the bits.
    bool TestBits(uint32_t bits) const;
    uint32_t GetLockStatus() const { return m_lock_status ? *m_lock_status : 0; }
    int32_t GetMenuLock() const { return m_menu_lock; }

    // Owned; the rest of the registry's objects are the bases'.
    std::unique_ptr<uint32_t> m_lock_status;

private:
    void SetLockBits(uint32_t bits);
    void ClearLockBits(uint32_t bits);
    // Runs a screen and answers its result integer.
    static int32_t RunScreen(ISelect* screen);
    bool RunConfirmation(uint32_t lock, uint32_t request, int32_t dialog_kind,
                         const CStringUTF8& failure_text, bool input_back_always);
    // The page loop shared by the system menu and save/load; answers the remembered confirmation.
    int32_t RunPages(int32_t page, bool save_load_only);
    void PresentFrame();

    int32_t m_menu_lock = 0;
};

// The singleton, made on first call; throws CExecException when it cannot be made.
CGameWork* GetGameWork();
