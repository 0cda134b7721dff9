#pragma once
// The keys of the "/Config" settings and the read and write rules shared by the typed accessors
// and CONFIG_STATE. Reads and writes go to the configuration document of the application object
// (through its AppLink); writes create missing elements.

#include <cstdint>

#include "foundation/CStringUTF8.h"

namespace foundation {

inline constexpr const char* KEY_LANGUAGE = "/Config/Language";
inline constexpr const char* KEY_SOUND_ENABLE = "/Config/Sound/Enable";
inline constexpr const char* KEY_MASTER_VOLUME = "/Config/Master/Volume";
inline constexpr const char* KEY_MUSIC_ENABLE = "/Config/Music/Enable";
inline constexpr const char* KEY_MUSIC_VOLUME = "/Config/Music/Volume";
inline constexpr const char* KEY_EFFECT_ENABLE = "/Config/Effect/Enable";
inline constexpr const char* KEY_EFFECT_VOLUME = "/Config/Effect/Volume";
inline constexpr const char* KEY_HEFFECT_ENABLE = "/Config/HEffect/Enable";
inline constexpr const char* KEY_VOICE_ENABLE = "/Config/Voice/Enable";
inline constexpr const char* KEY_VOICE_VOLUME = "/Config/Voice/Volume";
inline constexpr const char* KEY_VOICE_LOOP = "/Config/Voice/Loop";
inline constexpr const char* KEY_VOICE_CICK_END = "/Config/Voice/CickEnd";
inline constexpr const char* KEY_CHAR_VOICE_ENABLE = "/Config/CharVoice/%02u/Enable";
inline constexpr const char* KEY_CHAR_VOICE_VOLUME = "/Config/CharVoice/%02u/Volume";
inline constexpr const char* KEY_BACKLOG_MODE = "/Config/BackLogMode";
inline constexpr const char* KEY_ONE_MES = "/Config/OneMes";
inline constexpr const char* KEY_ONE_MES_SPEED = "/Config/OneMesSpeed";
inline constexpr const char* KEY_ALL_SKIP = "/Config/AllSkip";
inline constexpr const char* KEY_AUTO_READ = "/Config/AutoRead";
inline constexpr const char* KEY_AUTO_MES_SPEED = "/Config/AutoMesSpeed";
inline constexpr const char* KEY_AUTO_VOICE_WAIT = "/Config/AutoVoiceWait";
inline constexpr const char* KEY_AUTO_SELECT = "/Config/AutoSelect";
inline constexpr const char* KEY_SELECT_SAME = "/Config/SelectSame";
inline constexpr const char* KEY_SCENE_SKIP = "/Config/SceneSkip";
inline constexpr const char* KEY_MOVIE_PLAY = "/Config/Movie/Play";
// Written without the leading slash, so no element read from a file ever matches it and the
// default is always read. Kept so: changing it would start honouring a value nobody set.
inline constexpr const char* KEY_MOVIE_VSYNC = "Config/Movie/VSync";
inline constexpr const char* KEY_DISPLAY_EFFECT_SPEED = "/Config/DisplayEffect/Speed";
inline constexpr const char* KEY_MES_WND_POS_Y = "/Config/MesWnd/%02d/PosY";
inline constexpr const char* KEY_MES_WND_IS_MOVE = "/Config/MesWnd/IsMove";
inline constexpr const char* KEY_MES_WND_IS_AUTO_MOVE = "/Config/MesWnd/IsAutoMove";
inline constexpr const char* KEY_MES_WND_ALPHA = "/Config/MesWnd/Alpha";
inline constexpr const char* KEY_MES_WND_RED = "/Config/MesWnd/Red";
inline constexpr const char* KEY_MES_WND_GREEN = "/Config/MesWnd/Green";
inline constexpr const char* KEY_MES_WND_BLUE = "/Config/MesWnd/Blue";
inline constexpr const char* KEY_MES_WND_WND_OPEN = "/Config/MesWnd/WndOpen";
inline constexpr const char* KEY_MES_WND_SHOW_SPEED_ENABLE = "/Config/MesWnd/ShowSpeedEnable";
inline constexpr const char* KEY_MES_WND_ENABLE = "/Config/MesWnd/Enable";
inline constexpr const char* KEY_MES_WND_SPEED = "/Config/MesWnd/Speed";
inline constexpr const char* KEY_MES_WND_KUTOUTEN_WAIT = "/Config/MesWnd/KutoutenWait";
inline constexpr const char* KEY_SYSTEM = "/Config/System";
inline constexpr const char* KEY_TOP_PAGE = "/Config/TopPage";
inline constexpr const char* KEY_DIALOG_ENABLE = "/Config/Dialog/%02u/Enable";
inline constexpr const char* KEY_AUTO_SAVE_ENABLE = "/Config/AutoSave/Enable";
inline constexpr const char* KEY_AUTO_CONTINUE_ENABLE = "/Config/AutoContinue/Enable";
inline constexpr const char* KEY_MES_HELP_ENABLE = "/Config/MesHelp/Enable";
inline constexpr const char* KEY_SKIP_CONTINUE_ENABLE = "/Config/SkipContinue/Enable";
inline constexpr const char* KEY_GAME_MODE = "/Config/GameMode";
inline constexpr const char* KEY_MAP_SPEED = "/Config/MapSpeed";

// The setting id whose default is the per-character voice and dialog switches' default.
inline constexpr int DEFAULT_ID_SWITCH = 72;
// Setting id 41 + slot is the default level of voice slot 0..15.
inline constexpr int DEFAULT_ID_CHAR_VOICE_VOLUME = 41;

// The key pattern with its number, as "%02u" or "%02d" write it.
CStringUTF8 NumberedKey(const char* pattern, int number);

int32_t ReadConfigInt(const CStringUTF8& key, int32_t default_value);
// Any value but 0 is on.
bool ReadConfigFlag(const CStringUTF8& key, int32_t default_value);
// Only 1 is on (2 or -1 read as off).
bool ReadConfigFlag1(const CStringUTF8& key, int32_t default_value);
// Stored in hundredths: 75 reads as 0.75.
float ReadConfigLevel(const CStringUTF8& key, int32_t default_value);
uint16_t ReadConfigU16(const CStringUTF8& key, int32_t default_value);

void WriteConfigInt(const CStringUTF8& key, int32_t value);

} // namespace foundation
