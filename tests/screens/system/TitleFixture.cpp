#include "screens/system/TitleFixture.h"

#include <stdexcept>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "demopics/DemoPictures.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mesasm/MesAssembler.h"
#include "rulegen/RuleImageWriter.h"
#include "screens/base/ISelect.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/vm/CScript.h"
#include "sheetgen/SheetGenerator.h"

namespace {

std::vector<tools::ArchiveEntry> TitleData()
{
    std::vector<tools::ArchiveEntry> data;
    for (const auto& [name, areas] : tools::TitleAreaFiles())
        data.push_back({tools::UpperCaseName(name), tools::BuildAreaFile(areas)});
    // The rule the animation's background comes in through.
    data.push_back({"62.BIN", tools::MakeRuleImage(tools::RulePattern::WipeDown, 1920, 1080)});
    return data;
}

std::vector<tools::ArchiveEntry> TitlePictures(bool sheet)
{
    static const std::vector<uint8_t> sheet_bytes = tools::EncodeAkb(
        tools::BuildSheet(tools::TITLE_SHEET_WIDTH, tools::TITLE_SHEET_HEIGHT, tools::TitleSheetCells()), {});
    std::vector<tools::ArchiveEntry> pictures;
    for (const auto& [name, bytes] : tools::BuildTitlePictures())
        pictures.push_back({name, bytes});
    if (sheet)
        for (const char* name : {"TITLE_P.AKB", "TITLE_P_EN.AKB", "TITLE_P_CH.AKB", "TITLE_P_TW.AKB"})
            pictures.push_back({name, sheet_bytes});
    return pictures;
}

} // namespace

TitleFixture::TitleFixture(bool sheet)
    : ScreenFixture(TitleData(), TitlePictures(sheet))
{
    FlagBuffer& state = State();
    state.Flags.assign(4096, 0);
    state.Variables.assign(96, ScriptValue::FromInteger(0));
    CSpriteLayer* layer =
        CreateSpriteOfType(0, 0, 1920, 1080, 0, LAYER_KIND_MEMORY).release(); // the document's
    layer->FillRect(0, 0, 1920, 1080, TITLE_TEST_LAYER_COLOUR, 1);
    layer->SetVisibleFlag(1);
    GetSpriteLayerRegistry().RegisterSpriteLayer(0, layer);
    m_layer_zero = layer;
}

FlagBuffer& TitleFixture::State()
{
    return *GetScriptState().m_current_state;
}

void TitleFixture::Drive(int pump, std::vector<std::function<void()>>& steps,
                         const std::function<void()>& past_the_end)
{
    if (m_press_at >= 0 && pump == m_press_at + 1) {
        if (m_key.empty())
            m_mouse.left_down = 1;
        else
            m_keyboard.down.insert(m_key.begin(), m_key.end());
    }
    if (m_press_at >= 0 && pump == m_press_at + 3) {
        m_mouse.left_down = 0;
        m_keyboard.down.clear();
        m_key.clear();
        m_press_at = -1;
    }
    if (pump % STEP_PUMPS == 0) {
        const size_t index = static_cast<size_t>(pump / STEP_PUMPS) - 1;
        if (index < steps.size()) {
            m_press_at = -1;
            steps[index]();
        } else {
            past_the_end();
        }
    }
}

int32_t TitleFixture::RunSteps(ISelect& screen, const std::function<void()>& run,
                               std::vector<std::function<void()>> steps)
{
    PointAt(0, 0);
    screen.Result = ScriptValue::FromInteger(-99);
    OnPump([&](int pump) { Drive(pump, steps, [&] { screen.Running = 0; }); });
    run();
    OnPump(nullptr);
    m_mouse.left_down = 0;
    m_keyboard.down.clear();
    return screen.Result.Integer;
}

int TitleFixture::RunScript(const std::string& source, std::vector<std::function<void()>> steps)
{
    const tools::AssembledScript assembled = tools::AssembleScript(source);
    EXPECT_TRUE(assembled.Ok) << assembled.Error;
    auto script = std::make_shared<CScript>();
    script->LoadImage(assembled.File, CStringUTF8("title.mes"));
    CVeskDoc* document = GetDocument();
    GetScriptState().ReplaceScript(script);
    PointAt(0, 0);
    OnPump([&](int pump) {
        Drive(pump, steps, [] {
            const auto& active = GetGameWork()->GetActiveScreens();
            if (!active.empty())
                active.back()->Running = 0;
        });
    });
    int frames = 0;
    while (frames < 1000 && document->OnFrame() != 0)
        ++frames;
    OnPump(nullptr);
    m_mouse.left_down = 0;
    m_keyboard.down.clear();
    return frames;
}

std::function<void()> TitleFixture::Click(const std::vector<tools::AreaRecord>& areas, uint32_t item)
{
    const tools::AreaRecord area = Area(areas, item);
    return [this, area] {
        PointAtCentre(area);
        m_key.clear();
        m_press_at = Pumps();
    };
}

std::function<void()> TitleFixture::Key(uint32_t scan_code)
{
    return [this, scan_code] {
        m_key = {scan_code};
        m_press_at = Pumps();
    };
}

const tools::AreaRecord& TitleFixture::Area(const std::vector<tools::AreaRecord>& areas, uint32_t item)
{
    for (const tools::AreaRecord& area : areas)
        if (area.id == item)
            return area;
    throw std::logic_error("no such item");
}

std::pair<uint32_t, int32_t> TitleFixture::ShownAt(const tools::AreaRecord& area)
{
    Capture();
    return ShownCell((area.left + area.right) / 2, (area.top + area.bottom) / 2);
}

std::pair<uint32_t, int32_t> TitleFixture::LayerZeroAt(const tools::AreaRecord& area)
{
    uint32_t id = 0;
    int32_t state = 0;
    const uint32_t pixel =
        EffectPixel(*m_layer_zero, (area.left + area.right) / 2, (area.top + area.bottom) / 2);
    if (!tools::DecodeCellColour(pixel | 0xFF000000u, id, state))
        return {0xFFFFFFFFu, -1};
    return {id, state};
}
