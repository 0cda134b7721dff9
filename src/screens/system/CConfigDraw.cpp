// The look of the settings page: where each control lies on the page or the screen, which
// rectangle of the parts sheet shows each state, and how the tall page is shown through the
// window of the view.

#include "screens/base/ScreenWork.h"
#include "screens/system/CConfig.h"

#include <algorithm>

#include "foundation/CLangTextTable.h"
#include "foundation/GameDocument.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "platform/kernel/IdleWait.h"
#include "platform/user/RectApi.h"
#include "screens/system/ConfigLayout.h"

using namespace config_layout;

namespace {

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

} // namespace

CSpriteLayer* CConfig::PageImage() const
{
    return dynamic_cast<CSpriteLayer*>(m_page.get());
}

void CConfig::Touch()
{
    for (CSpriteLayer* sprite : {ViewLayer(), MaskLayer()})
        if (sprite != nullptr)
            sprite->Invalidate(1, *sprite->GetRect());
}

void CConfig::Present()
{
    RedrawFrameNow();
}

void CConfig::DrawToggle(int32_t group, int32_t item, int32_t state)
{
    ILayer* page = LayerOfSprite(m_page);
    ILayer* parts = LayerOfSprite(m_parts);
    const int32_t* field = SwitchField(group, item);
    if (page == nullptr || parts == nullptr || field == nullptr)
        return;
    POINT at{};
    if (group == 11)
        at = DialogSwitchAt(item);
    else if (!SwitchAt(group, at))
        return;
    page->Blt(at.x, at.y, SWITCH_WIDTH, SWITCH_HEIGHT, parts, SWITCH_SOURCE_X,
              (*field != 0 ? SWITCH_ON_SOURCE_Y : SWITCH_OFF_SOURCE_Y) + state * SWITCH_HEIGHT, 1);
}

void CConfig::DrawSpeedSlider(int32_t group, float value, int32_t state)
{
    ILayer* page = LayerOfSprite(m_page);
    ILayer* parts = LayerOfSprite(m_parts);
    const int32_t top = SpeedSliderTop(group);
    if (page == nullptr || parts == nullptr || top < 0)
        return;
    page->SetAlphaRect(SPEED_TRACK_LEFT, top, SPEED_TRACK_WIDTH, KNOB_HEIGHT, 0);
    if (!SliderOn(group))
        return;
    const auto x = SPEED_TRACK_LEFT + static_cast<int32_t>(value * SPEED_RANGE);
    page->Blt(x, top, KNOB_WIDTH, KNOB_HEIGHT, parts, KNOB_SOURCE_X, KNOB_SOURCE_Y + state * KNOB_HEIGHT, 1);
}

void CConfig::DrawColorSlider(int32_t item, int32_t state)
{
    ILayer* page = LayerOfSprite(m_page);
    ILayer* parts = LayerOfSprite(m_parts);
    const float* value = ColourField(item);
    if (page == nullptr || parts == nullptr || value == nullptr)
        return;
    const POINT track = ColourTrackAt(item);
    page->SetAlphaRect(track.x, track.y, COLOUR_TRACK_WIDTH, KNOB_HEIGHT, 0);
    const auto x = track.x + static_cast<int32_t>(*value * COLOUR_RANGE);
    page->Blt(x, track.y, KNOB_WIDTH, KNOB_HEIGHT, parts, KNOB_SOURCE_X, KNOB_SOURCE_Y + state * KNOB_HEIGHT, 1);
}

void CConfig::DrawRadio(int32_t group, int32_t item, int32_t state)
{
    ILayer* page = LayerOfSprite(m_page);
    ILayer* parts = LayerOfSprite(m_parts);
    if (page == nullptr || parts == nullptr || item < 0 || item > 2)
        return;
    const int32_t stored = group == 10 ? DisplayEffectSpeed : MapSpeed;
    const int32_t x = (group == 10 ? EFFECT_RADIO_X : MAP_RADIO_X)[item];
    page->SetAlphaRect(x, RADIO_Y, KNOB_WIDTH, KNOB_HEIGHT, 0);
    const int32_t source_y = item == stored ? RADIO_SELECTED_SOURCE_Y : KNOB_SOURCE_Y + state * KNOB_HEIGHT;
    page->Blt(x, RADIO_Y, KNOB_WIDTH, KNOB_HEIGHT, parts, KNOB_SOURCE_X, source_y, 1);
}

void CConfig::DrawSystemCell(int32_t item, int32_t state)
{
    ILayer* page = LayerOfSprite(m_page);
    ILayer* parts = LayerOfSprite(m_parts);
    if (page == nullptr || parts == nullptr || item < 0 || item > 5)
        return;
    const int32_t s = item == System ? 2 : state;
    page->Blt(SYSTEM_CELL_X + (item % 2) * SYSTEM_CELL_STEP_X, SYSTEM_CELL_Y + (item / 2) * SYSTEM_CELL_STEP_Y,
              SYSTEM_CELL_WIDTH, SYSTEM_CELL_HEIGHT, parts, SYSTEM_SOURCE_X + (item % 2) * SYSTEM_CELL_WIDTH,
              (s + (item / 2) * 4) * SYSTEM_CELL_HEIGHT, 1);
}

void CConfig::DrawFixed(int32_t id, int32_t state)
{
    ILayer* mask = MaskTarget();
    ILayer* parts = LayerOfSprite(m_parts);
    if (mask == nullptr || parts == nullptr)
        return;
    const int32_t group = id >> 8;
    const int32_t item = id & 0xFF;
    switch (group) {
    case 13:
        if (item == 0)
            mask->Blt(UP_ARROW_X, UP_ARROW_Y, ARROW_WIDTH, ARROW_HEIGHT, parts, ARROW_SOURCE_X,
                      UP_SOURCE_Y + (m_scroll_offset == 0 ? 3 : state) * ARROW_HEIGHT, 1);
        else if (item == 1)
            mask->Blt(DOWN_ARROW_X, DOWN_ARROW_Y, ARROW_WIDTH, ARROW_HEIGHT, parts, ARROW_SOURCE_X,
                      DOWN_SOURCE_Y + (m_scroll_offset == CONFIG_SCROLL_RANGE ? 3 : state) * ARROW_HEIGHT, 1);
        break;
    case 14: {
        const int32_t tab = GetMenuTabState(id);
        const int32_t s = tab != 0 ? tab : state;
        mask->Blt(TAB_X, item == 0 ? TAB0_Y : TAB1_Y, TAB_SIZE, TAB_SIZE, parts, item == 0 ? 0 : TAB_SIZE,
                  s * TAB_SIZE, 1);
        break;
    }
    case 15:
        mask->Blt(TAB_X, DEFAULTS_Y, TAB_SIZE, TAB_SIZE, parts, DEFAULTS_SOURCE_X, state * TAB_SIZE, 1);
        break;
    case 16:
        mask->Blt(TAB_X, LEAVE_Y, TAB_SIZE, TAB_SIZE, parts, LEAVE_SOURCE_X, state * TAB_SIZE, 1);
        break;
    case 17:
        mask->Blt(GAME_MODE_X, GAME_MODE_Y, GAME_MODE_WIDTH, GAME_MODE_HEIGHT, parts,
                  GameMode == 0 ? GAME_MODE_OFF_SOURCE_X : GAME_MODE_ON_SOURCE_X,
                  GAME_MODE_SOURCE_Y + state * GAME_MODE_HEIGHT, 1);
        break;
    default:
        break;
    }
}

void CConfig::DrawControl(int32_t id, int32_t state)
{
    if (id == -1)
        return;
    const int32_t group = id >> 8;
    const int32_t item = id & 0xFF;
    {
        LiveDrawLock lock;
        switch (group) {
        case 0:
        case 4:
        case 6:
            if (item == 0)
                DrawToggle(group, 0, state);
            else if (item == 1)
                DrawSpeedSlider(group, *SpeedField(group), state);
            break;
        case 1:
        case 2:
        case 3:
        case 5:
        case 7:
        case 9:
            DrawToggle(group, item, state);
            break;
        case 11:
            DrawDialogToggle(item, state);
            break;
        case 8:
            DrawColorSlider(item, state);
            break;
        case 10:
            DrawEffectSpeedRadio(item, state);
            break;
        case 18:
            DrawMapSpeedRadio(item, state);
            break;
        case 12:
            DrawSystemCell(item, state);
            break;
        case 13:
            if (item == 2)
                break;
            [[fallthrough]];
        case 14:
        case 15:
        case 16:
        case 17:
            DrawFixed(id, state);
            break;
        default:
            RefreshView(true);
            return;
        }
    }
    if (group == 13 && item == 2) {
        DrawScrollThumb(state, false);
    }
    DrawHelp(id);
    RefreshView(true);
}

void CConfig::DrawHelp(int32_t id)
{
    CStringUTF8 text;
    if (id != -1) {
        const int32_t group = id >> 8;
        const int32_t item = id & 0xFF;
        const bool slider = (group == 0 || group == 4 || group == 6) && item == 1;
        if (group == 18)
            text = "MAP画面の移動速度を設定します";
        else if (const int32_t number = HelpTextId(group, item);
                 number != 0 && (!slider || SliderOn(group)) && GameWork->m_system_language)
            text = GameWork->m_system_language->GetText(number);
    }
    if (DrawHelpLine(LayerOfSprite(m_help), text)) {
        LiveDrawLock lock;
        Touch();
    }
}

bool CConfig::ViewSources::operator==(const ViewSources& other) const
{
    return view == other.view && work == other.work && cover == other.cover &&
           view_writes == other.view_writes && work_writes == other.work_writes &&
           cover_writes == other.cover_writes && offset == other.offset && EqualRect(&hole, &other.hole);
}

void CConfig::RefreshView(bool present, const RECT* page_part)
{
    ILayer* view = ViewTarget();
    ILayer* mask = MaskTarget();
    ILayer* work = WorkLayer();
    ILayer* cover = LayerOfSprite(m_cover);
    ILayer* page = LayerOfSprite(m_page);
    m_scroll_offset = static_cast<int32_t>(m_scroll_position * CONFIG_SCROLL_RANGE);
    if (view != nullptr && mask != nullptr && work != nullptr) {
        LiveDrawLock lock;
        const RECT sample{m_sample_rect.left, m_sample_rect.top - m_scroll_offset, m_sample_rect.right,
                          m_sample_rect.bottom - m_scroll_offset};
        const RECT window{WINDOW_LEFT, WINDOW_TOP, WINDOW_LEFT + WINDOW_VIEW_WIDTH,
                          WINDOW_TOP + WINDOW_HEIGHT};
        if (!IntersectRect(&m_sample_hole, &sample, &window))
            m_sample_hole = RECT{};
        const auto sources = [&] {
            return ViewSources{view,
                               work,
                               cover,
                               view->GetWriteCount(),
                               work->GetWriteCount(),
                               cover != nullptr ? cover->GetWriteCount() : 0,
                               m_scroll_offset,
                               m_sample_hole};
        };
        if (!(sources() == m_view_sources)) {
            view->Blt(WINDOW_LEFT, WINDOW_TOP, WINDOW_VIEW_WIDTH, WINDOW_HEIGHT, work, WINDOW_LEFT,
                      WINDOW_TOP, 1);
            if (!IsRectEmpty(&m_sample_hole))
                view->SetAlphaRect(m_sample_hole.left, m_sample_hole.top,
                                   m_sample_hole.right - m_sample_hole.left,
                                   m_sample_hole.bottom - m_sample_hole.top, 0);
            if (cover != nullptr)
                view->BltOver(WINDOW_LEFT, WINDOW_TOP, WINDOW_VIEW_WIDTH, WINDOW_HEIGHT, cover, 0,
                              m_scroll_offset);
            m_view_sources = sources();
        }
        const RECT shown{0, m_scroll_offset, CONFIG_PAGE_WIDTH, m_scroll_offset + WINDOW_HEIGHT};
        RECT part = shown;
        if (page_part != nullptr && !IntersectRect(&part, &shown, page_part))
            part = RECT{};
        if (page != nullptr && !IsRectEmpty(&part))
            mask->Blt(WINDOW_LEFT + part.left, WINDOW_TOP + part.top - m_scroll_offset,
                      part.right - part.left, part.bottom - part.top, page, part.left, part.top, 1);
        Touch();
    }
    if (present)
        Present();
}

void CConfig::DrawScrollThumb(int32_t state, bool present)
{
    ILayer* mask = MaskTarget();
    ILayer* parts = LayerOfSprite(m_parts);
    if (mask != nullptr && parts != nullptr) {
        LiveDrawLock lock;
        mask->ClearRect(TRACK_X, TRACK_Y, TRACK_WIDTH, TRACK_HEIGHT);
        mask->Blt(TRACK_X, ThumbTop(m_scroll_position), TRACK_WIDTH, THUMB_HEIGHT, parts, state * TRACK_WIDTH,
                  THUMB_SOURCE_Y, 1);
        Touch();
    }
    if (present)
        Present();
}

void CConfig::DrawScrollBar()
{
    {
        LiveDrawLock lock;
        DrawFixed(0x0D00, 0);
        DrawFixed(0x0D01, 0);
    }
    DrawScrollThumb(0, false);
}

void CConfig::DrawSwatch()
{
    ILayer* cover = LayerOfSprite(m_cover);
    if (cover == nullptr)
        return;
    const auto channel = [](float v) { return static_cast<uint32_t>(static_cast<int32_t>(v * 255)) & 0xFF; };
    const uint32_t colour = channel(1 - MesWndAlpha) << 24 | channel(MesWndRed) << 16 | channel(MesWndGreen) << 8 |
                            channel(MesWndBlue);
    cover->FillRect(SAMPLE_BOX_X, SAMPLE_BOX_Y, SAMPLE_BOX_WIDTH, SAMPLE_BOX_HEIGHT, colour, 1);
}

void CConfig::DrawSampleLabel()
{
    ILayer* page = LayerOfSprite(m_page);
    ILayer* parts = LayerOfSprite(m_parts);
    if (page != nullptr && parts != nullptr)
        page->Blt(SAMPLE_BOX_X, SAMPLE_BOX_Y, SAMPLE_BOX_WIDTH, SAMPLE_BOX_HEIGHT, parts, 0, SAMPLE_LABEL_SOURCE_Y, 1);
}

void CConfig::ClearSampleBox()
{
    if (ILayer* page = LayerOfSprite(m_page))
        page->SetAlphaRect(SAMPLE_BOX_X, SAMPLE_BOX_Y, SAMPLE_BOX_WIDTH, SAMPLE_BOX_HEIGHT, 0);
}

void CConfig::DrawPageControls()
{
    // Every language has its sample: an empty one would type nothing in the window's colour.
    const int32_t language = Document != nullptr ? Document->GetLanguage() : 0;
    if (language == 0)
        m_sample_text = "Message Sample";
    else if (language == 1)
        m_sample_text = " 对话样式";
    else if (language == 2)
        m_sample_text = " 對話樣式";
    else if (language == 3)
        m_sample_text = "メッセージサンプル";
    if (ILayer* parts = LayerOfSprite(m_parts))
        DrawTextFlow(0, SAMPLE_LABEL_SOURCE_Y, m_sample_text, parts, 40, 40, 0xFFFFFFFF, 0);
    m_sample_index = 0;
    m_sample_cell = 0;
    HitAreas.Load("config00.area");

    LiveDrawLock lock;
    DrawToggle(0, 0, 0);
    DrawSpeedSlider(0, MesWndSpeed, 0);
    if (MesWndShowSpeedEnable == 0)
        DrawSampleLabel();
    for (int32_t group : {1, 7, 2})
        DrawToggle(group, 0, 0);
    DrawToggle(4, 0, 0);
    DrawSpeedSlider(4, OneMesSpeed, 0);
    DrawToggle(5, 0, 0);
    DrawToggle(6, 0, 0);
    DrawSpeedSlider(6, AutoMesSpeed, 0);
    DrawToggle(3, 0, 0);
    DrawToggle(9, 0, 0);
    DrawFixed(0x0D00, 0);
    DrawFixed(0x0D01, 0);
    if (ILayer* mask = MaskTarget())
        mask->ClearRect(TRACK_X, TRACK_Y, TRACK_WIDTH, TRACK_HEIGHT);
    if (ILayer* mask = MaskTarget(); mask != nullptr && m_parts)
        mask->Blt(TRACK_X, ThumbTop(m_scroll_position), TRACK_WIDTH, THUMB_HEIGHT, SpriteLayerOf(m_parts.get()), 0,
                  THUMB_SOURCE_Y, 1);
    for (int32_t item = 0; item < 3; ++item) {
        DrawEffectSpeedRadio(item, 0);
        DrawMapSpeedRadio(item, 0);
    }
    for (int32_t item = 0; item < CONFIG_DIALOG_COUNT; ++item)
        DrawDialogToggle(item, 0);
    for (int32_t item = 0; item < 6; ++item)
        DrawSystemCell(item, 0);
    for (int32_t item = 0; item < 4; ++item)
        DrawColorSlider(item, 0);
    DrawSwatch();
    m_sample_rect = RECT{SAMPLE_SCREEN_LEFT, SAMPLE_SCREEN_TOP, SAMPLE_SCREEN_RIGHT, SAMPLE_SCREEN_BOTTOM};
}

void CConfig::BuildPage()
{
    m_view_sources = ViewSources{};
    if (ILayer* mask = MaskTarget())
        mask->SetAlphaRect(0, 0, LOGICAL_WIDTH, LOGICAL_HEIGHT, 0);
    DrawPageControls();
    for (int32_t id : {0x0E00, 0x0E01, 0x0F00, 0x1000, 0x1100})
        DrawControl(id, 0);
    RefreshView(false);
    if (MaskImageLayer() != nullptr)
        MaskImageLayer()->SetVisibleFlag(1);
    if (ViewImageLayer() != nullptr)
        ViewImageLayer()->SetVisibleFlag(1);
}

void CConfig::RedrawPage()
{
    DrawPageControls();
    RefreshView(false);
    DrawControl(0x1100, 0);
}

void CConfig::TickMessageSample()
{
    // The page's loop rests until the sample's next step: the sample is all that moves on it.
    struct NoteNext
    {
        const uint32_t& next;
        ~NoteNext() { platform::NoteNextStep(next); }
    } note_next{m_sample_next};
    const uint32_t now = GetEffectTime();
    if (static_cast<int32_t>(now - m_sample_next) < 0)
        return;
    const int32_t count = m_sample_text.GetCharCount();
    if (m_sample_index == count) {
        m_sample_next = now + SAMPLE_HOLD_MS;
        ++m_sample_index;
        return;
    }
    ILayer* page = LayerOfSprite(m_page);
    ILayer* parts = LayerOfSprite(m_parts);
    if (page == nullptr || parts == nullptr)
        return;
    {
        LiveDrawLock lock;
        if (m_sample_index > count) {
            ClearSampleBox();
            m_sample_index = 0;
            m_sample_cell = 0;
        }
        if (count == 0)
            return;
        const int32_t cells = IsFullWidthChar(m_sample_text.GetCharAt(m_sample_index)) ? 2 : 1;
        page->Blt(SAMPLE_TYPE_X + SAMPLE_CELL * m_sample_cell, SAMPLE_TYPE_Y, SAMPLE_CELL * cells, SAMPLE_CELL_HEIGHT,
                  parts, SAMPLE_CELL * m_sample_cell, SAMPLE_LABEL_SOURCE_Y, 1);
        ++m_sample_index;
        m_sample_cell += cells;
        m_sample_next = now + static_cast<uint32_t>(static_cast<int32_t>((1 - MesWndSpeed) * 150));
    }
    const RECT box{SAMPLE_BOX_X, SAMPLE_BOX_Y, SAMPLE_BOX_X + SAMPLE_BOX_WIDTH,
                   SAMPLE_BOX_Y + SAMPLE_BOX_HEIGHT};
    RefreshView(true, &box);
}
