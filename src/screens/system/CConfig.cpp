#include "screens/system/CConfig.h"

#include <algorithm>
#include <cmath>

#include "foundation/CInputView.h"
#include "foundation/CString.h"
#include "foundation/IMouse.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/system/ConfigLayout.h"

using namespace config_layout;

namespace {

inline constexpr int32_t PAGE_PRIORITY = 113;
inline constexpr float ARROW_STEP = 0.1f;
inline constexpr float WHEEL_STEP = 0.05f;
// The last page group, and the group beyond the fixed ones that lies on the page.
inline constexpr int32_t FIRST_FIXED_ID = 0x0D00;
inline constexpr int32_t MAP_SPEED_GROUP = 18;

bool IsPageControl(int32_t id)
{
    return id < FIRST_FIXED_ID || (id >> 8) == MAP_SPEED_GROUP;
}

float Clamped(int32_t value, int32_t range)
{
    return static_cast<float>(std::clamp(value, 0, range)) / static_cast<float>(range);
}

// Where a cursor key sends the pointer: nowhere, to a control, to a slider's knob or to the
// page control nearest to the one hovered.
struct KeyMove
{
    enum Kind
    {
        NONE,
        CONTROL,
        KNOB,
        NEAREST
    } kind = NONE;
    int32_t group = 0;
    int32_t item = 0;
};

KeyMove To(int32_t group, int32_t item)
{
    return {KeyMove::CONTROL, group, item};
}

KeyMove Knob(int32_t group, int32_t item = 1)
{
    return {KeyMove::KNOB, group, item};
}

constexpr KeyMove NOWHERE{};
constexpr KeyMove NEAREST{KeyMove::NEAREST, 0, 0};

} // namespace

CConfig::CConfig() = default;

CConfig::~CConfig()
{
    CConfig::ReleaseParts();
}

int32_t* CConfig::SwitchField(int32_t group, int32_t item)
{
    switch (group) {
    case 0: return item == 0 ? &MesWndShowSpeedEnable : nullptr;
    case 1: return &MesWndKutoutenWait;
    case 2: return &AutoSaveEnable;
    case 3: return &MesHelpEnable;
    case 4: return item == 0 ? &OneMes : nullptr;
    case 5: return &SkipContinueEnable;
    case 6: return item == 0 ? &AutoRead : nullptr;
    case 7: return &AutoContinueEnable;
    case 9: return &MesWndIsMove;
    case 11: return item >= 0 && item < CONFIG_DIALOG_COUNT ? &DialogEnable[item] : nullptr;
    case 17: return &GameMode;
    default: return nullptr;
    }
}

float* CConfig::SpeedField(int32_t group)
{
    return group == 0 ? &MesWndSpeed : group == 4 ? &OneMesSpeed : group == 6 ? &AutoMesSpeed : nullptr;
}

float* CConfig::ColourField(int32_t item)
{
    switch (item) {
    case 0: return &MesWndAlpha;
    case 1: return &MesWndRed;
    case 2: return &MesWndGreen;
    case 3: return &MesWndBlue;
    default: return nullptr;
    }
}

bool CConfig::SliderOn(int32_t group)
{
    const int32_t* field = SwitchField(group, 0);
    return SpeedField(group) != nullptr && field != nullptr && *field != 0;
}

int32_t CConfig::CreateParts()
{
    if (ISystemParts::CreateParts() == 0)
        return 0;
    m_help.reset(CreateSprite(0, 0, HELP_WIDTH, HELP_HEIGHT, -1, LAYER_KIND_MEMORY, 0));
    m_page.reset(CreateSprite(0, 0, CONFIG_PAGE_WIDTH, CONFIG_PAGE_HEIGHT, PAGE_PRIORITY, LAYER_KIND_TEXTURE, 0));
    if (!m_help || !m_page || SpriteLayerOf(m_help.get()) == nullptr || SpriteLayerOf(m_page.get()) == nullptr)
        return 0;
    m_parts = LoadSheetIfPresent("systemsound_p.akb");
    m_cover.reset(LoadPictureIfPresent("systemcover.akb"));
    return 1;
}

void CConfig::ReleaseParts()
{
    ISystemParts::ReleaseParts();
    m_parts.reset();
    m_cover.reset();
    m_help.reset();
    m_page.reset();
}

ScriptValue* CConfig::Run(ScriptValue* out)
{
    EnsureParts();
    CONFIG_STATE::Load();
    return ISystemParts::Run(out);
}

void CConfig::Show()
{
    OpenTransition(nullptr);
}

void CConfig::Hide()
{
    if (ILayer* mask = MaskTarget())
        mask->SetAlphaRect(SAMPLE_SCREEN_LEFT, SAMPLE_SCREEN_TOP, SAMPLE_BOX_WIDTH, SAMPLE_BOX_HEIGHT, 0);
    CloseTransition(nullptr);
}

void CConfig::OnClose()
{
    Hide();
    CONFIG_STATE::Load();
    ISystemParts::OnClose();
    // Each open draws the page's controls again: closed, its pixels go back to the system.
    ClearSpriteLayers({m_page.get()});
}

void CConfig::OnOpen()
{
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetCursorShape(-1);
    m_hovered = -1;
    Running = 1;
    CurrentPage = MENU_PAGE_CONFIG;
    KeepView = 0;
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
    DrawToImage = 1;
    if (std::unique_ptr<CSprite> background{LoadPictureIfPresent("system_bg.akb")}) {
        if (ILayer* picture = SpriteLayerOf(background.get()); picture != nullptr && ViewImageLayer() != nullptr) {
            ViewImageLayer()->Blt(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, picture, 0, 0, 1);
            WorkLayer()->Blt(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, ViewImageLayer(), 0, 0, 1);
        }
    }
    m_scroll_position = 0;
    m_scroll_offset = 0;
    BuildPage();
    Show();
    DrawToImage = 0;
    m_sample_index = 0;
    m_sample_next = GetEffectTime();
}

int32_t CConfig::HoverTest()
{
    const POINT at = PointerOnScreen();
    if (const HitArea* fixed = HitAreas.HitTest(at.x, at.y);
        fixed != nullptr && !IsPageControl(static_cast<int32_t>(fixed->Id)))
        return static_cast<int32_t>(fixed->Id);
    const HitArea* page = HitAreas.HitTest(at.x, at.y + m_scroll_offset);
    return page != nullptr && IsPageControl(static_cast<int32_t>(page->Id)) ? static_cast<int32_t>(page->Id) : -1;
}

void CConfig::Update()
{
    if (MesWndShowSpeedEnable != 0)
        TickMessageSample();
    TrackControlHover(
        m_hovered, HoverTest(), [this](int32_t id, int32_t state) { DrawControl(id, state); },
        [this] {
            DrawHelp(-1);
            Present();
        });
}

void CConfig::Press(int32_t id)
{
    DrawControl(id, 2);
    ISelect::OnDecide();
}

void CConfig::Leave(int32_t result, int32_t keep_view)
{
    Result = ScriptValue::FromInteger(result);
    Running = 0;
    KeepView = keep_view;
}

void CConfig::OnDecide()
{
    if (m_hovered != -1)
        Decide(m_hovered);
    ISelect::OnDecide();
}

void CConfig::Decide(int32_t id)
{
    const int32_t group = id >> 8;
    const int32_t item = id & 0xFF;
    const bool speed_group = group == 0 || group == 4 || group == 6;
    if (int32_t* field = SwitchField(group, item)) {
        Press(id);
        *field = *field == 0 ? 1 : 0;
        DrawControl(id, 0);
        if (speed_group) {
            DrawSpeedSlider(group, *SpeedField(group), 0);
            if (group == 0 && *field != 0) {
                ClearSampleBox();
                m_sample_index = 0;
                m_sample_cell = 0;
            } else if (group == 0) {
                DrawSampleLabel();
            }
            RefreshView(true);
        }
        return;
    }
    switch (group) {
    case 0:
    case 4:
    case 6:
        if (item == 1 && SliderOn(group))
            *SpeedField(group) = DragSpeedSlider(group);
        return;
    case 8:
        DragColorSlider(item);
        return;
    case 10:
    case MAP_SPEED_GROUP: {
        int32_t& stored = group == 10 ? DisplayEffectSpeed : MapSpeed;
        if (item == stored || item > 2)
            return;
        DrawControl(id, 2);
        stored = item;
        for (int32_t radio = 0; radio < 3; ++radio)
            DrawRadio(group, radio, 0);
        RefreshView(true);
        return;
    }
    case 12: {
        if (item > 5)
            return;
        Press(id);
        const int32_t previous = System;
        System = item;
        DrawSystemCell(previous, 0);
        DrawSystemCell(item, 0);
        RefreshView(true);
        return;
    }
    case 13:
        if (item == 2) {
            DragScrollThumb();
            return;
        }
        if (item > 1 || m_scroll_offset == (item == 0 ? 0 : CONFIG_SCROLL_RANGE))
            return;
        Press(id);
        SetScroll(item == 0 ? std::max(0.0f, m_scroll_position - ARROW_STEP)
                            : std::min(1.0f, m_scroll_position + ARROW_STEP));
        DrawControl(id, 0);
        DrawScrollBar();
        RefreshView(true);
        return;
    case 14:
        if (item != 1 || GetMenuTabState(id) == TAB_DISABLED)
            return;
        KeepView = 1;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        Press(id);
        Leave(MENU_PAGE_SOUND, 1);
        Save();
        return;
    case 15:
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        Press(id);
        MesWndAlpha = 0.37f;
        MesWndRed = MesWndGreen = MesWndBlue = 0;
        MesWndShowSpeedEnable = 1;
        MesWndSpeed = 0.8f;
        MesWndEnable = 1;
        OneMes = 0;
        AutoRead = 0;
        OneMesSpeed = 1.0f;
        AutoMesSpeed = 0.5f;
        AutoVoiceWait = 0;
        MesWndIsAutoMove = 0;
        MesWndKutoutenWait = 1;
        SceneSkip = 0;
        AutoSaveEnable = 1;
        AutoContinueEnable = 1;
        SkipContinueEnable = 1;
        MesHelpEnable = 1;
        MesWndIsMove = 1;
        MapSpeed = 1;
        DisplayEffectSpeed = 0;
        System = 0;
        GameMode = 1;
        for (int32_t& dialog : DialogEnable)
            dialog = GetConfigDefaultValue(72);
        SetSoundDefaults();
        RedrawPage();
        Present();
        m_hovered = -1;
        return;
    case 16:
        KeepView = 0;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        Press(id);
        Leave(-1, 0);
        Save();
        SetConfigTopPage(0);
        return;
    default:
        return;
    }
}

void CConfig::OnCancel()
{
    PlayCancelSound(SCREEN_SOUND_CHANNEL);
    Save();
    SetConfigTopPage(0);
    Leave(-1, 0);
    ISelect::OnCancel();
}

void CConfig::SetScroll(float position)
{
    m_scroll_position = std::clamp(position, 0.0f, 1.0f);
    m_scroll_offset = static_cast<int32_t>(m_scroll_position * CONFIG_SCROLL_RANGE);
}

float CConfig::DragSpeedSlider(int32_t group)
{
    float value = Clamped(PointerOnScreen().x - SPEED_POINTER_LEFT, SPEED_RANGE);
    DrawSpeedSlider(group, value, 2);
    RefreshView(true);
    while (IsInputTriggered(INPUT_OK) && PumpFrame() != 0) {
        const float now = Clamped(PointerOnScreen().x - SPEED_POINTER_LEFT, SPEED_RANGE);
        if (now != value) {
            value = now;
            DrawSpeedSlider(group, value, 2);
            RefreshView(true);
        }
        TickMessageSample();
    }
    DrawSpeedSlider(group, value, 0);
    RefreshView(true);
    return value;
}

void CConfig::DragColorSlider(int32_t item)
{
    float* field = ColourField(item);
    if (field == nullptr)
        return;
    const int32_t left = ColourTrackAt(item).x + WINDOW_LEFT;
    float value = -1;
    do {
        const float now = Clamped(PointerOnScreen().x - left - 24, COLOUR_RANGE);
        if (now != value) {
            value = now;
            *field = value;
            DrawColorSlider(item, 2);
            DrawSwatch();
            RefreshView(true);
        }
    } while ((IsInputTriggered(INPUT_OK) || IsInputTriggered(INPUT_DRAG)) && PumpFrame() != 0);
    DrawColorSlider(item, 0);
    RefreshView(true);
}

void CConfig::DragScrollThumb()
{
    POINT at = PointerOnScreen();
    const int32_t top = ThumbTop(m_scroll_position);
    const bool on_thumb = at.x >= TRACK_X && at.x < TRACK_X + TRACK_WIDTH && at.y >= top && at.y < top + THUMB_HEIGHT;
    if (!on_thumb) {
        SetScroll(Clamped(at.y - THUMB_POINTER_TOP, THUMB_RANGE));
        DrawScrollThumb(2, false);
        RefreshView(true);
    }
    int32_t last_y = at.y;
    while ((IsInputTriggered(INPUT_OK) || IsInputTriggered(INPUT_DRAG)) && PumpFrame() != 0) {
        at = PointerOnScreen();
        if (at.y == last_y)
            continue;
        last_y = at.y;
        SetScroll(Clamped(at.y - THUMB_POINTER_TOP, THUMB_RANGE));
        DrawScrollThumb(2, false);
        RefreshView(true);
    }
    DrawScrollBar();
    DrawScrollThumb(0, true);
}

void CConfig::OnDrag()
{
    const int32_t group = m_hovered >> 8;
    const int32_t item = m_hovered & 0xFF;
    if (m_hovered == -1)
        return;
    if (group == 8)
        DragColorSlider(item);
    else if ((group == 0 || group == 4 || group == 6) && item == 1) {
        const float value = DragSpeedSlider(group);
        if (SliderOn(group))
            *SpeedField(group) = value;
    } else if (group == 13)
        DragScrollThumb();
}

void CConfig::OnMouseWheel(int32_t count)
{
    if (count != 0) {
        const float before = m_scroll_position;
        SetScroll(m_scroll_position - static_cast<float>(count) * WHEEL_STEP);
        if (m_scroll_position != before) {
            DrawScrollBar();
            RefreshView(true);
        }
    }
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
}

void CConfig::MoveCursorToControl(int32_t group, int32_t item)
{
    const auto id = static_cast<uint32_t>(group * 256 + item);
    if (!IsPageControl(static_cast<int32_t>(id))) {
        HitAreas.MoveCursorToArea(id);
        return;
    }
    if (const HitArea* area = HitAreas.Find(id))
        WarpToVisiblePart(*area, m_scroll_offset,
                          RECT{WINDOW_LEFT, WINDOW_TOP, WINDOW_LEFT + WINDOW_VIEW_WIDTH, WINDOW_TOP + WINDOW_HEIGHT});
}

void CConfig::MoveCursorToKnob(int32_t group, int32_t item)
{
    POINT at{};
    if (group == 8) {
        const float* value = ColourField(item);
        if (value == nullptr)
            return;
        const POINT track = ColourTrackAt(item);
        at = {track.x + WINDOW_LEFT + static_cast<int32_t>(*value * COLOUR_RANGE) + KNOB_WIDTH / 2,
              track.y + WINDOW_TOP - m_scroll_offset + KNOB_HEIGHT / 2};
    } else if (const float* value = SpeedField(group)) {
        at = {SPEED_TRACK_LEFT + WINDOW_LEFT + static_cast<int32_t>(*value * SPEED_RANGE) + KNOB_WIDTH / 2,
              SpeedSliderTop(group) + WINDOW_TOP - m_scroll_offset + KNOB_HEIGHT / 2};
    } else {
        return;
    }
    if (at.y >= 0 && at.y <= LOGICAL_HEIGHT)
        WarpCursorTo(at);
}

void CConfig::MoveCursorToNearest(int32_t from)
{
    const HitArea* source = HitAreas.Find(static_cast<uint32_t>(from));
    if (source == nullptr)
        return;
    const int32_t sx = (source->Left + source->Right) / 2;
    const int32_t sy = (source->Top + source->Bottom) / 2 + ((from >> 8) == 17 ? 124 : 0);
    const int32_t best_id = NearestControl(POINT{sx, sy}, m_scroll_offset, 12, 8);
    if (best_id == -1)
        return;
    const int32_t group = best_id >> 8;
    const int32_t item = best_id & 0xFF;
    if ((group == 0 || group == 4 || group == 6) && item == 1) {
        if (SliderOn(group))
            MoveCursorToKnob(group, 1);
        else
            MoveCursorToControl(group, 0);
    } else if (group == 8) {
        MoveCursorToKnob(8, item);
    } else {
        MoveCursorToControl(group, item);
    }
}

namespace {

KeyMove UpMove(int32_t g, int32_t i, bool s0, bool s4, bool s6)
{
    switch (g) {
    case 0: return To(10, 0);
    case 1: return To(0, 0);
    case 2: return To(5, 0);
    case 3: return To(9, 0);
    case 4: return i == 1 && s4 && s0 ? Knob(0) : To(1, 0);
    case 5: return To(7, 0);
    case 6: return i == 1 && s6 && s4 ? Knob(4) : To(4, 0);
    case 7: return To(18, 0);
    case 8: return i == 0 ? To(6, 0) : i == 1 ? To(3, 0) : Knob(8, i - 2);
    case 9: return To(2, 0);
    case 10: return To(17, 0);
    case 11: return i == 0 ? Knob(8, 2) : i == 5 ? Knob(8, 3) : To(11, i - 1);
    case 12: return i == 0 ? To(11, 4) : i == 1 ? To(11, 9) : To(12, i - 2);
    case 13: return To(13, 0);
    case 14: return To(14, 0);
    case 15: return To(14, 1);
    case 16: return To(15, 0);
    default: return NOWHERE;
    }
}

KeyMove DownMove(int32_t g, int32_t i, bool s0, bool s4, bool s6)
{
    switch (g) {
    case 0: return i == 1 && s0 && s4 ? Knob(4) : To(1, 0);
    case 1: return To(4, 0);
    case 2: return To(9, 0);
    case 3: return Knob(8, 1);
    case 4: return i == 1 && s4 && s6 ? Knob(6) : To(6, 0);
    case 5: return To(2, 0);
    case 6: return Knob(8, 0);
    case 7: return To(5, 0);
    case 8: return i <= 1 ? Knob(8, i + 2) : i == 2 ? To(11, 0) : To(11, 5);
    case 9: return To(3, 0);
    case 10: return To(0, 0);
    case 11: return i == 4 ? To(12, 0) : i == 9 ? To(12, 1) : To(11, i + 1);
    case 12: return i >= 4 ? NOWHERE : To(12, i + 2);
    case 13: return To(13, 1);
    case 14: return i == 0 ? To(14, 1) : To(15, 0);
    case 15: return To(16, 0);
    case 17: return NEAREST;
    case 18: return To(7, 0);
    default: return NOWHERE;
    }
}

KeyMove LeftMove(int32_t g, int32_t i, bool s0, bool s4, bool s6)
{
    switch (g) {
    case 0: return i != 0 ? NOWHERE : s0 ? Knob(0) : To(0, 0);
    case 2: return To(4, 0);
    case 3: return To(6, 0);
    case 4: return i != 0 ? NOWHERE : s4 ? Knob(4) : To(4, 0);
    case 5: return To(1, 0);
    case 6: return i != 0 ? NOWHERE : s6 ? Knob(6) : To(6, 0);
    case 7: return To(0, 0);
    case 8: return i % 2 == 1 ? Knob(8, i - 1) : NOWHERE;
    case 9: return To(4, 0);
    case 10: return i == 0 ? NOWHERE : To(10, i - 1);
    case 11: return i >= 5 ? To(11, i - 5) : NOWHERE;
    case 12: return i % 2 == 1 ? To(12, i - 1) : NOWHERE;
    case 13: return NEAREST;
    case 14: return To(13, i == 0 ? 0 : 1);
    case 15:
    case 16: return To(13, 1);
    case 18: return i == 0 ? To(10, 2) : To(18, i - 1);
    default: return NOWHERE;
    }
}

KeyMove RightMove(int32_t g, int32_t i)
{
    switch (g) {
    case 0: return i == 0 ? To(7, 0) : To(0, 0);
    case 1: return To(5, 0);
    case 4: return i == 1 ? To(4, 0) : To(9, 0);
    case 6: return i == 1 ? To(6, 0) : To(3, 0);
    case 8: return i % 2 == 0 ? Knob(8, i + 1) : To(13, 0);
    case 10: return i == 2 ? To(18, 0) : To(10, i + 1);
    case 11: return i <= 4 ? To(11, i + 5) : To(13, 0);
    case 12: return i % 2 == 1 ? To(13, 0) : To(12, i + 1);
    case 13: return i == 0 ? To(14, 0) : i == 1 ? To(16, 0) : NOWHERE;
    case 2:
    case 3:
    case 5:
    case 7:
    case 9:
    case 17:
    case 18: return g == 18 && i != 2 ? To(18, i + 1) : To(13, 0);
    default: return NOWHERE;
    }
}

} // namespace

int32_t CConfig::OnArrowKey(uint32_t scan_code)
{
    KeyMove move = To(0, 0);
    if (m_hovered != -1) {
        const int32_t g = m_hovered >> 8;
        const int32_t i = m_hovered & 0xFF;
        const bool s0 = SliderOn(0);
        const bool s4 = SliderOn(4);
        const bool s6 = SliderOn(6);
        move = scan_code == SCAN_UP     ? UpMove(g, i, s0, s4, s6)
               : scan_code == SCAN_DOWN ? DownMove(g, i, s0, s4, s6)
               : scan_code == SCAN_LEFT ? LeftMove(g, i, s0, s4, s6)
                                        : RightMove(g, i);
    }
    switch (move.kind) {
    case KeyMove::CONTROL: MoveCursorToControl(move.group, move.item); break;
    case KeyMove::KNOB: MoveCursorToKnob(move.group, move.item); break;
    case KeyMove::NEAREST: MoveCursorToNearest(m_hovered); break;
    case KeyMove::NONE: break;
    }
    Update();
    WaitInputRelease(scan_code);
    return 0;
}
