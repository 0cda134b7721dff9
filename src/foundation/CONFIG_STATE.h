#pragma once
// The in-memory copy of the user settings that the settings screens edit as a whole: loaded from
// the "/Config" keys in one go and written back in one go. A plain block taken as a second base
// by the screens that embed it; it belongs to that screen's thread.

#include <cstdint>

#include "foundation/ConfigSettings.h"

struct CONFIG_STATE
{
    // Fills every field from its key, with the key's read rule and default.
    void Load();
    // Writes the fields back; MoviePlay, MovieVSync and MesWndIsAutoMove are never written.
    void Save();
    // The sound part of the defaults; writes nothing.
    void SetSoundDefaults();

    float MesWndAlpha = 0;
    float MesWndRed = 0;
    float MesWndGreen = 0;
    float MesWndBlue = 0;
    int32_t AutoContinueEnable = 0;
    int32_t SkipContinueEnable = 0;
    // Read from and written to the auto-continue key too; nothing edits it.
    int32_t AutoContinueEnableB = 0;
    int32_t AutoSaveEnable = 0;
    int32_t MesHelpEnable = 0;
    int32_t MesWndIsMove = 0;
    int32_t MesWndShowSpeedEnable = 0;
    float MesWndSpeed = 0;
    int32_t MesWndEnable = 0;
    int32_t OneMes = 0;
    float OneMesSpeed = 0;
    int32_t MesWndKutoutenWait = 0;
    int32_t AutoRead = 0;
    float AutoMesSpeed = 0;
    int32_t AutoVoiceWait = 0;
    int32_t SceneSkip = 0;
    int32_t SoundEnable = 0;
    int32_t MusicEnable = 0;
    int32_t EffectEnable = 0;
    int32_t VoiceEnable = 0;
    float MasterVolume = 0;
    float MusicVolume = 0;
    float EffectVolume = 0;
    float VoiceVolume = 0;
    int32_t CharVoiceEnable[CHAR_VOICE_SLOT_COUNT] = {};
    float CharVoiceVolume[CHAR_VOICE_SLOT_COUNT] = {};
    int32_t DialogEnable[CONFIG_DIALOG_COUNT] = {};
    int32_t VoiceCickEnd = 0;
    int32_t DisplayEffectSpeed = 0;
    int32_t System = 0;
    int32_t AutoSelect = 0;
    int32_t AllSkip = 0;
    int32_t SelectSame = 0;
    int32_t MoviePlay = 0;
    int32_t MovieVSync = 0;
    int32_t MesWndIsAutoMove = 0;
    int32_t GameMode = 0;
    int32_t MapSpeed = 0;
    int32_t Language = 0;
};
