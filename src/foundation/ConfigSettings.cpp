#include "foundation/ConfigSettings.h"

#include <cmath>
#include <iterator>

#include "foundation/AppLink.h"
#include "foundation/CXMLDocument.h"
#include "foundation/ConfigAccess.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/LocaleApi.h"

namespace foundation {

CStringUTF8 NumberedKey(const char* pattern, int number)
{
    CStringUTF8 key;
    key.Format(pattern, number);
    return key;
}

int32_t ReadConfigInt(const CStringUTF8& key, int32_t default_value)
{
    AppLink* application = GetAppLink();
    return application ? application->GetConfigInt(key, default_value, 0) : default_value;
}

bool ReadConfigFlag(const CStringUTF8& key, int32_t default_value)
{
    return ReadConfigInt(key, default_value) != 0;
}

bool ReadConfigFlag1(const CStringUTF8& key, int32_t default_value)
{
    return ReadConfigInt(key, default_value) == 1;
}

float ReadConfigLevel(const CStringUTF8& key, int32_t default_value)
{
    return static_cast<float>(ReadConfigInt(key, default_value)) / 100.0f;
}

uint16_t ReadConfigU16(const CStringUTF8& key, int32_t default_value)
{
    return static_cast<uint16_t>(ReadConfigInt(key, default_value) & 0xFFFF);
}

void WriteConfigInt(const CStringUTF8& key, int32_t value)
{
    AppLink* application = GetAppLink();
    if (CXMLDocument* config = application ? application->GetConfigDocument() : nullptr)
        config->SetInt(key, value);
}

} // namespace foundation

using namespace foundation;

namespace {

LanguageIndex DefaultLanguage()
{
    const LANGID id = GetUserDefaultLangID();
    if (PRIMARYLANGID(id) != LANG_CHINESE)
        return LANGUAGE_ENGLISH;
    const WORD sub = SUBLANGID(id);
    return sub == SUBLANG_CHINESE_TRADITIONAL || sub == SUBLANG_CHINESE_HONGKONG
               ? LANGUAGE_TRADITIONAL_CHINESE
               : LANGUAGE_SIMPLIFIED_CHINESE;
}

// A setting some loop reads on every pass, kept parsed per thread until a settings document
// changes or the application does.
struct KeptSetting
{
    const AppLink* application = nullptr;
    uint64_t changes = UINT64_MAX;
    uint16_t value = 0;
};

uint16_t ReadKeptConfigU16(KeptSetting& kept, const char* key, int32_t default_value)
{
    const uint64_t changes = CXMLDocument::GetChangeCount();
    const AppLink* application = GetAppLink();
    if (kept.changes != changes || kept.application != application) {
        kept.value = ReadConfigU16(key, default_value);
        kept.changes = changes;
        kept.application = application;
    }
    return kept.value;
}

} // namespace

LanguageIndex GetConfigLanguage()
{
    return ReadConfigInt(KEY_LANGUAGE, DefaultLanguage());
}

bool GetConfigSoundEnable()
{
    return ReadConfigFlag(KEY_SOUND_ENABLE, 1);
}

float GetConfigMasterVolume()
{
    return ReadConfigLevel(KEY_MASTER_VOLUME, 75);
}

bool GetConfigMusicEnable()
{
    return ReadConfigFlag(KEY_MUSIC_ENABLE, 1);
}

float GetConfigMusicVolume()
{
    return ReadConfigLevel(KEY_MUSIC_VOLUME, 65);
}

bool GetConfigEffectEnable()
{
    return ReadConfigFlag(KEY_EFFECT_ENABLE, 1);
}

float GetConfigEffectVolume()
{
    return ReadConfigLevel(KEY_EFFECT_VOLUME, 100);
}

bool GetConfigHEffectEnable()
{
    return ReadConfigFlag(KEY_HEFFECT_ENABLE, 1);
}

float GetConfigVoiceVolume()
{
    return ReadConfigLevel(KEY_VOICE_VOLUME, 100);
}

bool GetConfigVoiceEnable()
{
    return ReadConfigFlag(KEY_VOICE_ENABLE, 1);
}

bool GetConfigVoiceLoop()
{
    return ReadConfigFlag(KEY_VOICE_LOOP, 0);
}

bool GetConfigVoiceCickEnd()
{
    return ReadConfigFlag(KEY_VOICE_CICK_END, 0);
}

int32_t GetConfigBackLogMode()
{
    return ReadConfigInt(KEY_BACKLOG_MODE, 100);
}

bool GetConfigOneMes()
{
    return ReadConfigFlag1(KEY_ONE_MES, 0);
}

float GetConfigOneMesSpeed()
{
    return ReadConfigLevel(KEY_ONE_MES_SPEED, 100);
}

bool GetConfigAllSkip()
{
    return ReadConfigFlag1(KEY_ALL_SKIP, 0);
}

bool GetConfigAutoRead()
{
    return ReadConfigFlag1(KEY_AUTO_READ, 0);
}

float GetConfigAutoMesSpeed()
{
    return ReadConfigLevel(KEY_AUTO_MES_SPEED, 50);
}

bool GetConfigAutoVoiceWait()
{
    return ReadConfigFlag1(KEY_AUTO_VOICE_WAIT, 0);
}

bool GetConfigSceneSkip()
{
    return ReadConfigFlag1(KEY_SCENE_SKIP, 0);
}

int32_t GetConfigDisplayEffectSpeed()
{
    return ReadConfigInt(KEY_DISPLAY_EFFECT_SPEED, 0);
}

int32_t GetConfigMesWndPosY()
{
    // The message window writes the position under number 0 too.
    return ReadConfigInt(NumberedKey(KEY_MES_WND_POS_Y, 0), 768);
}

bool GetConfigMesWndIsMove()
{
    return ReadConfigFlag1(KEY_MES_WND_IS_MOVE, 1);
}

float GetConfigMesWndAlpha()
{
    return ReadConfigLevel(KEY_MES_WND_ALPHA, 37);
}

float GetConfigMesWndRed()
{
    return ReadConfigLevel(KEY_MES_WND_RED, 0);
}

float GetConfigMesWndGreen()
{
    return ReadConfigLevel(KEY_MES_WND_GREEN, 0);
}

float GetConfigMesWndBlue()
{
    return ReadConfigLevel(KEY_MES_WND_BLUE, 0);
}

int32_t GetConfigMesWndWndOpen()
{
    return ReadConfigInt(KEY_MES_WND_WND_OPEN, 1);
}

bool GetConfigMesWndShowSpeedEnable()
{
    return ReadConfigFlag(KEY_MES_WND_SHOW_SPEED_ENABLE, 1);
}

float GetConfigMesWndSpeed()
{
    return ReadConfigLevel(KEY_MES_WND_SPEED, 80);
}

bool GetConfigMesWndKutoutenWait()
{
    return ReadConfigFlag(KEY_MES_WND_KUTOUTEN_WAIT, 1);
}

int32_t GetConfigSystem()
{
    return ReadConfigInt(KEY_SYSTEM, 0);
}

bool GetConfigAutoSaveEnable()
{
    return ReadConfigFlag(KEY_AUTO_SAVE_ENABLE, 1);
}

bool GetConfigAutoContinueEnable()
{
    return ReadConfigFlag(KEY_AUTO_CONTINUE_ENABLE, 1);
}

bool GetConfigMesHelpEnable()
{
    return ReadConfigFlag(KEY_MES_HELP_ENABLE, 1);
}

bool GetConfigSkipContinueEnable()
{
    return ReadConfigFlag(KEY_SKIP_CONTINUE_ENABLE, 1);
}

uint16_t GetConfigGameMode()
{
    thread_local KeptSetting kept;
    return ReadKeptConfigU16(kept, KEY_GAME_MODE, 0);
}

uint16_t GetConfigMapSpeed()
{
    thread_local KeptSetting kept;
    return ReadKeptConfigU16(kept, KEY_MAP_SPEED, 1);
}

bool GetConfigCharVoiceEnable(int slot)
{
    return ReadConfigFlag(NumberedKey(KEY_CHAR_VOICE_ENABLE, slot), 1);
}

float GetConfigCharVoiceVolume(int slot)
{
    return ReadConfigLevel(NumberedKey(KEY_CHAR_VOICE_VOLUME, slot),
                           GetConfigDefaultValue(DEFAULT_ID_CHAR_VOICE_VOLUME + slot));
}

bool GetConfigDialogEnable(int number)
{
    return ReadConfigFlag(NumberedKey(KEY_DIALOG_ENABLE, number), 1);
}

void SetConfigVoiceLoop(int32_t value)
{
    WriteConfigInt(KEY_VOICE_LOOP, value);
}

void SetConfigOneMes(int32_t value)
{
    WriteConfigInt(KEY_ONE_MES, value);
}

void SetConfigAutoRead(int32_t value)
{
    WriteConfigInt(KEY_AUTO_READ, value);
}

void SetConfigSceneSkip(int32_t value)
{
    WriteConfigInt(KEY_SCENE_SKIP, value);
}

void SetConfigMesWndIsMove(int32_t value)
{
    WriteConfigInt(KEY_MES_WND_IS_MOVE, value);
}

void SetConfigTopPage(int32_t value)
{
    WriteConfigInt(KEY_TOP_PAGE, value);
}

void SetConfigAutoContinueEnable(int32_t value)
{
    WriteConfigInt(KEY_AUTO_CONTINUE_ENABLE, value);
}

void SetConfigGameMode(int32_t value)
{
    WriteConfigInt(KEY_GAME_MODE, value);
}

void SetConfigDialogEnable(int number, int32_t value)
{
    WriteConfigInt(NumberedKey(KEY_DIALOG_ENABLE, number), value);
}

int32_t GetConfigDefaultValue(int id)
{
    // Ids 0..72 in order; every other id answers 1.
    static constexpr int32_t DEFAULTS[] = {
        1,  75, 1,  65,  1,  100, 1,   100, 1,  100, 1,  100, 1,  100, 1,  75,  // 0-15
        50, 0,  0,  0,   37, 1,   80,  1,   0,  100, 0,  50,  0,  0,   1,  0,   // 16-31
        1,  1,  0,  0,   0,  0,   100, 768, 0,  90,  90, 90,  90, 90,  90, 100, // 32-47
        90, 90, 90, 100, 90, 95,  90,  95,  95, 0,   0,  50,  50, 50,  50, 50,  // 48-63
        50, 50, 50, 50,  50, 50,  50,  0,   1,                                  // 64-72
    };
    static_assert(std::size(DEFAULTS) == 73);
    return id >= 0 && id < static_cast<int>(std::size(DEFAULTS)) ? DEFAULTS[id] : 1;
}

CStringUTF8 MakeLanguageFileName(CStringUTF8 path)
{
    char16_t name[MAX_PATH] = {};
    char16_t extension[MAX_PATH] = {};
    _wsplitpath_s(path.GetWideText(), nullptr, 0, nullptr, 0, name, MAX_PATH, extension, MAX_PATH);
    CStringUTF8 result(name);
    switch (GetConfigLanguage()) {
    case LANGUAGE_ENGLISH:
        result.Append("_en");
        break;
    case LANGUAGE_SIMPLIFIED_CHINESE:
        result.Append("_ch");
        break;
    case LANGUAGE_TRADITIONAL_CHINESE:
        result.Append("_tw");
        break;
    default:
        break;
    }
    return result + CStringUTF8(extension);
}

int GetCharVoiceIndex(CStringUTF8 name)
{
    CStringUTF8 lower = name;
    lower.MakeLower();
    return MatchCharVoiceCode(lower.CharAt(0), lower.CharAt(1), lower.CharAt(2));
}

int MatchCharVoiceCode(CStringUTF8 c0, CStringUTF8 c1, CStringUTF8 c2)
{
    static constexpr const char* SLOT_LETTERS[CHAR_VOICE_OTHER_SLOT] = {
        "r", "o", "f", "j", "k", "p", "s", "e", "q", "b", "d", "i", "h", "a", "n"};
    constexpr int P_SLOT = 5;
    for (int slot = 0; slot < CHAR_VOICE_OTHER_SLOT; ++slot) {
        const char* letter = SLOT_LETTERS[slot];
        // A name that starts with "pr" belongs to the speaker of its third letter.
        const bool first_matches =
            slot == P_SLOT ? c0.IsEqual(letter) && !c1.IsEqual("r") : c0.IsEqual(letter);
        if (first_matches || c2.IsEqual(letter))
            return slot;
    }
    return CHAR_VOICE_OTHER_SLOT;
}

CStringUTF8 GetEnabledVoiceName(CStringUTF8 name)
{
    if (!GetConfigVoiceEnable())
        return CStringUTF8();
    return GetConfigCharVoiceEnable(GetCharVoiceIndex(name)) ? name : CStringUTF8();
}

int32_t GetVoiceAttenuation(CStringUTF8 name)
{
    const int slot = GetCharVoiceIndex(name);
    const float voice = GetConfigVoiceVolume();
    const float master = GetConfigMasterVolume();
    const float character = GetConfigCharVoiceVolume(slot);
    // A level of 0 is the quietest level, -45 dB, as for music and effects; only the switches
    // silence a voice.
    if (!GetConfigVoiceEnable() || !GetConfigSoundEnable() || !GetConfigCharVoiceEnable(slot))
        return VOICE_VOLUME_SILENT;
    const float product = ((master * -4500.0f) * voice) * character;
    // Stored levels above 100 would ask for more than full volume, which the device refuses.
    if (product <= -4500.0f)
        return 0;
    return -4500 - static_cast<int32_t>(std::trunc(product));
}

int32_t LevelToStored(float level)
{
    // Truncated in single precision, so a stored 53 (0.53f x 100 = 52.99999) comes back as 52:
    // stored settings files were written this way.
    const float stored = level * 100.0f;
    return static_cast<int32_t>(std::trunc(stored));
}
