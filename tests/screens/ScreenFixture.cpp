#include "screens/ScreenFixture.h"

#include <algorithm>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "foundation/CInputView.h"
#include "foundation/IAppTask.h"
#include "graphics/CLayerFile.h"
#include "mapwrite/MapTableWriter.h"
#include "mesasm/MesAssembler.h"
#include "platform/imm/ImeInjection.h"
#include "platform/user/InputInjection.h"
#include "platform/user/WindowApi.h"
#include "screens/base/CMesWnd.h"
#include "screens/map/CCps.h"
#include "screens/map/CSubMap.h"
#include "sheetgen/SheetGenerator.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"
#include "support/HeadlessDisplay.h"
#include "support/StartupPictures.h"

class PumpScript final : public IAppTask
{
public:
    PumpScript()
        : IAppTask(0)
    {}
    void Execute() override
    {
        ++pumps;
        if (step)
            step(pumps);
    }
    std::function<void(int)> step;
    int pumps = 0;
};

namespace {

// The procedure of the display's window while the view owns it: messages go to the view's hooks
// through the shared procedure of the game's windows; the window's end (the display torn down)
// only takes it from the view, which must not take it for the game's own end.
LRESULT ViewWindowProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    if (message == WM_DESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (GetView()->GetHandle() == window)
            GetView()->SetHandle(nullptr);
    }
    return CWindow::SharedWindowProc(window, message, w_param, l_param);
}

} // namespace

std::vector<tools::ArchiveEntry> DialogDataEntries()
{
    return {{"DIALOG.AREA", tools::BuildAreaFile(tools::DialogAreas(true))},
            {"DIALOG2.AREA", tools::BuildAreaFile(tools::DialogAreas(false))},
            {"DIALOG3.AREA", tools::BuildAreaFile(tools::NoticeAreas())}};
}

tools::ArchiveEntry DialogSheetEntry()
{
    return {"DIALOG_P.AKB",
            tools::EncodeAkb(tools::BuildSheet(tools::DIALOG_SHEET_WIDTH, tools::DIALOG_SHEET_HEIGHT,
                                               tools::DialogSheetCells()),
                             {})};
}

std::vector<tools::ArchiveEntry> MessageWindowDataEntries()
{
    return {{"MES_O.AREA", tools::BuildAreaFile(tools::MessageAreas())},
            {"MESMENU.AREA", tools::BuildAreaFile(tools::SideMenuAreas())}};
}

std::vector<tools::ArchiveEntry> MessageWindowPictureEntries()
{
    return {{"MESSAGE_P.AKB", tools::EncodeAkb(tools::MessageSheet(), {})},
            {"SIDEMENU_P.AKB", tools::EncodeAkb(tools::BuildSheet(tools::SIDE_MENU_SHEET_WIDTH,
                                                                  tools::SIDE_MENU_SHEET_HEIGHT,
                                                                  tools::SideMenuSheetCells()),
                                                {})}};
}

ScreenFixture::ScreenFixture(std::vector<tools::ArchiveEntry> data, std::vector<tools::ArchiveEntry> pictures,
                             bool dialog_sheet)
    : m_script(std::make_unique<PumpScript>())
{
    m_app.SetSaveFolders((m_dir.Path().string() + "/").c_str(), (m_dir.Path().string() + "/").c_str());
    for (const char* name : {"system_en.map", "system_cn.map", "system_tw.map", "system.map"}) {
        // A test's own language texts come first.
        const std::string upper = tools::UpperCaseName(name);
        if (std::none_of(data.begin(), data.end(), [&](const tools::ArchiveEntry& entry) { return entry.name == upper; }))
            data.push_back({upper, tools::BuildMapTable(std::vector<tools::MapText>{{0, u"text"}})});
    }
    for (tools::ArchiveEntry& entry : StartupDataEntries())
        if (std::none_of(data.begin(), data.end(), [&](const auto& given) { return given.name == entry.name; }))
            data.push_back(std::move(entry));
    m_dir.Write("data.arc", tools::BuildArchive(data, tools::ArchiveEncoding::Lzss));
    std::vector<tools::ArchiveEntry> scripts;
    for (const char* name : {"start.mes", "main.mes"}) {
        const tools::AssembledScript script = tools::AssembleScript("line 1\nend");
        EXPECT_TRUE(script.Ok) << script.Error;
        scripts.push_back({tools::UpperCaseName(name), script.File});
    }
    m_dir.Write("script.arc", tools::BuildArchive(scripts, tools::ArchiveEncoding::Lzss));
    pictures.push_back({"CURSOR.AKB", tools::EncodeAkb(tools::MakePicture(128, 192, 0xFF102030), {})});
    for (tools::ArchiveEntry& entry : StartupPictureEntries())
        if (std::none_of(pictures.begin(), pictures.end(), [&](const auto& given) { return given.name == entry.name; }))
            pictures.push_back(std::move(entry));
    if (dialog_sheet) {
        pictures.push_back(DialogSheetEntry());
        pictures.push_back({"DIALOG_P2.AKB", tools::EncodeAkb(tools::BuildSheet(tools::NOTICE2_SHEET_WIDTH,
                                                                                tools::NOTICE2_SHEET_HEIGHT,
                                                                                tools::NoticeSheetCells()),
                                                              {})});
    }
    m_dir.Write("layer.arc", tools::BuildArchive(pictures, tools::ArchiveEncoding::Plain));

    CVeskDoc* document = GetDocument();
    document->StartGame();
    auto& effects = GetGameSoundChannels()[SOUND_GROUP_EFFECT];
    while (effects.size() < 5) {
        auto channel = std::make_unique<FakeWaveManager>();
        m_effects.push_back(channel.get());
        effects.push_back(std::move(channel));
    }
    CInputView* input = GetInputView();
    m_previous_keyboard = input->GetKeyboard();
    m_previous_mouse = input->GetMouse();
    input->SetKeyboard(&m_keyboard);
    input->SetMouse(&m_mouse);
    m_runner.AddTask(m_script.get());
    m_capture.Create(0, 0, 1920, 1080, -1);

    // The view owns the display's window, as the game's view owns its own: what the window layer
    // sends or queues for it (the input method's messages among them) reaches the view's hook
    // list through the pump. Keyboard input, and so the input method, goes to it.
    platform::ResetInputMethod();
    m_view_window = m_display->Window();
    SetFocus(m_view_window);
    SetWindowLongPtrW(m_view_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ViewWindowProcedure));
    SetWindowLongPtrW(m_view_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(GetView()));
    GetView()->SetHandle(m_view_window);
    m_app.m_dispatch = true;
}

ScreenFixture::~ScreenFixture()
{
    m_app.m_dispatch = false;
    if (IsWindow(m_view_window))
        SetWindowLongPtrW(m_view_window, GWLP_USERDATA, 0);
    if (GetView()->GetHandle() == m_view_window)
        GetView()->SetHandle(nullptr);
    platform::ResetInputMethod();
    m_runner.RemoveTask(m_script.get());
    CInputView* input = GetInputView();
    input->SetKeyboard(m_previous_keyboard);
    input->SetMouse(m_previous_mouse);
}

void ScreenFixture::OnPump(std::function<void(int)> step)
{
    m_script->pumps = 0;
    m_script->step = std::move(step);
}

int ScreenFixture::Pumps() const
{
    return m_script->pumps;
}

std::vector<std::string> ScreenFixture::TakeOkCancelSounds()
{
    if (m_effects.size() < 5)
        return {};
    FakeWaveManager* channel =
        dynamic_cast<FakeWaveManager*>(GetGameSoundChannels()[SOUND_GROUP_EFFECT][4].get());
    if (channel == nullptr)
        return {};
    std::vector<std::string> calls = channel->Calls();
    channel->ClearCalls();
    return calls;
}

void ScreenFixture::ComposeText(const char* utf8, int start, int length)
{
    EXPECT_TRUE(platform::PushEditing(GetView()->GetHandle(), utf8, start, length)) << utf8;
}

void ScreenFixture::CommitText(const char* utf8)
{
    EXPECT_TRUE(platform::PushText(GetView()->GetHandle(), utf8)) << utf8;
}

void ScreenFixture::StepComposition(int pump, int first, Composition& composition)
{
    const RECT& band = composition.band;
    auto keep = [&](const char* step) {
        Capture(*step != 0 ? std::string(composition.stem) + step + ".png" : std::string());
        composition.seen.push_back(
            CountBlackAndWhite(band.left, band.top, band.right - band.left, band.bottom - band.top));
    };
    const int step = pump - first;
    if (step == 0)
        keep("");
    if (step == 2) {
        // SDL counts the cursor in code points: the end of the typed text.
        const std::string typed = composition.typed;
        const auto points = std::count_if(typed.begin(), typed.end(), [](char c) { return (c & 0xC0) != 0x80; });
        ComposeText(composition.typed, static_cast<int>(points), 0);
    }
    if (step == 12)
        keep("_composing");
    if (step == 14)
        ComposeText(composition.converted, 0, composition.clause);
    if (step == 22)
        keep("_converting");
    if (step == 24)
        CommitText(composition.converted);
    if (step == 37)
        keep("_committed");
}

void ScreenFixture::ExpectCompositionShown(const Composition& composition)
{
    const std::vector<BlackAndWhite>& seen = composition.seen;
    ASSERT_EQ(seen.size(), 4u) << "the composition did not run to its end";
    const RECT& band = composition.band;
    const int half = (band.right - band.left) * (band.bottom - band.top) / 2;
    EXPECT_EQ(seen[0].black, 0) << "no composition yet";
    EXPECT_GT(seen[1].black, half) << "white glyphs on the composition's black band";
    EXPECT_GT(seen[1].white, 0);
    EXPECT_GT(seen[2].white, half) << "the converted clause inverted";
    EXPECT_GT(seen[2].black, 0);
    EXPECT_EQ(seen[3].black, 0) << "the band gone after the commit";
}

void ScreenFixture::Capture(const std::string& png)
{
    CaptureFrame(m_capture, png);
}

uint32_t ScreenFixture::Shown(int x, int y)
{
    return EffectPixel(m_capture, x, y);
}

ScreenFixture::BlackAndWhite ScreenFixture::CountBlackAndWhite(int left, int top, int width, int height)
{
    BlackAndWhite seen;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) {
            const uint32_t pixel = Shown(x, y);
            seen.black += pixel == 0xFF000000u ? 1 : 0;
            seen.white += pixel == 0xFFFFFFFFu ? 1 : 0;
        }
    return seen;
}

std::pair<uint32_t, int32_t> ScreenFixture::ShownCell(int x, int y)
{
    uint32_t id = 0;
    int32_t state = 0;
    if (!tools::DecodeCellColour(Shown(x, y) | 0xFF000000u, id, state))
        return {0xFFFFFFFFu, -1};
    return {id, state};
}

void ScreenFixture::ReleaseSharedIconSheet()
{
    CGameWork* work = GetGameWork();
    work->GetMessageWindow()->m_face_sheet.reset();
    work->GetTownMap()->Icons.Sheet.reset();
    work->GetSubMap()->Release();
    EXPECT_EQ(GetDocumentLayerFile()->FindSheet("icon_p.akb"), nullptr);
}
