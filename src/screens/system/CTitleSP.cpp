#include "screens/system/CTitleSP.h"

#include <vector>

#include "foundation/ConfigSettings.h"
#include "graphics/CSpriteLayer.h"
#include "screens/base/ScreenWork.h"
#include "screens/system/TitleButtons.h"

namespace {

constexpr std::array<TitleButton, TITLE_SP_BUTTONS> BUTTONS{{
    {678, 492, 79, 0, 0},
    {765, 492, 79, 492, 0},
    {852, 492, 79, 984, 0},
    {939, 492, 94, 1476, 632},
}};
constexpr int32_t FADE_TICKS = 64;
constexpr int32_t ITEM_CONTINUE = 1;
constexpr int32_t ITEM_LOAD = 2;
constexpr int32_t ITEM_BACK = 3;

} // namespace

CTitleSP::~CTitleSP()
{
    Release();
}

const TitleButton& CTitleSP::Place(int32_t item)
{
    return BUTTONS[static_cast<size_t>(item)];
}

int32_t CTitleSP::Setup()
{
    m_sheet.reset(LoadSprite(MakeLanguageFileName("title_p.akb"), nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr,
                             -1, -1, 0));
    for (int32_t item = 0; item < TITLE_SP_BUTTONS; ++item) {
        const TitleButton& place = Place(item);
        CSprite* button = CreateSprite(TITLE_BUTTON_X, place.y, place.width, place.height,
                                       TITLE_BUTTON_PRIORITY, LAYER_KIND_MEMORY, 0);
        if (button == nullptr)
            return 0;
        m_buttons[static_cast<size_t>(item)].reset(button);
        DrawButton(item, TITLE_STATE_NORMAL, 0);
    }
    return 1;
}

void CTitleSP::DrawButton(int32_t item, int32_t state, int32_t present)
{
    if (item < 0 || item >= TITLE_SP_BUTTONS)
        return;
    if (!IsItemOpen(item))
        state = TITLE_STATE_DISABLED;
    DrawTitleButton(m_sheet.get(), m_buttons[static_cast<size_t>(item)].get(), Place(item), state, present);
}

int32_t CTitleSP::Register()
{
    m_page = 0;
    RunTitleLoop(*GameWork, *this);
    return Result.Integer;
}

void CTitleSP::Release()
{
    GameWork->RemoveActiveScreen(this);
    for (auto& button : m_buttons)
        button.reset();
    m_sheet.reset();
}

void CTitleSP::Show()
{
    std::vector<CSprite*> buttons;
    for (auto& button : m_buttons)
        buttons.push_back(button.get());
    FadeTitleButtons(buttons, {}, FADE_TICKS);
    m_page = 0;
    HitAreas.Load("titleSP.area");
}

void CTitleSP::BuildParts(int32_t)
{
    m_sheet.reset();
    if (CSpriteLayer* background = FindSpriteLayer(0))
        LoadSprite(MakeLanguageFileName("sptitle01.akb"), background, background->GetLayerKind(), 0, 0,
                   nullptr, -1, -1, 0);
    m_sheet.reset(LoadSprite(MakeLanguageFileName("title_p.akb"), nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr,
                             -1, -1, 0));
    for (int32_t item = 0; item < TITLE_SP_BUTTONS; ++item)
        DrawButton(item, TITLE_STATE_NORMAL, 0);
}

void CTitleSP::OnClose()
{
    SetTitleValue(CurrentFlagBuffer(), TITLE_PAGE_VALUE, m_page);
    std::vector<CSprite*> buttons;
    for (auto& button : m_buttons)
        buttons.push_back(button.get());
    PaintTitleButtons(FindSpriteLayer(0), buttons);
    Release();
}

void CTitleSP::OnOpen()
{
    Running = 1;
    m_hovered = -1;
    Show();
}

void CTitleSP::Update()
{
    m_hovered = TrackTitleHover(m_hovered, HitTestCursor(),
                                [this](int32_t item, int32_t state) { DrawButton(item, state, 1); });
}

int32_t CTitleSP::MoveByArrow(uint32_t scan_code)
{
    const int32_t item = TitleArrowTarget(scan_code, m_hovered, ITEM_BACK);
    if (item >= 0)
        HitAreas.MoveCursorToArea(static_cast<uint32_t>(item));
    Update();
    WaitInputRelease(scan_code);
    return 0;
}

bool CTitleSP::IsItemOpen(int32_t item)
{
    if (item == ITEM_CONTINUE)
        return TitleVariable(CurrentFlagBuffer(), TITLE_QUICK_SAVE_VARIABLE) != 0;
    if (item == ITEM_LOAD)
        return TitleVariable(CurrentFlagBuffer(), TITLE_ANY_SAVE_VARIABLE) != 0;
    return item >= 0 && item < TITLE_SP_BUTTONS;
}

void CTitleSP::OnDecide()
{
    const int32_t item = PressTitleItem(
        *this, m_hovered, [this](int32_t i) { return IsItemOpen(i); },
        [this](int32_t i, int32_t state) { DrawButton(i, state, 1); });
    if (item == -1)
        return;
    switch (item) {
    case ITEM_CONTINUE:
        ContinueFromTitle(GameWork); // a slot that does not load is refused: the title stays
        DrawButton(item, TITLE_STATE_NORMAL, 1);
        break;
    case ITEM_LOAD:
        LoadFromTitle(GameWork);
        DrawButton(item, TITLE_STATE_NORMAL, 1);
        break;
    default:
        DrawButton(item, TITLE_STATE_NORMAL, 1);
        Result = ScriptValue::FromInteger(item == ITEM_BACK ? TITLE_SP_BACK : TITLE_SP_START);
        Running = 0;
        break;
    }
    ISelect::OnDecide();
}

void CTitleSP::OnCancel()
{
    PlayCancelSound(SCREEN_SOUND_CHANNEL);
    ISelect::OnCancel();
    Result = ScriptValue::FromInteger(TITLE_SP_BACK);
    Running = 0;
}
