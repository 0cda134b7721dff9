#pragma once
// The base of every screen. A screen is built once and run modally any number of times: Run lists
// it in the game work's active screens, ModalLoop pumps frames and turns keys, buttons and the
// wheel into calls of its handlers in a fixed order until a handler clears Running, and Run hands
// the screen's Result back. A document code thrown while it runs closes the screen and goes on.
// The services of slots 44 to 68 forward to the document, the script engine and the graphics so
// that a screen may redirect them. Main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"
#include "screens/base/CHitAreaTable.h"
#include "script/ScriptValue.h"

class ScreenWork;
class CInputView;
class CLayerFile;
class CSprite;
class CSpriteLayer;
class CTextureLayer;
class GameDocument;
class FlagBuffer;
class ScriptContext;

// Engine-state bits the base reads and sets.
inline constexpr uint32_t ENGINE_STATE_NO_IDLE_SLEEP = 0x2000;
inline constexpr uint32_t ENGINE_STATE_LIST_ANSWER = 0x20000000;
inline constexpr uint32_t ENGINE_STATE_VALUE_ANSWER = 0x80000000;

// The effect channel of the screens' OK and cancel sounds.
inline constexpr int32_t SCREEN_SOUND_CHANNEL = 4;
inline constexpr uint32_t SCREEN_LONG_PRESS_MS = 300;
// The cursor keys' scan codes.
inline constexpr uint32_t SCAN_UP = 200;
inline constexpr uint32_t SCAN_DOWN = 208;
inline constexpr uint32_t SCAN_LEFT = 203;
inline constexpr uint32_t SCAN_RIGHT = 205;

class ISelect
{
public:
    ISelect();
    virtual ~ISelect();
    ISelect(const ISelect&) = delete;
    ISelect& operator=(const ISelect&) = delete;

    // 1: runs the screen and copies its Result into out (when given); answers out.
    virtual ScriptValue* Run(ScriptValue* out);
    virtual void Show() {}
    virtual void Hide() {}
    virtual int32_t IsShown() { return 0; }
    virtual void BuildParts(int32_t mode) { (void)mode; }
    // 6: leaves the active list.
    virtual void OnClose();
    virtual void OnOpen() {}
    virtual void Update() {}
    virtual void OnEnterKey() { OnDecide(); }
    virtual void OnEscapeKey() { OnCancel(); }
    virtual void OnDeleteKey() { OnCancel(); }
    virtual void OnShiftKey() {}
    virtual void OnCtrlKey() {}
    virtual void OnBackspaceKey() {}
    virtual void OnSpaceKey() {}
    virtual void OnTabKey() {}
    virtual void OnHomeKey() {}
    virtual void OnEndKey() {}
    virtual void OnPageUpKey() {}
    virtual void OnPageDownKey() {}
    virtual void OnAutoReadCommand() {}
    virtual void OnQuickSaveCommand() {}
    virtual void OnQuickLoadCommand() {}
    virtual void OnConfigCommand() {}
    // 25-28: the base answers whether the key is held for the long-press time. A screen that
    // treats the four keys alike overrides OnArrowKey instead.
    virtual int32_t OnUpKey() { return OnArrowKey(SCAN_UP); }
    virtual int32_t OnDownKey() { return OnArrowKey(SCAN_DOWN); }
    virtual int32_t OnLeftKey() { return OnArrowKey(SCAN_LEFT); }
    virtual int32_t OnRightKey() { return OnArrowKey(SCAN_RIGHT); }
    virtual int32_t OnArrowKey(uint32_t scan_code) { return IsInputHeld(scan_code); }
    virtual void OnLButton() { OnDecide(); }
    virtual void OnRButton() { OnCancel(); }
    virtual void OnMButton() {}
    virtual void OnDrag() {}
    // 33: moves the keyboard cursor, kept inside 0..1920 x 0..1080, and the mouse with it.
    virtual void MoveCursorBy(int32_t dx, int32_t dy);
    virtual void OnPaste() {}
    virtual void OnMouseWheel(int32_t count);
    // 36: the frames of one run; the order of the input tests is binding.
    virtual void ModalLoop();
    // 37: waits for every OK input to be released.
    virtual void OnDecide();
    virtual int32_t IsDecideHeld();
    // 39: waits for every cancel input to be released.
    virtual void OnCancel();
    virtual void PlayOkSound(int32_t channel);
    virtual void PlayCancelSound(int32_t channel);
    // 42: one message pump and event tick; Running, or 0 when the application quits.
    virtual int32_t PumpFrame();
    // 43: the id of the area under the mouse, or -1.
    virtual int32_t HitTestCursor();

    // 44-54: script, engine-state and flag services.
    virtual void PushValue(const ScriptValue& value);
    virtual ScriptValue* PopValue(ScriptValue* out);
    // Runs the recorded code a backlog handle names (nothing for an unknown handle) to its end.
    virtual void RunScript(int32_t handle);
    virtual void RunScriptForList(int32_t handle, std::vector<int32_t>& out);
    virtual int32_t RunScriptForValue(int32_t handle);
    // The same over a piece of bytecode (a choice's text). The value run answers the script's
    // integer answer, else the width of the text it wrote, in half-width units.
    void RunCode(const uint8_t* code, uint32_t size);
    int32_t RunCodeForValue(const uint8_t* code, uint32_t size);
    virtual void ReadFile(const CStringUTF8& name, std::vector<uint8_t>& out);
    virtual bool TestEngineState(uint32_t mask);
    virtual void SetEngineState(uint32_t mask);
    virtual void ClearEngineState(uint32_t mask);
    // Flag bytes outside the array read 0 and are not stored.
    virtual uint8_t GetFlag(uint32_t n);
    virtual void SetFlag(uint32_t n, uint8_t value);
    virtual int32_t IsInputTriggered(uint32_t code);
    virtual int32_t IsExtraInputTriggered(uint32_t code)
    {
        (void)code;
        return 0;
    }
    // 57: pumps at least one frame, then until the input is up (or the application quits).
    virtual void WaitInputRelease(uint32_t code);
    // 58: 1 when the input stays down for LongPressTime (or the application quits), 0 when it is
    // released earlier.
    virtual int32_t IsInputHeld(uint32_t code);
    // A cursor key's step: the pointer onto the hit area target (none for -1), a frame drawn, then
    // the key's release awaited. Answers 0, what the key handlers answer.
    int32_t StepCursorTo(int32_t target, uint32_t scan_code);
    // The status plate's mode button decided: the OK sound, the button drawn pressed until the
    // decision's input is released, then the game mode (presence faces shown or not) switched.
    void PressGameModeButton();
    // The text the clipboard holds, when it holds some, as UTF-16; the clipboard is closed again.
    std::optional<std::u16string> ClipboardText();

    // 59-68: sprites, pictures and the draw lock. The caller owns what they make.
    virtual CSprite* CreateTextureSprite(CTextureLayer* layer, int32_t x, int32_t y, int32_t src_x,
                                         int32_t src_y, int32_t width, int32_t height, int32_t priority,
                                         int32_t format);
    // Types 0 and 1 a sprite with a memory layer, 2 a texture sprite; null for others.
    virtual CSprite* CreateSprite(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority,
                                  int32_t type, int32_t format);
    virtual CSprite* LoadSprite(const CStringUTF8& name, CSprite* sprite, int32_t kind,
                                int32_t texture_argument, int32_t priority, RECT* out, int32_t x, int32_t y,
                                int32_t fill_mode);
    virtual CSprite* LoadSpriteAlt(const CStringUTF8& name, CSprite* sprite, int32_t kind,
                                   int32_t texture_argument, int32_t priority, RECT* out, int32_t x,
                                   int32_t y, int32_t fill_mode);
    virtual CSprite* CreateSpriteEx(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority,
                                    int32_t type, int32_t format)
    {
        return CreateSprite(x, y, width, height, priority, type, format);
    }
    virtual CSprite* LoadSpriteEx(const CStringUTF8& name, CSprite* sprite, int32_t kind,
                                  int32_t texture_argument, int32_t priority, RECT* out, int32_t x, int32_t y,
                                  int32_t fill_mode)
    {
        return LoadSprite(name, sprite, kind, texture_argument, priority, out, x, y, fill_mode);
    }
    // A new texture sprite owning the loaded picture; null when it cannot be loaded.
    virtual CSprite* LoadPictureSprite(const CStringUTF8& name, int32_t n);
    // A memory sprite of the picture shared with the other screens that hold it
    // (CLayerFile::FindSheet); null when it cannot be loaded.
    std::shared_ptr<CSprite> LoadSheet(const CStringUTF8& name);
    // The sprite layer registered under the number, or null; registers nothing.
    virtual CSpriteLayer* FindSpriteLayer(int32_t number);
    virtual void LockDraw();
    virtual void UnlockDraw();

    // The fields of every screen.
    int32_t Running = 1;
    ScriptValue Result = ScriptValue::FromInteger(0);
    uint32_t LongPressTime = SCREEN_LONG_PRESS_MS;
    CHitAreaTable HitAreas;
    std::vector<int32_t> OkInputs{28, 156, 512, 256};
    std::vector<int32_t> CancelInputs{1, 211, 513, 82, 257};
    GameDocument* Document = nullptr;
    CInputView* InputView = nullptr;
    ScreenWork* GameWork = nullptr;
    CLayerFile* AltLayerFile = nullptr; // set by the screens that load from a second archive
    int32_t CursorX = 960;
    int32_t CursorY = 540;
    int32_t InputMode = 0;
    int32_t InputModeFrames = 0;
    // Screens that glide a pointer test each arrow on its own after the chain (so two arrows act
    // together) and have no paste test.
    bool ArrowsApart = false;

protected:
    // The one modal loop of every screen. The message windows' chain tests the left button
    // right after Enter and the right one after Escape, takes the skip input after Delete, has
    // no paste, and keeps an InputMode raised during a pass for one more pass.
    enum class ModalChain
    {
        Screen,
        MessageWindow,
    };
    void RunModalLoop(ModalChain chain);
    // Lists the screen among the active ones, unless it is already.
    void ListActive();
    // ModalLoop, then OnClose on either way out: a document code thrown by the loop closes the
    // screen and goes on. `before_close` runs just before the close, told whether the loop is
    // unwinding. Answers out, holding Result when given.
    ScriptValue* RunLoopAndClose(ScriptValue* out,
                                 const std::function<void(bool unwinding)>& before_close = nullptr);
    // Hooks of the message windows' chain: its skip link (true when it matched) and its pass in
    // which nothing matched. Screens sleep 1 ms then, unless the engine state says not to.
    virtual bool OnSkipInput() { return false; }
    virtual void OnIdlePass() { IdleSleep(); }
    void IdleSleep();

    // Read through the document at each use: the game state and the script context are made at
    // the game's start and may be replaced later, after the screen was built.
    FlagBuffer* CurrentFlagBuffer();
    ScriptContext* GetScriptContext();
    CLayerFile* LayerFile();

private:
    // A wait pass; false when the application quits or there is none.
    bool PumpOnce();
    // Runs a handle's code with scene skip off and the engine bit set, putting both back on
    // every way out.
    void RunScriptForAnswer(int32_t handle, uint32_t bit);
};

// The system-menu pages build on the screen base; included here so that the pages reached
// through this header keep compiling.
#include "screens/system/ISystemParts.h"
