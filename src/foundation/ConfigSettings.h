#pragma once
// Every user setting below "/Config" of the configuration document, each with its key, default
// and read rule fixed here, and the rules derived from them: the default language, language
// variants of file names, per-character voice slots and voice attenuation. Getters answer the
// default when there is no configuration document (no application object); setters then do
// nothing. The document locks itself, so any thread may call these.

#include <cstdint>

#include "foundation/CStringUTF8.h"

// The user-interface language.
using LanguageIndex = int32_t;
inline constexpr LanguageIndex LANGUAGE_ENGLISH = 0;
inline constexpr LanguageIndex LANGUAGE_SIMPLIFIED_CHINESE = 1;
inline constexpr LanguageIndex LANGUAGE_TRADITIONAL_CHINESE = 2;
inline constexpr LanguageIndex LANGUAGE_JAPANESE = 3;

// Voice slots 0..14 belong to speakers with a one-letter code; slot 15 takes every other voice.
inline constexpr int CHAR_VOICE_SLOT_COUNT = 16;
inline constexpr int CHAR_VOICE_OTHER_SLOT = 15;
inline constexpr int CONFIG_DIALOG_COUNT = 10;

// DirectSound volumes in hundredths of a decibel.
inline constexpr int32_t VOICE_VOLUME_SILENT = -10000;

// The stored language, else the system's: Chinese of Taiwan and Hong Kong gives traditional,
// other Chinese simplified, anything else (Japanese included) English.
LanguageIndex GetConfigLanguage();

bool GetConfigSoundEnable();
float GetConfigMasterVolume();
bool GetConfigMusicEnable();
float GetConfigMusicVolume();
bool GetConfigEffectEnable();
float GetConfigEffectVolume();
bool GetConfigHEffectEnable();
float GetConfigVoiceVolume();
bool GetConfigVoiceEnable();
bool GetConfigVoiceLoop();
bool GetConfigVoiceCickEnd();
int32_t GetConfigBackLogMode();
bool GetConfigOneMes();
float GetConfigOneMesSpeed();
bool GetConfigAllSkip();
bool GetConfigAutoRead();
float GetConfigAutoMesSpeed();
bool GetConfigAutoVoiceWait();
bool GetConfigSceneSkip();
int32_t GetConfigDisplayEffectSpeed();
int32_t GetConfigMesWndPosY();
bool GetConfigMesWndIsMove();
float GetConfigMesWndAlpha();
float GetConfigMesWndRed();
float GetConfigMesWndGreen();
float GetConfigMesWndBlue();
int32_t GetConfigMesWndWndOpen();
bool GetConfigMesWndShowSpeedEnable();
float GetConfigMesWndSpeed();
bool GetConfigMesWndKutoutenWait();
int32_t GetConfigSystem();
bool GetConfigAutoSaveEnable();
bool GetConfigAutoContinueEnable();
bool GetConfigMesHelpEnable();
bool GetConfigSkipContinueEnable();
uint16_t GetConfigGameMode();
uint16_t GetConfigMapSpeed();

bool GetConfigCharVoiceEnable(int slot);
float GetConfigCharVoiceVolume(int slot);
bool GetConfigDialogEnable(int number);

void SetConfigVoiceLoop(int32_t value);
void SetConfigOneMes(int32_t value);
void SetConfigAutoRead(int32_t value);
void SetConfigSceneSkip(int32_t value);
void SetConfigMesWndIsMove(int32_t value);
void SetConfigTopPage(int32_t value);
void SetConfigAutoContinueEnable(int32_t value);
void SetConfigGameMode(int32_t value);
void SetConfigDialogEnable(int number, int32_t value);

// The default of setting id 0..72 (41 + slot: a voice slot's level; 72: the per-character and
// dialog switches); 1 for any other id.
int32_t GetConfigDefaultValue(int id);

// The file name of the path without its folder, with "_en", "_ch" or "_tw" before the
// extension for languages 0, 1 and 2.
CStringUTF8 MakeLanguageFileName(CStringUTF8 path);

// The voice slot of a voice file name, by its first three characters, case-blind.
int GetCharVoiceIndex(CStringUTF8 name);
int MatchCharVoiceCode(CStringUTF8 c0, CStringUTF8 c1, CStringUTF8 c2);
// The name when voices and the name's slot are switched on; else empty.
CStringUTF8 GetEnabledVoiceName(CStringUTF8 name);
// The volume to play a voice at: 0 at full levels, -4500 x (1 - master x voice x character)
// below them, VOICE_VOLUME_SILENT when switched off or when any level is 0.
int32_t GetVoiceAttenuation(CStringUTF8 name);

// A level in hundredths as stored, for a level held as a float: truncated, so of the stored values
// from 0 to 100 all but 53 and 59 survive a load and a save (those come back one lower).
int32_t LevelToStored(float level);
