#include "graphics/TrainMapContext.h"

#include "foundation/DocumentLink.h"
#include "foundation/GameValues.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/CTrainAnime.h"
#include "graphics/CTrainMap.h"
#include "graphics/SpriteAnimRecord.h"

namespace {

constexpr POINT TRAIN_RIGHT{1064, 233};
constexpr POINT TRAIN_LEFT{564, 233};
constexpr int32_t TRAIN_REVEAL_TICKS = 12;

// A picture only drawn from: a memory sprite of the picture's size, not in the draw list.
std::unique_ptr<CSprite> LoadPictureSprite(const CStringUTF8& name)
{
    CLayerFile* file = GetDocumentLayerFile();
    if (file == nullptr)
        return nullptr;
    return std::unique_ptr<CSprite>(
        file->LoadSprite(name, nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
}

std::unique_ptr<CSprite> MakeDisplaySprite(POINT at, int32_t width, int32_t height, int32_t priority)
{
    std::unique_ptr<CSprite> sprite(CreateSpriteLayer(LAYER_KIND_TEXTURE));
    if (auto* texture = dynamic_cast<CSpriteTexture*>(sprite.get()))
        texture->Create(nullptr, static_cast<float>(at.x), static_cast<float>(at.y),
                        RECT{0, 0, width, height}, priority, 0);
    return sprite;
}

int32_t CurrentGameTime()
{
    DocumentLink* link = GetDocumentLink();
    return link != nullptr ? link->GetGameValue(VALUE_GAME_TIME) : 0;
}

} // namespace

std::pair<CStringUTF8, CStringUTF8> SelectTrainLinePictures(int32_t game_time)
{
    if (game_time < 344)
        return {"senro_4.akb", "senro_4_o.akb"};
    if (game_time < 408)
        return {"senro_1.akb", "senro_1_o.akb"};
    if (game_time < 1600)
        return {"senro_2.akb", "senro_2_o.akb"};
    if (game_time < 1730)
        return {"senro_3.akb", "senro_3_o.akb"};
    return {"senro_4.akb", "senro_4_o.akb"};
}

TrainMapContext::TrainMapContext() = default;

TrainMapContext::~TrainMapContext()
{
    FinishTrainAnimation(*this);
}

void CreateTrainMap(TrainMapContext& context, int32_t direction)
{
    context.m_direction = direction;
    context.m_den_picture = LoadPictureSprite("DEN.akb");
    const auto [line, overlay] = SelectTrainLinePictures(CurrentGameTime());
    context.m_line_picture = LoadPictureSprite(line);
    context.m_overlay_picture = LoadPictureSprite(overlay);
    context.m_train_display =
        MakeDisplaySprite(direction == 1 ? TRAIN_RIGHT : TRAIN_LEFT, TRAIN_WIDTH, TRAIN_HEIGHT, 6);
    context.m_display_a = MakeDisplaySprite(POINT{0, 0}, 1920, 1080, 5);
    context.m_display_b = MakeDisplaySprite(POINT{0, 0}, 1920, 1080, 7);
    context.m_anime = std::make_unique<CSpriteAnime>(15);
    context.m_train_anime =
        std::make_unique<CTrainAnime>(context.m_den_picture.get(), context.m_train_display.get());
    context.m_train_map =
        std::make_unique<CTrainMap>(direction, context.m_line_picture.get(), context.m_display_a.get(),
                                    context.m_overlay_picture.get(), context.m_display_b.get());
}

void PlayTrainMap(TrainMapContext& context, const ScreenReveal& reveal)
{
    if (context.m_anime == nullptr || context.m_train_anime == nullptr || context.m_train_map == nullptr)
        return;
    // Both pictures are on screen before the fade sprite lifts.
    context.m_train_anime->Begin();
    context.m_train_map->Begin();
    if (reveal)
        reveal(TRAIN_REVEAL_TICKS);

    if (CSprite* train = context.m_train_display.get()) {
        SpriteAnimRecord blink(TRAIN_MAP_TICKS);
        blink.SetUserAnime(context.m_train_anime.get());
        train->AddAnimation(blink);
        SpriteAnimRecord slide(TRAIN_SLIDE_TICKS);
        if (context.m_direction == 1)
            slide.SetRect(TRAIN_RIGHT.x, TRAIN_RIGHT.y, TRAIN_LEFT.x, TRAIN_LEFT.y);
        else
            slide.SetRect(TRAIN_LEFT.x, TRAIN_LEFT.y, TRAIN_RIGHT.x, TRAIN_RIGHT.y);
        train->AddAnimation(slide);
        context.m_anime->AddSprite(train);
    }
    if (CSprite* map = context.m_display_a.get()) {
        SpriteAnimRecord scroll(TRAIN_MAP_TICKS);
        scroll.SetUserAnime(context.m_train_map.get());
        map->AddAnimation(scroll);
        context.m_anime->AddSprite(map);
    }
    context.m_anime->PlayAndWait();
}

void FinishTrainAnimation(TrainMapContext& context)
{
    if (context.m_anime != nullptr) {
        context.m_anime->Stop();
        context.m_anime->WaitForEnd();
        // The task goes first: it lists the sprites released below.
        context.m_anime.reset();
    }
    context.m_display_b.reset();
    context.m_display_a.reset();
    context.m_overlay_picture.reset();
    context.m_line_picture.reset();
    context.m_train_display.reset();
    context.m_den_picture.reset();
    context.m_train_map.reset();
    context.m_train_anime.reset();
}
