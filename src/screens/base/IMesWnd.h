#pragma once
// The message-window family's common part: the operations the message command group calls, a
// modal loop of its own that adds the skip input and read-skip advances to the screen base's
// chain, and the voice of the current message. Main thread only.

#include <atomic>
#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "screens/base/ISelect.h"
#include "script/ScriptValue.h"

// HoverId of an advance the window asks for itself (skip, auto, wheel, keys).
inline constexpr int32_t MESWND_ADVANCE = -2;
// The skip input.
inline constexpr uint32_t INPUT_SKIP = 264;

// The message number of the running message.
extern uint32_t CurrentMessageNumber;
// The read-skip mode: "/Config/OneMes" as taken when a window opens, changed by its button.
extern uint8_t ReadSkipOn;

class IMesWnd : public ISelect
{
public:
    int32_t IsShown() override { return Shown; }
    void Show() override { Shown = 1; }
    void Hide() override { Shown = 0; }
    // Adds read-skip and the skip input to the base's chain; the left button comes before Escape.
    void ModalLoop() override;

    // 69-81.
    virtual int32_t CreateParts() { return 1; }
    virtual void ReleaseParts() {}
    virtual void ApplyWindowColor() {}
    virtual void ResetTextArea() {}
    virtual void SetWindowVisible(int32_t flag) { (void)flag; }
    // The modal run of one message: answers out with the screen's result.
    virtual void RunMessage(ScriptValue& out, int32_t mode, int32_t number);
    virtual void DrawNamePlate() {}
    virtual int32_t IsReplayMode() { return 0; }
    virtual bool IsMessageRead(uint32_t number);
    virtual void UpdateVoiceState();
    virtual void StopVoiceOnClick();
    virtual bool IsVoicePlaying();
    virtual int32_t IsMessageVoicePlaying() { return MessageVoicePlaying; }

    // A voice is open on voice channel 0, voices are on and the speaker's voice is enabled;
    // keeps the open name in VoiceName.
    bool IsMessageAudible();
    // The text of backlog entry index, empty when there is none.
    static CStringUTF8 GetBacklogEntryString(int32_t index);

    int32_t HoverId = -1;
    int32_t MessageMode = 0;
    int32_t Shown = 0;
    std::atomic<uint32_t> AutoDeadline{0};
    int32_t WindowWord = 0;
    CStringUTF8 VoiceName;
    int32_t MessageVoicePlaying = 0;
    int32_t SkipAllowed = 1;

protected:
    // The modal run with recording off, closed on every way out; a document code goes on.
    void RunModal();
    // The same operations for a voice channel; every caller of the family passes 0.
    void UpdateVoiceStateOn(int32_t channel);
    // force stops the voice whatever "/Config/Voice/CickEnd" says.
    void StopVoiceOn(int32_t channel, int32_t force);

private:
    // The skip input while skipping is allowed: an advance.
    bool OnSkipInput() override;
    // The chain's last link: the read-skip advance, else the idle sleep.
    void OnIdlePass() override;
};
