#include "screens/system/CTitle.h"

#include <span>

#include "foundation/ConfigSettings.h"
#include "graphics/CSpriteLayer.h"
#include "screens/base/ScreenWork.h"
#include "screens/system/TitleButtons.h"

namespace {

constexpr std::array<TitleButton, TITLE_BUTTON_COUNT> BUTTONS{{
    {504, 492, 79, 0, 0},       {591, 492, 79, 492, 0},     {678, 492, 79, 984, 0},
    {765, 492, 79, 1476, 0},    {852, 492, 79, 0, 316},     {939, 492, 79, 492, 316},
    {632, 492, 94, 1416, 1008}, {726, 492, 94, 1908, 1008}, {820, 492, 94, 2400, 1008},
    {914, 492, 94, 1476, 632},  {632, 492, 94, 0, 632},     {726, 492, 94, 492, 632},
    {820, 492, 94, 984, 632},   {914, 492, 94, 1476, 632},  {726, 492, 94, 1908, 1384},
    {820, 492, 94, 1416, 1384}, {914, 492, 94, 1476, 632},  {592, 708, 79, 0, 1008},
    {679, 708, 79, 708, 1008},  {766, 492, 94, 1476, 632},
}};
constexpr std::array<int32_t, TITLE_PAGE_COUNT + 1> GROUP_FIRST{0, 6, 10, 14, 17, 20};
constexpr std::array<const char*, TITLE_PAGE_COUNT> AREA_FILES{"title.area", "title2.area", "title2.area",
                                                               "title3.area", "title4.area"};
constexpr int32_t TITLE_FADE_TICKS = 32;

enum MainItem : int32_t
{
    ITEM_START = 0,
    ITEM_CONTINUE = 1,
    ITEM_LOAD = 2,
    ITEM_SETTINGS = 3,
    ITEM_MORE = 4,
    ITEM_EXIT = 5,
};

int32_t ItemCount(int32_t page)
{
    return GROUP_FIRST[static_cast<size_t>(page) + 1] - GROUP_FIRST[static_cast<size_t>(page)];
}

} // namespace

CTitle::~CTitle()
{
    Release();
}

CSprite* CTitle::GetButton(int32_t index) const
{
    return index >= 0 && index < TITLE_BUTTON_COUNT ? m_buttons[static_cast<size_t>(index)].get() : nullptr;
}

int32_t CTitle::ButtonIndex(int32_t page, int32_t item) const
{
    if (page < 0 || page >= TITLE_PAGE_COUNT || item < 0 || item >= ItemCount(page))
        return -1;
    return GROUP_FIRST[static_cast<size_t>(page)] + item;
}

int32_t CTitle::Setup()
{
    m_sheet.reset(LoadSprite(MakeLanguageFileName("title_p.akb"), nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr,
                             -1, -1, 0));
    for (int32_t page = 0; page < TITLE_PAGE_COUNT; ++page) {
        m_page = page;
        for (int32_t item = 0; item < ItemCount(page); ++item) {
            const int32_t index = ButtonIndex(page, item);
            const TitleButton& place = BUTTONS[static_cast<size_t>(index)];
            CSprite* button = CreateSprite(TITLE_BUTTON_X, place.y, place.width, place.height,
                                           TITLE_BUTTON_PRIORITY, LAYER_KIND_MEMORY, 0);
            if (button == nullptr)
                return 0;
            m_buttons[static_cast<size_t>(index)].reset(button);
            DrawButton(item, TITLE_STATE_NORMAL, 0);
        }
    }
    return 1;
}

void CTitle::Release()
{
    GameWork->RemoveActiveScreen(this);
    for (auto& button : m_buttons)
        button.reset();
    m_sheet.reset();
}

void CTitle::DrawButton(int32_t item, int32_t state, int32_t present)
{
    const int32_t index = ButtonIndex(m_page, item);
    if (index < 0)
        return;
    const FlagBuffer* game = CurrentFlagBuffer();
    if (m_page == 0 && ((item == ITEM_CONTINUE && TitleVariable(game, TITLE_QUICK_SAVE_VARIABLE) == 0) ||
                        (item == ITEM_LOAD && TitleVariable(game, TITLE_ANY_SAVE_VARIABLE) == 0)))
        state = TITLE_STATE_DISABLED;
    if (m_page == 2 && item <= 1 && GetFlag(TITLE_EXTRA_ITEMS_FLAG) == 0)
        state = TITLE_STATE_DISABLED;
    DrawTitleButton(m_sheet.get(), m_buttons[static_cast<size_t>(index)].get(),
                    BUTTONS[static_cast<size_t>(index)], state, present);
}

ScriptValue* CTitle::RunFromPage(ScriptValue* out, int32_t start_page)
{
    // Any other page would show nothing and leave every item out of reach.
    m_page = start_page >= 0 && start_page < TITLE_PAGE_COUNT ? start_page : 0;
    RunTitleLoop(*GameWork, *this);
    if (out != nullptr)
        *out = Result;
    return out;
}

void CTitle::ShowPage(int32_t page)
{
    std::vector<CSprite*> fade_in;
    std::vector<CSprite*> fade_out;
    for (int32_t group = 0; group < TITLE_PAGE_COUNT; ++group) {
        CSprite* first = GetButton(GROUP_FIRST[static_cast<size_t>(group)]);
        const bool showing = first != nullptr && first->IsVisible() != 0;
        if (group != page && !showing)
            continue;
        for (int32_t item = 0; item < ItemCount(group); ++item)
            (group == page ? fade_in : fade_out).push_back(GetButton(ButtonIndex(group, item)));
    }
    FadeTitleButtons(fade_in, fade_out, TITLE_FADE_TICKS);
    m_page = page;
    HitAreas.Load(AREA_FILES[static_cast<size_t>(page)]);
}

void CTitle::Show()
{
    ShowPage(0);
}

void CTitle::BuildParts(int32_t)
{
    m_sheet.reset();
    if (CSpriteLayer* background = FindSpriteLayer(0))
        LoadSprite(MakeLanguageFileName("title_bg2.akb"), background, background->GetLayerKind(), 0, 0,
                   nullptr, -1, -1, 0);
    m_sheet.reset(LoadSprite(MakeLanguageFileName("title_p.akb"), nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr,
                             -1, -1, 0));
    const int32_t page = m_page;
    for (int32_t group = 0; group < TITLE_PAGE_COUNT; ++group) {
        m_page = group;
        for (int32_t item = 0; item < ItemCount(group); ++item)
            DrawButton(item, TITLE_STATE_NORMAL, 0);
    }
    m_page = page;
}

void CTitle::OnClose()
{
    SetTitleValue(CurrentFlagBuffer(), TITLE_PAGE_VALUE, m_page);
    // Page 3's items lead to scenes that paint their own picture.
    if (m_page != 3) {
        std::vector<CSprite*> shown;
        for (int32_t item = 0; item < ItemCount(m_page); ++item)
            shown.push_back(GetButton(ButtonIndex(m_page, item)));
        PaintTitleButtons(FindSpriteLayer(0), shown);
    }
    Release();
}

void CTitle::OnOpen()
{
    Running = 1;
    m_hovered = -1;
    ShowPage(m_page);
}

void CTitle::Update()
{
    m_hovered = TrackTitleHover(m_hovered, HitTestCursor(),
                                [this](int32_t item, int32_t state) { DrawButton(item, state, 1); });
}

int32_t CTitle::MoveByArrow(uint32_t scan_code)
{
    const int32_t item = TitleArrowTarget(scan_code, m_hovered, m_page == 0 ? ITEM_EXIT : 3);
    if (item >= 0)
        HitAreas.MoveCursorToArea(static_cast<uint32_t>(item));
    Update();
    WaitInputRelease(scan_code);
    return 0;
}

bool CTitle::IsItemOpen(int32_t item)
{
    if (ButtonIndex(m_page, item) < 0)
        return false;
    if (m_page == 0 && item == ITEM_CONTINUE)
        return TitleVariable(CurrentFlagBuffer(), TITLE_QUICK_SAVE_VARIABLE) != 0;
    if (m_page == 0 && item == ITEM_LOAD)
        return TitleVariable(CurrentFlagBuffer(), TITLE_ANY_SAVE_VARIABLE) != 0;
    if ((m_page == 2 || m_page == 4) && item <= 1)
        return GetFlag(TITLE_EXTRA_ITEMS_FLAG) != 0;
    return true;
}

void CTitle::GoToPage(int32_t item, int32_t page)
{
    DrawButton(item, TITLE_STATE_NORMAL, 1);
    ShowPage(page);
    m_hovered = -1;
}

void CTitle::Close(int32_t result)
{
    Result = ScriptValue::FromInteger(result);
    Running = 0;
}

void CTitle::OnDecide()
{
    const int32_t item = PressTitleItem(
        *this, m_hovered, [this](int32_t i) { return IsItemOpen(i); },
        [this](int32_t i, int32_t state) { DrawButton(i, state, 1); });
    if (item == -1)
        return;

    switch (m_page * 8 + item) {
    case 0 * 8 + ITEM_START:
        DrawButton(item, TITLE_STATE_NORMAL, 1);
        if (GetFlag(TITLE_START_PAGE_FLAG) == 1) {
            ShowPage(4);
            m_hovered = -1;
        } else {
            SetTitleValue(CurrentFlagBuffer(), TITLE_START_MODE_VALUE, 0);
            Close(0);
        }
        break;
    case 0 * 8 + ITEM_CONTINUE:
        ContinueFromTitle(GameWork); // a slot that does not load is refused: the title stays
        DrawButton(item, TITLE_STATE_NORMAL, 1);
        break;
    case 0 * 8 + ITEM_LOAD:
        LoadFromTitle(GameWork);
        DrawButton(item, TITLE_STATE_NORMAL, 1);
        break;
    case 0 * 8 + ITEM_SETTINGS:
        GameWork->RunTopPage();
        DrawButton(item, TITLE_STATE_NORMAL, 1);
        break;
    case 0 * 8 + ITEM_MORE:
        GoToPage(item, 1);
        break;
    case 0 * 8 + ITEM_EXIT:
        GameWork->ConfirmExit();
        DrawButton(item, TITLE_STATE_NORMAL, 1);
        break;
    case 1 * 8 + 0:
        Close(0x101);
        break;
    case 1 * 8 + 1:
        GoToPage(item, 2);
        break;
    case 1 * 8 + 2:
        GoToPage(item, 3);
        break;
    case 1 * 8 + 3:
    case 4 * 8 + 2:
        GoToPage(item, 0);
        break;
    case 2 * 8 + 0:
    case 2 * 8 + 1:
    case 2 * 8 + 2:
        Close(0x102 + item);
        break;
    case 2 * 8 + 3:
    case 3 * 8 + 2:
        GoToPage(item, 1);
        break;
    case 3 * 8 + 0:
    case 3 * 8 + 1:
        Close(0x105 + item);
        break;
    case 4 * 8 + 0:
    case 4 * 8 + 1:
        SetTitleValue(CurrentFlagBuffer(), TITLE_START_MODE_VALUE, item);
        Close(0);
        break;
    default:
        break;
    }
    ISelect::OnDecide();
}

void CTitle::OnCancel()
{
    if (m_page != 0) {
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        const int32_t item = m_hovered == -1 ? -1 : m_hovered & 0xFF;
        DrawButton(item, TITLE_STATE_PRESSED, 1);
        ISelect::OnDecide();
        DrawButton(item, TITLE_STATE_NORMAL, 1);
        ShowPage(m_page == 1 || m_page == 4 ? 0 : 1);
        m_hovered = -1;
    }
    ISelect::OnCancel();
}
