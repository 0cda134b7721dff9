#pragma once
// The game's own command group (library 29): hero name, calendar table, auto save, backlog
// texts, background and face voices, animation slots, the stash of the game state, and the
// screens of the other subsystems that a script opens for one command. One object lives with the
// script context for the whole run; each call pops a command code and then the command's
// arguments, and pushes at most one value. Every index a script supplies is checked: one out of
// range does nothing. Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "script/ScriptScreenTable.h"
#include "script/commands/IFunc.h"

class CSakuraEffect;
class CSnowEffect;
class CSnowFirstOne;
class CSprite;
class CSpriteAnime;
class IBGVPlay;
class IScriptMessageScreen;
struct LogBuffer;

// Game-state places of the group.
inline constexpr size_t HERO_NAME_BYTE = 31500;
inline constexpr size_t HERO_NAME_MAX_BYTES = 100;
inline constexpr size_t CALENDAR_BYTE = 18000;
inline constexpr size_t CALENDAR_BYTES = 12 * 32;
inline constexpr size_t AUTO_SAVE_GUARD_VARIABLE = 54;
inline constexpr size_t FLAG_COPY_BASE_VALUE = 2;
inline constexpr size_t SEEN_PICTURE_FLAG = 3300;
inline constexpr size_t PICTURES_SEEN_FLAG = 3001;
inline constexpr size_t PICTURES_SEEN_FLAG_2 = 3002;

// The calendar table's day codes: 1-7 weekday, +8 a public holiday, 0 past the month's end.
extern const uint8_t CALENDAR_TABLE[12][31];

class CFuncExec final : public IFunc
{
public:
    CFuncExec();
    // Releases the task, the snow, the petals, the first snowflake (each effect stops its own
    // task before its pictures go), the train, the message screen, then the stash and the text.
    ~CFuncExec() override;

    void Call(CScript& script) override;

    // The hero name: the bytes from 31500 up to a zero byte, at most 100 of them.
    CStringUTF8 GetHeroName() const;
    FlagBuffer& GetStash() { return *m_stash; }
    const CStringUTF8& GetLanguageFileName() const { return m_language_file; }
    void SetLanguageFileName(const CStringUTF8& name) { m_language_file = name; }
    IScriptMessageScreen* GetMessageScreen() { return m_message_screen.get(); }

    void WriteThumbnail();
    void ShowHeroName();
    void MessageWindow();
    void AutoSave();
    void BackgroundVoice();
    void AreaSelectCommand();
    void SetDefaultHeroName();
    void SetBacklogText();
    void SetBacklogHeroName();
    void LanguageText();
    void WriteCalendar();
    void CopyFlags();
    void GameCursor();
    void ArmAndStepSlot();
    void RestartSlot();
    void FaceVoice();
    void Stash();
    void TrainLineMap();
    void MessageScreen();

    // The screen commands.
    void NameInput();
    void Title();
    void TitleAnimation();
    void RunExtrasMode(int32_t mode);
    void MarkHeroineSeen();
    void MiniGame();

    // The picture commands.
    void Picture();
    void Pan();
    void Train();
    void ZoomFlash();
    void Snow();
    void Snowball();
    void Petals();
    void PictureSet(CScript& script);
    void EpiloguePicture(CScript& script);
    void StandingCharacter();

    CSprite* GetTrainSprite() const { return m_train.get(); }
    CSnowEffect* GetSnow() const { return m_snow.get(); }
    CSnowFirstOne* GetSnowball() const { return m_snowball.get(); }
    CSakuraEffect* GetPetals() const { return m_petals.get(); }

private:
    // The newest backlog record holding a message, or null; none while the document's engine
    // state word has bit 31 or 0x400 set.
    LogBuffer* GetBacklogTarget();
    void PushResult(int32_t result);
    // Runs a screen of the script's screen table with the popped arguments; pushes its answer,
    // or preset when no screen is registered.
    void PushScreenResult(ScriptScreen screen, int32_t preset, std::vector<ScriptValue> arguments = {});

    std::unique_ptr<CSpriteAnime> m_task;
    CStringUTF8 m_language_file;
    std::unique_ptr<FlagBuffer> m_stash;
    std::unique_ptr<IScriptMessageScreen> m_message_screen;
    std::unique_ptr<CSprite> m_train;
    std::unique_ptr<CSnowEffect> m_snow;
    std::unique_ptr<CSnowFirstOne> m_snowball;
    std::unique_ptr<CSakuraEffect> m_petals;
};
