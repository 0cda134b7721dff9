#include "foundation/CONFIG_STATE.h"

#include "foundation/ConfigAccess.h"

using namespace foundation;

void CONFIG_STATE::Load()
{
    SoundEnable = GetConfigSoundEnable();
    MasterVolume = GetConfigMasterVolume();
    MusicEnable = GetConfigMusicEnable();
    MusicVolume = GetConfigMusicVolume();
    EffectEnable = GetConfigEffectEnable();
    EffectVolume = GetConfigEffectVolume();
    VoiceEnable = GetConfigVoiceEnable();
    VoiceVolume = GetConfigVoiceVolume();
    OneMes = GetConfigOneMes();
    OneMesSpeed = GetConfigOneMesSpeed();
    AutoRead = GetConfigAutoRead();
    AutoMesSpeed = GetConfigAutoMesSpeed();
    AutoVoiceWait = GetConfigAutoVoiceWait();
    SceneSkip = GetConfigSceneSkip();
    MesWndShowSpeedEnable = GetConfigMesWndShowSpeedEnable();
    MesWndSpeed = GetConfigMesWndSpeed();
    MesWndEnable = ReadConfigFlag(KEY_MES_WND_ENABLE, 1);
    MesWndKutoutenWait = GetConfigMesWndKutoutenWait();
    MesWndAlpha = GetConfigMesWndAlpha();
    MesWndRed = GetConfigMesWndRed();
    MesWndGreen = GetConfigMesWndGreen();
    MesWndBlue = GetConfigMesWndBlue();
    DisplayEffectSpeed = GetConfigDisplayEffectSpeed();
    System = GetConfigSystem();
    MoviePlay = ReadConfigFlag(KEY_MOVIE_PLAY, 1);
    MovieVSync = ReadConfigFlag(KEY_MOVIE_VSYNC, 0);
    VoiceCickEnd = GetConfigVoiceCickEnd();
    AutoSaveEnable = GetConfigAutoSaveEnable();
    AutoContinueEnable = GetConfigAutoContinueEnable();
    SkipContinueEnable = GetConfigSkipContinueEnable();
    MesHelpEnable = GetConfigMesHelpEnable();
    MesWndIsMove = GetConfigMesWndIsMove();
    AutoContinueEnableB = GetConfigAutoContinueEnable();
    AutoSelect = ReadConfigFlag1(KEY_AUTO_SELECT, 0);
    SelectSame = ReadConfigFlag1(KEY_SELECT_SAME, 0);
    AllSkip = GetConfigAllSkip();
    MesWndIsAutoMove = ReadConfigFlag1(KEY_MES_WND_IS_AUTO_MOVE, 0);
    GameMode = GetConfigGameMode();
    MapSpeed = GetConfigMapSpeed();
    Language = GetConfigLanguage();
    for (int slot = 0; slot < CHAR_VOICE_SLOT_COUNT; ++slot) {
        CharVoiceEnable[slot] = GetConfigCharVoiceEnable(slot);
        CharVoiceVolume[slot] = GetConfigCharVoiceVolume(slot);
    }
    for (int number = 0; number < CONFIG_DIALOG_COUNT; ++number)
        DialogEnable[number] = GetConfigDialogEnable(number);
}

void CONFIG_STATE::Save()
{
    WriteConfigInt(KEY_SOUND_ENABLE, SoundEnable);
    WriteConfigInt(KEY_MASTER_VOLUME, LevelToStored(MasterVolume));
    WriteConfigInt(KEY_MUSIC_ENABLE, MusicEnable);
    WriteConfigInt(KEY_MUSIC_VOLUME, LevelToStored(MusicVolume));
    WriteConfigInt(KEY_EFFECT_ENABLE, EffectEnable);
    WriteConfigInt(KEY_EFFECT_VOLUME, LevelToStored(EffectVolume));
    WriteConfigInt(KEY_VOICE_ENABLE, VoiceEnable);
    WriteConfigInt(KEY_VOICE_VOLUME, LevelToStored(VoiceVolume));
    WriteConfigInt(KEY_ONE_MES, OneMes);
    WriteConfigInt(KEY_ONE_MES_SPEED, LevelToStored(OneMesSpeed));
    WriteConfigInt(KEY_AUTO_READ, AutoRead);
    WriteConfigInt(KEY_AUTO_MES_SPEED, LevelToStored(AutoMesSpeed));
    WriteConfigInt(KEY_AUTO_VOICE_WAIT, AutoVoiceWait);
    WriteConfigInt(KEY_SCENE_SKIP, SceneSkip);
    WriteConfigInt(KEY_MES_WND_SHOW_SPEED_ENABLE, MesWndShowSpeedEnable);
    WriteConfigInt(KEY_MES_WND_SPEED, LevelToStored(MesWndSpeed));
    WriteConfigInt(KEY_MES_WND_ENABLE, MesWndEnable);
    WriteConfigInt(KEY_MES_WND_KUTOUTEN_WAIT, MesWndKutoutenWait);
    WriteConfigInt(KEY_ALL_SKIP, AllSkip);
    WriteConfigInt(KEY_AUTO_SELECT, AutoSelect);
    WriteConfigInt(KEY_SELECT_SAME, SelectSame);
    WriteConfigInt(KEY_MES_WND_ALPHA, LevelToStored(MesWndAlpha));
    WriteConfigInt(KEY_MES_WND_RED, LevelToStored(MesWndRed));
    WriteConfigInt(KEY_MES_WND_GREEN, LevelToStored(MesWndGreen));
    WriteConfigInt(KEY_MES_WND_BLUE, LevelToStored(MesWndBlue));
    WriteConfigInt(KEY_DISPLAY_EFFECT_SPEED, DisplayEffectSpeed);
    WriteConfigInt(KEY_SYSTEM, System);
    WriteConfigInt(KEY_VOICE_CICK_END, VoiceCickEnd);
    WriteConfigInt(KEY_AUTO_SAVE_ENABLE, AutoSaveEnable);
    WriteConfigInt(KEY_AUTO_CONTINUE_ENABLE, AutoContinueEnable);
    WriteConfigInt(KEY_SKIP_CONTINUE_ENABLE, SkipContinueEnable);
    WriteConfigInt(KEY_MES_HELP_ENABLE, MesHelpEnable);
    WriteConfigInt(KEY_MES_WND_IS_MOVE, MesWndIsMove);
    // The second copy shares the key and is written last, so it follows the edited field:
    // otherwise the value loaded at the start would overwrite the user's change.
    AutoContinueEnableB = AutoContinueEnable;
    WriteConfigInt(KEY_AUTO_CONTINUE_ENABLE, AutoContinueEnableB);
    WriteConfigInt(KEY_LANGUAGE, Language);
    for (int slot = 0; slot < CHAR_VOICE_SLOT_COUNT; ++slot) {
        WriteConfigInt(NumberedKey(KEY_CHAR_VOICE_ENABLE, slot), CharVoiceEnable[slot]);
        WriteConfigInt(NumberedKey(KEY_CHAR_VOICE_VOLUME, slot), LevelToStored(CharVoiceVolume[slot]));
    }
    for (int number = 0; number < CONFIG_DIALOG_COUNT; ++number)
        WriteConfigInt(NumberedKey(KEY_DIALOG_ENABLE, number), DialogEnable[number]);
    WriteConfigInt(KEY_GAME_MODE, GameMode);
    WriteConfigInt(KEY_MAP_SPEED, MapSpeed);
}

void CONFIG_STATE::SetSoundDefaults()
{
    SoundEnable = 1;
    MusicEnable = 1;
    EffectEnable = 1;
    VoiceEnable = 1;
    MasterVolume = 0.75f;
    MusicVolume = 0.65f;
    EffectVolume = 1.0f;
    VoiceVolume = 1.0f;
    for (int slot = 0; slot < CHAR_VOICE_SLOT_COUNT; ++slot) {
        CharVoiceEnable[slot] = GetConfigDefaultValue(DEFAULT_ID_SWITCH);
        CharVoiceVolume[slot] =
            static_cast<float>(GetConfigDefaultValue(DEFAULT_ID_CHAR_VOICE_VOLUME + slot)) / 100.0f;
    }
    VoiceCickEnd = 0;
}
