// The exec commands of the train: its picture arriving and leaving, the station, and the
// train-line map.

#include "script/exec/CFuncExec.h"

#include <memory>

#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CLayerFile.h"
#include "graphics/CNerinTrain.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/PictureSlot.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerRegistry.h"
#include "graphics/TrainMapContext.h"
#include "script/commands/CFuncScreen.h"
#include "script/exec/ExecPictureTools.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr int32_t TRAIN_PRIORITY = 1;
constexpr int32_t TRAIN_ARRIVAL_TICKS = 494;
constexpr int32_t TRAIN_DEPARTURE_TICKS = 228;
constexpr int32_t TRAIN_STATION_TICKS = 32;
constexpr int32_t TRAIN_FADE_TICKS = 12;

// A new sprite layer holding the whole picture, at the priority; null when it does not load.
std::unique_ptr<CSpriteLayer> LoadPictureSprite(const char* name, int32_t priority)
{
    CLayerFile* file = LayerFile();
    if (file == nullptr)
        return nullptr;
    RECT range{};
    std::unique_ptr<ILayer> layer(file->LoadPicture(name, nullptr, 0, 0, &range, -1, -1, 0));
    if (layer == nullptr)
        return nullptr;
    std::unique_ptr<CSpriteLayer> sprite(static_cast<CSpriteLayer*>(CreateSpriteLayer(0)));
    if (sprite == nullptr)
        return nullptr;
    sprite->AttachLayer(layer.release(), 0, 0, priority);
    sprite->SetPriority(priority);
    return sprite;
}

// Plays the one step alone and waits. The step may name an animation that lives only for this
// call, and a later play would start from the sprite's first step: none stays listed.
void PlayOne(CSprite* sprite, const SpriteAnimRecord& record)
{
    sprite->ClearAnimations();
    sprite->AddAnimation(record);
    {
        CSpriteAnime task;
        task.AddSprite(sprite);
        task.PlayAndWait();
    }
    sprite->ClearAnimations();
}

} // namespace

void CFuncExec::Train()
{
    const int32_t sub = Context->PopInteger();
    switch (sub) {
    case 0:
        m_train.reset();
        m_train = LoadPictureSprite("y04btr.akb", TRAIN_PRIORITY);
        return;
    case 1:
        m_train.reset();
        return;
    case 2:
    case 3: {
        if (m_train == nullptr)
            return;
        const int32_t mode = sub == 2 ? NERIN_TRAIN_ARRIVAL : NERIN_TRAIN_DEPARTURE;
        CNerinTrain run(m_train.get(), mode);
        SpriteAnimRecord record(sub == 2 ? TRAIN_ARRIVAL_TICKS : TRAIN_DEPARTURE_TICKS);
        record.SetUserAnime(&run);
        PlayOne(m_train.get(), record);
        return;
    }
    case 4:
        if (m_train != nullptr) {
            m_train->Show();
            m_train->SetPosition(NERIN_TRAIN_STOP_X, 0);
        }
        return;
    case 5: {
        std::unique_ptr<CSpriteLayer> station = LoadPictureSprite("y04bb.akb", 0);
        ILayer* scene = RegisteredLayer(PICTURE_LAYER_SCENE);
        if (station == nullptr)
            return;
        SpriteAnimRecord record(TRAIN_STATION_TICKS);
        record.SetVisible(1);
        record.SetAlpha(0, 255);
        station->SetAlpha(0);
        PlayOne(station.get(), record);
        if (scene != nullptr) {
            LiveDrawLock lock;
            scene->Blt(0, 0, SCREEN_W, SCREEN_H, station.get(), 0, 0, 1);
        }
        return;
    }
    default:
        return;
    }
}

void CFuncExec::TrainLineMap()
{
    const int32_t direction = Context->PopInteger();
    TrainMapContext train;
    CreateTrainMap(train, direction);
    PlayTrainMap(train, [](int32_t ticks) { CFuncScreen().RunTransition(ticks); });
    if (!GetConfigSceneSkip()) {
        if (CFadeSprite* fade = GetSpriteLayerRegistry().GetFadeSprite())
            fade->FadeToColor(0, TRAIN_FADE_TICKS);
    }
    FinishTrainAnimation(train);
}
