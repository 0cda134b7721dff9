#include "ExecStage.h"

#include <algorithm>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "arcpack/ArchiveWriter.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/PictureSlot.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/ScriptState.h"
#include "script/exec/CFuncExec.h"
#include "script/exec/StandingCharacterSet.h"
#include "script/vm/ScriptContext.h"
#include "support/StartupPictures.h"

namespace {

tools::AkbPicture Body(uint32_t colour)
{
    return PictureWithBox(2048, 1100, 0x00000000, BODY_BOX.left, BODY_BOX.top, BODY_BOX.right,
                          BODY_BOX.bottom, colour);
}

std::vector<uint8_t> Encode(const tools::AkbPicture& picture)
{
    return tools::EncodeAkb(picture, {});
}

std::vector<tools::ArchiveEntry> StagePictures()
{
    tools::AkbPicture hit = Body(0xFF030100);
    tools::AkbPicture face = PictureWithBox(2048, 400, 0x00000000, FACE_BOX.left, FACE_BOX.top,
                                            FACE_BOX.right, FACE_BOX.bottom, FACE);
    tools::AkbPicture part = PictureWithBox(960, 512, 0x00000000, 0, 0, 100, 100, PART);
    return {
        {"A01.AKB", Encode(Body(BODY_A1))},
        {"A02.AKB", Encode(Body(BODY_A2))},
        {"B01.AKB", Encode(Body(BODY_B))},
        {"C01.AKB", Encode(Body(BODY_C))},
        {"A_FACE.AKB", Encode(face)},
        {"A_PART.AKB", Encode(part)},
        {"A_HIT.AKB", Encode(hit)},
        {"CURSOR.AKB", Encode(tools::MakePicture(128, 192, 0xFF102030))},
        {"SEL_P.AKB", Encode(tools::MakePicture(1, 1, 0))}, // the choice window's sheet, which start-up needs
        {"BG.AKB", Encode(tools::MakePicture(1920, 1080, STAGE_BASE))},
        {"OV.AKB", Encode(tools::MakePicture(100, 100, STAGE_OVERLAY))},
        {"S04A.AKB", Encode(tools::MakePicture(64, 64, 0xFF0000A0))},
        {"S04B.AKB", Encode(tools::MakePicture(64, 64, 0xFF0000B0))},
        {"S04C.AKB", Encode(tools::MakePicture(64, 64, 0xFF0000C0))},
        {"EPILOGUE03_BG.AKB", Encode(tools::MakePicture(64, 64, 0xFF0000D0))},
        {"Y04BTR.AKB", Encode(tools::MakePicture(400, 100, 0xFFA0A000))},
        {"Y04BB.AKB", Encode(tools::MakePicture(1920, 1080, STAGE_STATION))},
    };
}

CSpriteLayer& Register(int32_t number, int32_t w, int32_t h, int32_t priority, int32_t visible)
{
    auto* layer = new CSpriteLayer;
    layer->Create(0, 0, w, h, priority);
    layer->SetVisibleFlag(visible);
    GetSpriteLayerRegistry().RegisterSpriteLayer(number, layer);
    return *layer;
}

} // namespace

ExecStage::ExecStage()
{
    m_app.SetSaveFolders((m_dir.Path().string() + "/").c_str(), (m_dir.Path().string() + "/").c_str());
    WriteStartableGameFolder(m_dir);
    std::vector<tools::ArchiveEntry> pictures = StagePictures();
    for (tools::ArchiveEntry& entry : StartupPictureEntries())
        pictures.push_back(std::move(entry));
    OpenLayerArchive(std::move(pictures));
    // The document opens the archive itself.
    SetDocumentLayerFile(nullptr);
    m_layer_file.reset();
    CVeskDoc* document = GetDocument();
    document->StartGame();
    Register(PICTURE_LAYER_SCENE, 1920, 1080, 0, 1).FillRect(0, 0, 1920, 1080, STAGE_BLACK, 1);
    Register(PICTURE_LAYER_BASE, 1920, 1080, -1, 0);
    Register(PICTURE_LAYER_WORK, 1920, 1080, -1, 0);
    Register(3, 960, 512, -1, 0);
    Register(5, 2048, 1100, -1, 0);
    Register(PICTURE_LAYER_FADE, 1920, 1080, 12, 0);
    m_exec = static_cast<CFuncExec*>(GetScriptState().m_script_context->GetExecGroup());
    m_capture.Create(0, 0, 1920, 1080, -1);
    ClearPictureSlots();
}

ExecStage::~ExecStage()
{
    ClearPictureSlots();
}

void CallExec(CFuncExec& exec, CScript& script, const std::vector<ExecArg>& popped)
{
    ScriptContext& context = *GetScriptState().m_script_context;
    for (auto it = popped.rbegin(); it != popped.rend(); ++it) {
        if (const int32_t* integer = std::get_if<int32_t>(&*it))
            context.PushInteger(*integer);
        else
            context.Push(ScriptValue::FromText(CStringUTF8(std::get<const char*>(*it))));
    }
    exec.Call(script);
}

WeatherStage::WeatherStage()
{
    OpenLayerArchive();
    GetScriptState().m_script_context = std::make_unique<ScriptContext>();
    m_exec = std::make_unique<CFuncExec>();
}

WeatherStage::~WeatherStage()
{
    // The effects stop their tasks and builders before the stage goes.
    m_exec.reset();
    GetScriptState().m_script_context.reset();
}

CSpriteLayer& ExecStage::Layer(int32_t number)
{
    return *GetSpriteLayerRegistry().GetSpriteLayer(number);
}

StandingCharacterSet& ExecStage::Characters()
{
    return *GetGameWork()->m_characters;
}

size_t ExecStage::StackSize()
{
    return GetScriptState().m_script_context->ValueStack.size();
}
