#include "screens/system/CSoundConfig.h"

#include <algorithm>
#include <cmath>

#include "foundation/CInputView.h"
#include "foundation/CLangTextTable.h"
#include "foundation/CString.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "movie/CMediaStream.h"
#include "movie/CMoviePlayer.h"
#include "movie/MovieVolumeRecord.h"
#include "screens/base/ScreenWork.h"
#include "screens/system/SoundConfigLayout.h"
#include "sound/IWaveManager.h"
#include "sound/SoundChannels.h"

namespace {

inline constexpr int32_t PANEL_PRIORITY = 113;
inline constexpr int32_t WINDOW_TOP = 40;
inline constexpr int32_t WINDOW_HEIGHT = 921;
inline constexpr int32_t SLIDER_RANGE = 560;
inline constexpr int32_t KNOB_HALF = 26;
inline constexpr int32_t SWITCH_W = 144;
inline constexpr int32_t SWITCH_H = 42;
inline constexpr int32_t KNOB_W = 52;
inline constexpr int32_t KNOB_H = 54;
inline constexpr int32_t DIGIT_W = 23;
inline constexpr int32_t DIGIT_H = 30;
inline constexpr int32_t TAB = 158;
inline constexpr int32_t ARROW_W = 48;
inline constexpr int32_t ARROW_H = 43;
inline constexpr int32_t TRACK_X = 1648;
inline constexpr int32_t TRACK_Y = 80;
inline constexpr int32_t TRACK_W = 32;
inline constexpr int32_t TRACK_H = 876;
inline constexpr int32_t THUMB_H = 250;
inline constexpr int32_t THUMB_RANGE = 626;
inline constexpr int32_t THUMB_POINTER_TOP = 205;
inline constexpr int32_t CHARACTERS = CHAR_VOICE_SLOT_COUNT;
inline constexpr int32_t FIRST_CHARACTER = 4; // sound group of character 0
inline constexpr int32_t CLICK_END_ID = 0x0700;
inline constexpr float WHEEL_STEP = 0.05f;
inline constexpr float ARROW_STEP = 0.1f;

const char* const CHARACTER_VOICES[CHARACTERS] = {"r9999.ogg", "o9999.ogg", "f9999.ogg", "j9999.ogg",
                                                  "k9999.ogg", "p9999.ogg", "s9999.ogg", "e9999.ogg",
                                                  "q9999.ogg", "b9999.ogg", "d9999.ogg", "i9999.ogg",
                                                  "h9999.ogg", "a9999.ogg", "n9999.ogg", "g9999.ogg"};

POINT SwitchAt(int32_t group)
{
    if (group < FIRST_CHARACTER) {
        static constexpr POINT at[] = {{654, 78}, {1464, 78}, {654, 210}, {1464, 210}};
        return at[group];
    }
    const int32_t k = group - FIRST_CHARACTER;
    return POINT{654 + 810 * (k % 2), 410 + 132 * (k / 2)};
}

POINT SliderAt(int32_t group)
{
    if (group < FIRST_CHARACTER) {
        static constexpr POINT at[] = {{118, 122}, {930, 122}, {118, 254}, {930, 254}};
        return at[group];
    }
    const int32_t k = group - FIRST_CHARACTER;
    return POINT{190 + 812 * (k % 2), 462 + 132 * (k / 2)};
}

// The sound group of a panel control (switch or slider), or -1.
int32_t SoundGroupOf(int32_t id)
{
    const int32_t group = id >> 8;
    const int32_t item = id & 0xFF;
    if (group >= 0 && group <= 3 && item <= 1)
        return group;
    if ((group == 5 || group == 6) && item < CHARACTERS)
        return FIRST_CHARACTER + item;
    return -1;
}

bool IsSlider(int32_t id)
{
    const int32_t group = id >> 8;
    return (group <= 3 && (id & 0xFF) == 1) || group == 6;
}

// -5000 - trunc(a x -5000 x b) in single precision: the attenuation of a level under another.
int32_t Attenuation(float base, float a, float b)
{
    return static_cast<int32_t>(base) - static_cast<int32_t>(a * base * b);
}

ILayer* LayerOfSprite(CSprite* sprite)
{
    return sprite ? SpriteLayerOf(sprite) : nullptr;
}

// A sprite held alone or shared.
template <typename Held>
ILayer* LayerOfSprite(const Held& sprite)
{
    return LayerOfSprite(sprite.get());
}

// The control a cursor key leads to from a control: -1 no move, -2 the nearest panel control.
int32_t KeyTarget(int32_t from, uint32_t key)
{
    constexpr int32_t NONE = -1;
    constexpr int32_t NEAREST = -2;
    const bool up = key == SCAN_UP;
    const bool down = key == SCAN_DOWN;
    const bool left = key == SCAN_LEFT;
    const auto pick = [&](int32_t u, int32_t d, int32_t l, int32_t r) { return up ? u : down ? d : left ? l : r; };
    if (from == -1)
        return pick(0x0000, 0x0000, 0x0000, 0x0F00);
    const int32_t group = from >> 8;
    const int32_t item = from & 0xFF;
    switch (from) {
    case 0x0000: return pick(0x0000, 0x0001, NONE, 0x0100);
    case 0x0001: return pick(0x0000, 0x0200, NONE, 0x0101);
    case 0x0100: return pick(0x0100, 0x0101, 0x0000, 0x0D00);
    case 0x0101: return pick(0x0100, 0x0300, 0x0001, 0x0D00);
    case 0x0200: return pick(0x0001, 0x0201, NONE, 0x0300);
    case 0x0201: return pick(0x0200, 0x0500, NONE, 0x0301);
    case 0x0300: return pick(0x0101, 0x0301, 0x0200, 0x0D00);
    case 0x0301: return pick(0x0300, CLICK_END_ID, 0x0201, 0x0D00);
    case CLICK_END_ID: return pick(0x0301, 0x0501, NONE, 0x0D00);
    case 0x0E00: return pick(0x0E00, 0x0E01, 0x0D00, NONE);
    case 0x0E01: return pick(0x0E00, 0x0F00, 0x0D01, NONE);
    case 0x0F00: return pick(0x0E01, 0x1000, 0x0D01, NONE);
    case 0x1000: return pick(0x0F00, NONE, 0x0D01, NONE);
    default: break;
    }
    if (group == 5) {
        const int32_t k = item;
        return pick(k == 0 ? 0x0201 : k == 1 ? 0x0301 : 0x0600 + k - 2, 0x0600 + k, k % 2 ? 0x0500 + k - 1 : NONE,
                    k % 2 == 0 ? 0x0500 + k + 1 : 0x0D00);
    }
    if (group == 6) {
        const int32_t k = item;
        return pick(0x0500 + k, k < 14 ? 0x0500 + k + 2 : NONE, k % 2 ? 0x0600 + k - 1 : NONE,
                    k % 2 == 0 ? 0x0600 + k + 1 : 0x0D00);
    }
    if (group == 13)
        return pick(0x0D00, 0x0D01, NEAREST, item == 1 ? 0x1000 : 0x0E00);
    return NONE;
}

} // namespace

CSoundConfig::CSoundConfig() = default;

CSoundConfig::~CSoundConfig()
{
    CSoundConfig::ReleaseParts();
}

int32_t* CSoundConfig::EnableField(int32_t group)
{
    switch (group) {
    case 0: return &SoundEnable;
    case 1: return &MusicEnable;
    case 2: return &EffectEnable;
    case 3: return &VoiceEnable;
    default:
        return group >= FIRST_CHARACTER && group < FIRST_CHARACTER + CHARACTERS
                   ? &CharVoiceEnable[group - FIRST_CHARACTER]
                   : nullptr;
    }
}

float* CSoundConfig::VolumeField(int32_t group)
{
    switch (group) {
    case 0: return &MasterVolume;
    case 1: return &MusicVolume;
    case 2: return &EffectVolume;
    case 3: return &VoiceVolume;
    default:
        return group >= FIRST_CHARACTER && group < FIRST_CHARACTER + CHARACTERS
                   ? &CharVoiceVolume[group - FIRST_CHARACTER]
                   : nullptr;
    }
}

ILayer* CSoundConfig::GetPanelLayer() const
{
    return LayerOfSprite(m_panel);
}

ILayer* CSoundConfig::GetCoverCopyLayer() const
{
    return SpriteLayerOf(m_cover_copy.get());
}

int32_t CSoundConfig::CreateParts()
{
    if (ISystemParts::CreateParts() == 0)
        return 0;
    m_help.reset(CreateSprite(0, 0, 1000, 40, -1, LAYER_KIND_MEMORY, 0));
    m_panel.reset(CreateSprite(0, 0, SOUND_PANEL_WIDTH, SOUND_PANEL_HEIGHT, PANEL_PRIORITY, LAYER_KIND_TEXTURE, 0));
    m_cover_copy.reset(CreateSprite(0, 0, SOUND_PANEL_WIDTH, SOUND_PANEL_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
    if (!LayerOfSprite(m_help) || !LayerOfSprite(m_panel) || !LayerOfSprite(m_cover_copy))
        return 0;
    // Languages without pictures of their own take the traditional Chinese ones, else the plain.
    switch (GetConfigLanguage()) {
    case 0:
        m_sheet = LoadFirstSheet({"systemsound_p.akb"});
        m_cover = LoadFirst({"sound_cover_en.akb"});
        break;
    case 1:
        m_sheet = LoadFirstSheet({"systemsound_p.akb"});
        m_cover = LoadFirst({"sound_cover_ch.akb"});
        break;
    case 3:
        m_sheet = LoadFirstSheet({"systemsound_p.akb"});
        m_cover = LoadFirst({"sound_cover.akb"});
        break;
    default:
        m_sheet = LoadFirstSheet({"systemsound_p_tw.akb", "systemsound_p.akb"});
        m_cover = LoadFirst({"sound_cover_tw.akb", "sound_cover.akb"});
        break;
    }
    return 1;
}

void CSoundConfig::ReleaseParts()
{
    ISystemParts::ReleaseParts();
    m_sheet.reset();
    m_help.reset();
    m_cover.reset();
    m_panel.reset();
    m_cover_copy.reset();
}

std::unique_ptr<CSprite> CSoundConfig::LoadFirst(std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (CSprite* sprite = LoadPictureIfPresent(name))
            return std::unique_ptr<CSprite>(sprite);
    return nullptr;
}

std::shared_ptr<CSprite> CSoundConfig::LoadFirstSheet(std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (std::shared_ptr<CSprite> sheet = LoadSheetIfPresent(name))
            return sheet;
    return nullptr;
}

ScriptValue* CSoundConfig::Run(ScriptValue* out)
{
    EnsureParts();
    CONFIG_STATE fresh;
    fresh.Load();
    auto& lists = GetGameSoundChannels();
    const auto settle = [&](size_t kind, int32_t on, float level) {
        for (auto& channel : lists[kind]) {
            if (!channel)
                continue;
            const DWORD fading = channel->IsFading();
            if (fading == 1)
                channel->SetVolume(on ? Attenuation(-5000.0f, level, fresh.MasterVolume) : -10000);
            else if (fading == 2)
                channel->Stop(true);
        }
    };
    settle(SOUND_GROUP_MUSIC, fresh.MusicEnable && fresh.SoundEnable, fresh.MusicVolume);
    settle(SOUND_GROUP_EFFECT, fresh.EffectEnable && fresh.SoundEnable, fresh.EffectVolume);
    for (auto& channel : lists[SOUND_GROUP_VOICE])
        if (channel)
            channel->Stop(true);
    CONFIG_STATE::Load();
    return ISystemParts::Run(out);
}

void CSoundConfig::ApplyVolume(int32_t enabled, int32_t group, float volume)
{
    auto& lists = GetGameSoundChannels();
    const auto set = [&](size_t kind, bool on, int32_t level) {
        for (auto& channel : lists[kind])
            if (channel)
                channel->SetVolume(on ? level : -10000);
    };
    const bool master_on = enabled != 0 && SoundEnable != 0;
    CMoviePlayer* player = GetGameMoviePlayer();
    const MovieVolumeRecord* record = GameWork->m_movie_volume.get();
    if (group == 0) {
        const int32_t music = Attenuation(-5000.0f, MusicVolume, volume);
        set(SOUND_GROUP_MUSIC, enabled != 0 && MusicEnable != 0, music);
        set(SOUND_GROUP_EFFECT, enabled != 0 && EffectEnable != 0, Attenuation(-5000.0f, EffectVolume, volume));
        ApplyMusicVolume(record, player, enabled != 0 && MusicEnable != 0, music);
    } else if (group == 1) {
        const int32_t music = Attenuation(-5000.0f, volume, MasterVolume);
        set(SOUND_GROUP_MUSIC, master_on, music);
        ApplyMusicVolume(record, player, master_on, music);
    } else if (group == 2) {
        set(SOUND_GROUP_EFFECT, master_on, Attenuation(-5000.0f, volume, MasterVolume));
    } else if (group == 3) {
        set(SOUND_GROUP_VOICE, master_on,
            static_cast<int32_t>(-4500.0f) - static_cast<int32_t>(MasterVolume * -4500.0f * volume * CharVoiceVolume[0]));
    } else if (group >= FIRST_CHARACTER && group < FIRST_CHARACTER + CHARACTERS) {
        set(SOUND_GROUP_VOICE, master_on,
            static_cast<int32_t>(-4500.0f) - static_cast<int32_t>(MasterVolume * -4500.0f * VoiceVolume * volume));
    }
}

void CSoundConfig::PlaySample(int32_t group)
{
    auto& lists = GetGameSoundChannels();
    const size_t kind = group <= 1 ? SOUND_GROUP_MUSIC : group == 2 ? SOUND_GROUP_EFFECT : SOUND_GROUP_VOICE;
    for (auto& channel : lists[kind])
        if (channel && channel->IsPlaying())
            return;
    if (group <= 1 && GameWork->m_movie_volume && GameWork->m_movie_volume->Kind == MOVIE_KIND_MUSIC) {
        if (CMoviePlayer* player = GetGameMoviePlayer())
            for (auto& stream : player->Streams)
                if (stream && stream->State != 0)
                    return;
    }
    const size_t channel = kind == SOUND_GROUP_EFFECT ? 4 : 0;
    if (channel >= lists[kind].size() || !lists[kind][channel])
        return;
    const char* name = group <= 1   ? "SWEET_EN.wav"
                       : group == 2 ? "CHIME.wav"
                       : group == 3 ? CHARACTER_VOICES[0]
                                    : CHARACTER_VOICES[group - FIRST_CHARACTER];
    lists[kind][channel]->PlayFile(name);
    m_sample_played = 1;
}

void CSoundConfig::StopSample(int32_t group)
{
    auto& lists = GetGameSoundChannels();
    if (group <= 1) {
        for (auto& channel : lists[SOUND_GROUP_MUSIC])
            if (channel)
                channel->Stop(true);
    } else if (group == 2) {
        if (lists[SOUND_GROUP_EFFECT].size() > 4 && lists[SOUND_GROUP_EFFECT][4])
            lists[SOUND_GROUP_EFFECT][4]->Stop(true);
    } else {
        for (auto& channel : lists[SOUND_GROUP_VOICE])
            if (channel)
                channel->Stop(true);
    }
}

float CSoundConfig::SliderValue(int32_t pointer_x, int32_t slider_x)
{
    return static_cast<float>(std::clamp(pointer_x - slider_x - KNOB_HALF, 0, SLIDER_RANGE)) /
           static_cast<float>(SLIDER_RANGE);
}

void CSoundConfig::DrawSwitch(int32_t group, int32_t state)
{
    ILayer* panel = LayerOfSprite(m_panel);
    ILayer* sheet = LayerOfSprite(m_sheet);
    const int32_t* on = EnableField(group);
    if (panel == nullptr || sheet == nullptr || on == nullptr)
        return;
    const POINT at = SwitchAt(group);
    panel->Blt(at.x, at.y, SWITCH_W, SWITCH_H, sheet, 196, 758 + SWITCH_H * (state - 3 * (*on != 0 ? 1 : 0)), 1);
}

void CSoundConfig::DrawClickEnd(int32_t state)
{
    ILayer* panel = LayerOfSprite(m_panel);
    ILayer* sheet = LayerOfSprite(m_sheet);
    if (panel != nullptr && sheet != nullptr)
        panel->Blt(1464, 338, SWITCH_W, SWITCH_H, sheet, 196,
                   758 + SWITCH_H * (state - 3 * (VoiceCickEnd != 0 ? 1 : 0)), 1);
}

void CSoundConfig::DrawSlider(int32_t group, float value, int32_t state, bool present)
{
    ILayer* panel = LayerOfSprite(m_panel);
    ILayer* sheet = LayerOfSprite(m_sheet);
    ILayer* cover = LayerOfSprite(m_cover);
    const int32_t* on = EnableField(group);
    if (panel == nullptr || sheet == nullptr || on == nullptr)
        return;
    const bool character = group >= FIRST_CHARACTER;
    const POINT at = SliderAt(group);
    const int32_t number_x = at.x + (character ? 260 : 202);
    const int32_t number_y = at.y - (character ? 46 : 38);
    {
        LiveDrawLock lock;
        panel->SetAlphaRect(at.x, at.y, 612, KNOB_H, 0);
        panel->SetAlphaRect(number_x, number_y, 92, DIGIT_H, 0);
        if (cover != nullptr && m_cover_copy)
            cover->Blt(at.x + 14, at.y + 11, 586, 34, SpriteLayerOf(m_cover_copy.get()), at.x + 14, at.y + 11, 1);
        if (*on != 0) {
            panel->Blt(at.x + static_cast<int32_t>(SLIDER_RANGE * value), at.y, KNOB_W, KNOB_H, sheet, 144,
                       632 + KNOB_H * state, 1);
            const int32_t percent = static_cast<int32_t>(value * 100);
            const auto digit = [&](int32_t place, int32_t d) {
                const int32_t x = number_x + DIGIT_W * place;
                if (character)
                    panel->BltOver(x, number_y, DIGIT_W, DIGIT_H, sheet, 340 + DIGIT_W * d, 632);
                else
                    panel->Blt(x, number_y, DIGIT_W, DIGIT_H, sheet, 340 + DIGIT_W * d, 632, 1);
            };
            if (percent >= 100) {
                digit(0, 1);
                digit(1, 0);
                digit(2, 0);
            } else {
                if (percent >= 10)
                    digit(1, percent / 10);
                digit(2, percent % 10);
            }
            // The per-cent sign sits in the sheet just after the nine.
            digit(3, 10);
        }
    }
    RedrawPanel(present);
}

void CSoundConfig::RedrawPanel(bool present)
{
    m_scroll_offset = static_cast<int32_t>(m_scroll_ratio * SOUND_SCROLL_RANGE);
    ILayer* view = ViewTarget();
    ILayer* mask = MaskTarget();
    ILayer* work = WorkLayer();
    if (view != nullptr && mask != nullptr && work != nullptr) {
        LiveDrawLock lock;
        view->Blt(0, WINDOW_TOP, SOUND_PANEL_WIDTH, WINDOW_HEIGHT, work, 0, WINDOW_TOP, 1);
        if (ILayer* cover = LayerOfSprite(m_cover))
            view->BltAlpha(0, WINDOW_TOP, SOUND_PANEL_WIDTH, WINDOW_HEIGHT, cover, 0, m_scroll_offset);
        if (ILayer* panel = LayerOfSprite(m_panel))
            mask->Blt(0, WINDOW_TOP, SOUND_PANEL_WIDTH, WINDOW_HEIGHT, panel, 0, m_scroll_offset, 1);
        for (CSpriteLayer* sprite : {ViewLayer(), MaskLayer()})
            if (sprite != nullptr)
                sprite->Invalidate(1, *sprite->GetRect());
    }
    if (present)
        RedrawFrameNow();
}

void CSoundConfig::DrawScrollThumb(int32_t state, bool present)
{
    ILayer* mask = MaskTarget();
    ILayer* sheet = LayerOfSprite(m_sheet);
    if (mask != nullptr && sheet != nullptr) {
        LiveDrawLock lock;
        mask->ClearRect(TRACK_X, TRACK_Y, TRACK_W, TRACK_H);
        mask->Blt(TRACK_X, TRACK_Y + static_cast<int32_t>(m_scroll_ratio * THUMB_RANGE), TRACK_W, THUMB_H, sheet,
                  TRACK_W * state, 632, 1);
    }
    RedrawPanel(present);
}

void CSoundConfig::DrawFixed(int32_t id, int32_t state)
{
    ILayer* mask = MaskTarget();
    ILayer* sheet = LayerOfSprite(m_sheet);
    if (mask == nullptr || sheet == nullptr)
        return;
    LiveDrawLock lock;
    switch (id) {
    case 0x0D00:
        mask->Blt(1640, 37, ARROW_W, ARROW_H, sheet, 96, 632 + ARROW_H * (m_scroll_offset == 0 ? 3 : state), 1);
        break;
    case 0x0D01:
        mask->Blt(1640, 956, ARROW_W, ARROW_H, sheet, 96,
                  804 + ARROW_H * (m_scroll_offset == SOUND_SCROLL_RANGE ? 3 : state), 1);
        break;
    case 0x0E00:
    case 0x0E01: {
        const int32_t tab = GetMenuTabState(id);
        mask->Blt(1720, id == 0x0E00 ? 320 : 502, TAB, TAB, sheet, id == 0x0E00 ? 0 : TAB, TAB * (tab ? tab : state), 1);
        break;
    }
    case 0x0F00: mask->Blt(1720, 684, TAB, TAB, sheet, 314, TAB * state, 1); break;
    case 0x1000: mask->Blt(1720, 904, TAB, TAB, sheet, 472, TAB * state, 1); break;
    default: break;
    }
}

void CSoundConfig::DrawGroupSwitch(int32_t g, int32_t state)
{
    DrawSwitch(g, state);
}

void CSoundConfig::DrawCharSwitch(int32_t k, int32_t state)
{
    DrawSwitch(FIRST_CHARACTER + k, state);
}

void CSoundConfig::DrawGroupSlider(int32_t g, float value, int32_t state, bool present)
{
    DrawSlider(g, value, state, present);
}

void CSoundConfig::DrawCharSlider(int32_t k, float value, int32_t state, bool present)
{
    DrawSlider(FIRST_CHARACTER + k, value, state, present);
}

void CSoundConfig::DragGroupSlider(int32_t g)
{
    DragSlider(g);
}

void CSoundConfig::DragCharSlider(int32_t k)
{
    DragSlider(FIRST_CHARACTER + k);
}

void CSoundConfig::DrawControl(int32_t id, int32_t state)
{
    if (id == -1)
        return;
    const int32_t group = SoundGroupOf(id);
    const int32_t k = group - FIRST_CHARACTER;
    if (const float* volume = VolumeField(group); volume != nullptr && IsSlider(id)) {
        if (k < 0)
            DrawGroupSlider(group, *volume, state, false);
        else
            DrawCharSlider(k, *volume, state, false);
    } else if (group >= 0) {
        if (k < 0)
            DrawGroupSwitch(group, state);
        else
            DrawCharSwitch(k, state);
    } else if (id == CLICK_END_ID) {
        DrawClickEnd(state);
        RedrawPanel(false);
    } else if (id == 0x0D02) {
        // The help line first: the thumb's frame shows it, as every control's frame shows its own.
        DrawHelp(id);
        DrawScrollThumb(state, true);
        return;
    } else {
        DrawFixed(id, state);
    }
    DrawHelp(id);
    RedrawPanel(true);
}

void CSoundConfig::DrawHelp(int32_t id)
{
    CStringUTF8 text;
    if (id != -1 && GameWork->m_system_language) {
        if (const int32_t number = sound_config_layout::HelpTextId(id >> 8, id & 0xFF); number != 0)
            text = GameWork->m_system_language->GetText(number);
    }
    DrawHelpLine(LayerOfSprite(m_help), text);
}

void CSoundConfig::DrawAll()
{
    if (ILayer* mask = MaskTarget())
        mask->SetAlphaRect(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, 0);
    HitAreas.Load("config01.area");
    DrawClickEnd(0);
    RedrawPanel(false);
    for (int32_t id : {0x0E00, 0x0E01, 0x0F00, 0x1000})
        DrawFixed(id, 0);
    for (int32_t group = 0; group < FIRST_CHARACTER + CHARACTERS; ++group) {
        DrawSwitch(group, 0);
        DrawSlider(group, *VolumeField(group), 0, false);
    }
    DrawFixed(0x0D00, 0);
    DrawFixed(0x0D01, 0);
    DrawScrollThumb(0, false);
    if (MaskImageLayer() != nullptr)
        MaskImageLayer()->SetVisibleFlag(1);
    if (ViewImageLayer() != nullptr)
        ViewImageLayer()->SetVisibleFlag(1);
}

void CSoundConfig::OnOpen()
{
    if (IMouse* mouse = InputView->GetMouse()) {
        mouse->SetCursorShape(-1);
        mouse->SetWheel(0);
    }
    m_hovered = -1;
    Running = 1;
    CurrentPage = MENU_PAGE_SOUND;
    KeepView = 0;
    DrawToImage = 1;
    m_scroll_ratio = 0;
    m_scroll_offset = 0;
    if (std::unique_ptr<CSprite> background = LoadFirst({"sound_bg.akb"}); background && ViewImageLayer()) {
        ViewImageLayer()->Blt(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, SpriteLayerOf(background.get()), 0, 0, 1);
        WorkLayer()->Blt(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, ViewImageLayer(), 0, 0, 1);
    }
    if (ILayer* cover = LayerOfSprite(m_cover); cover != nullptr && m_cover_copy)
        SpriteLayerOf(m_cover_copy.get())->Blt(0, 0, SOUND_PANEL_WIDTH, SOUND_PANEL_HEIGHT, cover, 0, 0, 1);
    DrawAll();
    OpenTransition(nullptr);
    DrawToImage = 0;
}

void CSoundConfig::OnClose()
{
    CloseTransition(nullptr);
    // The panel and the cover's copy are drawn whole on each open: closed, their pixels go back
    // to the system.
    ClearSpriteLayers({m_cover_copy.get(), m_panel.get()});
    CONFIG_STATE::Load();
    ApplyVolume(SoundEnable, 0, MasterVolume);
    ISystemParts::OnClose();
}

int32_t CSoundConfig::HoverTest()
{
    const POINT at = PointerOnScreen();
    if (const HitArea* fixed = HitAreas.HitTest(at.x, at.y); fixed != nullptr && fixed->Id >= 0x0D00)
        return static_cast<int32_t>(fixed->Id);
    const HitArea* panel = HitAreas.HitTest(at.x, at.y + m_scroll_offset);
    return panel != nullptr && panel->Id < 0x0D00 ? static_cast<int32_t>(panel->Id) : -1;
}

void CSoundConfig::Update()
{
    TrackControlHover(
        m_hovered, HoverTest(), [this](int32_t id, int32_t state) { DrawControl(id, state); },
        [this] {
            DrawHelp(-1);
            RedrawFrameNow();
        });
}

void CSoundConfig::Press(int32_t id)
{
    DrawControl(id, 2);
    ISelect::OnDecide();
}

void CSoundConfig::DragSlider(int32_t group)
{
    m_sample_played = 0;
    const int32_t slider_x = SliderAt(group).x;
    float value = SliderValue(PointerOnScreen().x, slider_x);
    const auto show = [&] {
        DrawSlider(group, value, 2, true);
        ApplyVolume(1, group, value);
        PlaySample(group);
    };
    show();
    while ((IsInputTriggered(INPUT_OK) || IsInputTriggered(INPUT_DRAG)) && PumpFrame() != 0) {
        const float now = SliderValue(PointerOnScreen().x, slider_x);
        if (now != value) {
            value = now;
            show();
        }
    }
    *VolumeField(group) = value;
    ApplyVolume(1, group, value);
    DrawSlider(group, value, group >= FIRST_CHARACTER ? 2 : 0, true);
    if (m_sample_played != 0)
        StopSample(group);
}

void CSoundConfig::Scrolled()
{
    DrawFixed(0x0D00, 0);
    DrawFixed(0x0D01, 0);
    DrawScrollThumb(0, false);
    RedrawPanel(true);
}

void CSoundConfig::DragScrollBar()
{
    POINT at = PointerOnScreen();
    const int32_t top = TRACK_Y + static_cast<int32_t>(m_scroll_ratio * THUMB_RANGE);
    const auto ratio = [](int32_t y) {
        return static_cast<float>(std::clamp(y - THUMB_POINTER_TOP, 0, THUMB_RANGE)) / THUMB_RANGE;
    };
    if (at.x < TRACK_X || at.x >= TRACK_X + TRACK_W || at.y < top || at.y >= top + THUMB_H)
        m_scroll_ratio = ratio(at.y);
    DrawScrollThumb(2, true);
    int32_t last_y = at.y;
    while ((IsInputTriggered(INPUT_OK) || IsInputTriggered(INPUT_DRAG)) && PumpFrame() != 0) {
        at = PointerOnScreen();
        if (at.y == last_y)
            continue;
        last_y = at.y;
        m_scroll_ratio = ratio(at.y);
        DrawScrollThumb(2, true);
    }
    Scrolled();
}

void CSoundConfig::OnDecide()
{
    const int32_t id = m_hovered;
    const int32_t group = SoundGroupOf(id);
    if (group >= 0 && IsSlider(id)) {
        if (*EnableField(group) != 0 && group < FIRST_CHARACTER)
            DragGroupSlider(group);
        else if (*EnableField(group) != 0)
            DragCharSlider(group - FIRST_CHARACTER);
        if (group < FIRST_CHARACTER)
            ApplyVolume(*EnableField(group), group, *VolumeField(group));
    } else if (group >= 0) {
        Press(id);
        int32_t& on = *EnableField(group);
        on = on != 0 ? 0 : 1;
        DrawSwitch(group, 1);
        DrawSlider(group, *VolumeField(group), 0, true);
        if (group < FIRST_CHARACTER)
            ApplyVolume(on, group, *VolumeField(group));
    } else if (id == CLICK_END_ID) {
        Press(id);
        VoiceCickEnd = VoiceCickEnd != 0 ? 0 : 1;
        DrawClickEnd(0);
        RedrawPanel(true);
    } else if (id == 0x0D00 || id == 0x0D01) {
        if (id == 0x0D00 ? m_scroll_offset > 0 : m_scroll_offset < SOUND_SCROLL_RANGE) {
            Press(id);
            m_scroll_ratio = id == 0x0D00 ? std::max(0.0f, m_scroll_ratio - ARROW_STEP)
                                          : std::min(1.0f, m_scroll_ratio + ARROW_STEP);
            m_scroll_offset = static_cast<int32_t>(m_scroll_ratio * SOUND_SCROLL_RANGE);
            DrawControl(id, 0);
            Scrolled();
        }
    } else if (id == 0x0D02) {
        DragScrollBar();
    } else if (id == 0x0E00 && GetMenuTabState(id) != TAB_DISABLED) {
        KeepView = 1;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        Press(id);
        Result = ScriptValue::FromInteger(MENU_PAGE_CONFIG);
        Running = 0;
        Save();
    } else if (id == 0x0F00) {
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        Press(id);
        SetSoundDefaults();
        ApplyVolume(SoundEnable, 0, MasterVolume);
        ApplyVolume(MusicEnable, 1, MusicVolume);
        for (int32_t g = 0; g < FIRST_CHARACTER + CHARACTERS; ++g) {
            DrawSwitch(g, 0);
            DrawSlider(g, *VolumeField(g), 0, false);
        }
        DrawClickEnd(0);
        RedrawPanel(true);
        m_hovered = -1;
    } else if (id == 0x1000) {
        KeepView = 0;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        Press(id);
        Result = ScriptValue::FromInteger(-1);
        Running = 0;
        Save();
        SetConfigTopPage(MENU_PAGE_SOUND);
    }
    ISelect::OnDecide();
}

void CSoundConfig::OnCancel()
{
    PlayCancelSound(SCREEN_SOUND_CHANNEL);
    Save();
    SetConfigTopPage(MENU_PAGE_SOUND);
    Result = ScriptValue::FromInteger(-1);
    Running = 0;
    KeepView = 0;
    ISelect::OnCancel();
}

void CSoundConfig::OnDrag()
{
    const int32_t group = SoundGroupOf(m_hovered);
    if (group >= 0) {
        if (IsSlider(m_hovered) && *EnableField(group) != 0 && group < FIRST_CHARACTER)
            DragGroupSlider(group);
        else if (IsSlider(m_hovered) && *EnableField(group) != 0)
            DragCharSlider(group - FIRST_CHARACTER);
        if (group < FIRST_CHARACTER)
            ApplyVolume(*EnableField(group), group, *VolumeField(group));
        if (group < FIRST_CHARACTER || IsSlider(m_hovered))
            ISelect::OnDecide();
    } else if ((m_hovered >> 8) == 13) {
        DragScrollBar();
    }
}

void CSoundConfig::OnMouseWheel(int32_t count)
{
    if (count != 0) {
        const float ratio = std::max(std::min(m_scroll_ratio - static_cast<float>(count) * WHEEL_STEP, 1.0f), 0.0f);
        if (ratio != m_scroll_ratio) {
            m_scroll_ratio = ratio;
            m_scroll_offset = static_cast<int32_t>(m_scroll_ratio * SOUND_SCROLL_RANGE);
            Scrolled();
        }
    }
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
}

void CSoundConfig::MoveToControl(int32_t group, int32_t item)
{
    const auto id = static_cast<uint32_t>(group * 256 + item);
    if (group > 12) {
        HitAreas.MoveCursorToArea(id);
        return;
    }
    if (const HitArea* area = HitAreas.Find(id))
        WarpToVisiblePart(*area, m_scroll_offset, RECT{0, WINDOW_TOP, SOUND_PANEL_WIDTH, 1001});
}

void CSoundConfig::MoveToSlider(int32_t group)
{
    const POINT at = SliderAt(group);
    const int32_t x = at.x + static_cast<int32_t>(SLIDER_RANGE * *VolumeField(group)) + KNOB_HALF;
    const int32_t y = at.y + WINDOW_TOP - m_scroll_offset + KNOB_H / 2;
    if (y >= WINDOW_TOP && y <= WINDOW_TOP + WINDOW_HEIGHT)
        WarpCursorTo(POINT{x, y});
}

void CSoundConfig::MoveToNearestControl(int32_t id)
{
    const HitArea* source = HitAreas.Find(static_cast<uint32_t>(id));
    if (source == nullptr)
        return;
    const int32_t sx = (source->Left + source->Right) / 2;
    const int32_t sy = (source->Top + source->Bottom) / 2;
    const int32_t best = NearestControl(POINT{sx, sy}, m_scroll_offset, 7, 10);
    if (best == -1)
        return;
    if (IsSlider(best) && SoundGroupOf(best) >= 0)
        MoveToSlider(SoundGroupOf(best));
    else
        MoveToControl(best >> 8, best & 0xFF);
}

int32_t CSoundConfig::OnArrowKey(uint32_t scan_code)
{
    const int32_t target = KeyTarget(m_hovered, scan_code);
    if (target == -2)
        MoveToNearestControl(m_hovered);
    else if (target >= 0 && IsSlider(target) && SoundGroupOf(target) >= 0)
        MoveToSlider(SoundGroupOf(target));
    else if (target >= 0)
        MoveToControl(target >> 8, target & 0xFF);
    Update();
    WaitInputRelease(scan_code);
    return 0;
}
