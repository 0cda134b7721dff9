#include "screens/system/CTitleAnime.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "foundation/AppLink.h"
#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "platform/kernel/SyncApi.h"

namespace {

constexpr std::array<std::pair<int32_t, int32_t>, 17> PATH{{{375, -128},
                                                            {247, -55},
                                                            {118, 73},
                                                            {35, 201},
                                                            {-6, 329},
                                                            {-3, 456},
                                                            {50, 584},
                                                            {142, 713},
                                                            {270, 807},
                                                            {398, 868},
                                                            {526, 906},
                                                            {654, 923},
                                                            {782, 924},
                                                            {910, 919},
                                                            {1038, 902},
                                                            {1166, 872},
                                                            {1294, 816}}};

struct Segment
{
    int32_t first;
    int32_t last;
    float start;
    float change;
};

// Rotation over 20-tick segments: start - k x change / 20; none between 281 and 299.
constexpr std::array<Segment, 14> ROTATION{{{20, 40, 60, 20},
                                            {40, 60, 40, 10},
                                            {60, 80, 30, 15},
                                            {80, 100, 15, 20},
                                            {100, 120, -5, 20},
                                            {120, 140, -25, 10},
                                            {140, 160, -35, 15},
                                            {160, 180, -50, 15},
                                            {180, 200, -65, 10},
                                            {200, 220, -75, 5},
                                            {220, 240, -80, 5},
                                            {240, 260, -85, 5},
                                            {260, 280, -90, 5},
                                            {300, 320, -105, 5}}};

// Scale: start + k x change / ticks, with k from the segment's first tick.
struct ScaleSegment
{
    int32_t first;
    int32_t last;
    float start;
    float change;
    float ticks;
};
constexpr std::array<ScaleSegment, 5> SCALE{{{20, 100, 1.5f, -0.29999995f, 80},
                                             {100, 120, 1.2f, 0.19999993f, 20},
                                             {120, 180, 1.4f, -0.59999996f, 60},
                                             {180, 200, 0.8f, 0.19999999f, 20},
                                             {200, 320, 1.0f, -0.5f, 120}}};

constexpr std::array<int32_t, 6> FLIPS{40, 100, 140, 200, 240, 260};

constexpr float START_SCALE = 1.5f;
constexpr float START_ROTATION = 60.0f;
constexpr float START_POSITION = -200.0f;
constexpr int32_t FLOWER_CENTRE = 64;
constexpr double PATH_STEP = 4.0 / 75.0;
constexpr int32_t BACKGROUND_PRIORITY = 50;
constexpr int32_t FLOWER_PRIORITY = 51;
constexpr uint32_t FADE_RULE = 62;

// The uniform cubic B-spline's weight at distance d from a control point.
double SplineWeight(double d)
{
    if (d < 1.0)
        return (3.0 * d * d * d - 6.0 * d * d + 4.0) / 6.0;
    if (d < 2.0)
        return (2.0 - d) * (2.0 - d) * (2.0 - d) / 6.0;
    return 0.0;
}

// A press that skipped a phase asks for the title, it is no click on it: the next phase and the
// title that follows wait until it is let go, and forget it.
void WaitForSkipRelease()
{
    CInputView* input = GetInputView();
    if (input == nullptr)
        return;
    while (input->IsActionTriggered(INPUT_OK, 0) != 0) {
        AppLink* app = GetAppLink();
        if (app == nullptr || app->PumpMessage() == 0)
            return;
        Sleep(1);
    }
    if (IMouse* mouse = input->GetMouse())
        mouse->ClearClicks();
}

} // namespace

CTitleAnime::~CTitleAnime()
{
    Cleanup();
}

void CTitleAnime::Cleanup()
{
    m_flower.reset();
    m_background.reset();
}

void CTitleAnime::LoadImages()
{
    GameDocument* document = GetGameDocument();
    CLayerFile* file = document != nullptr ? document->GetLayerFile() : nullptr;
    if (file == nullptr)
        return;
    m_flower.reset(file->LoadSprite("hana_0000.akb", nullptr, LAYER_KIND_TEXTURE, 0, FLOWER_PRIORITY, nullptr,
                                    -1, -1, 0));
    m_background.reset(file->LoadSprite(MakeLanguageFileName("title_n_bg.akb"), nullptr, LAYER_KIND_MEMORY, 0,
                                        BACKGROUND_PRIORITY, nullptr, -1, -1, 0));
}

CSpriteLayer* CTitleAnime::FindLayerZero()
{
    GameDocument* document = GetGameDocument();
    return document != nullptr ? document->FindSpriteLayer(0) : nullptr;
}

void CTitleAnime::Finish()
{
    if (m_flower)
        m_flower->SetVisibleFlag(0);
    CSpriteLayer* layer = FindLayerZero();
    auto* background = dynamic_cast<CSpriteLayer*>(m_background.get());
    if (layer == nullptr || background == nullptr)
        return;
    LiveDrawLock lock;
    layer->Blt(0, 0, 1920, 1080, background, 0, 0, 0);
    layer->Invalidate(1, *layer->GetRect());
}

void CTitleAnime::Play()
{
    CSpriteLayer* layer = FindLayerZero();
    if (layer == nullptr || dynamic_cast<CSpriteTexture*>(m_flower.get()) == nullptr || !m_background) {
        Finish();
        return;
    }
    try {
        {
            CSpriteAnime anime;
            SpriteAnimRecord record(TITLE_ANIME_TICKS);
            record.SetUserAnime(this);
            layer->AddAnimation(record);
            anime.AddSprite(layer);
            anime.PlayAndWait();
            if (anime.IsSkipped())
                WaitForSkipRelease();
        }
        {
            CSpriteAnime anime;
            SpriteAnimRecord appear(TITLE_ANIME_FADE_TICKS);
            appear.SetVisible(1);
            appear.SetTransition(1, 0, FADE_RULE);
            m_background->AddAnimation(appear);
            SpriteAnimRecord fade(TITLE_ANIME_FADE_TICKS);
            fade.SetVisible(0);
            fade.SetAlpha(255, 0);
            m_flower->AddAnimation(fade);
            anime.AddSprite(m_background.get());
            anime.AddSprite(m_flower.get());
            anime.PlayAndWait();
            if (anime.IsSkipped())
                WaitForSkipRelease();
        }
    } catch (GameDocument::tagDOCUMENT_CODE) {
        Finish();
        throw;
    }
    Finish();
}

void CTitleAnime::Begin()
{
    m_scale = START_SCALE;
    m_rotation = START_ROTATION;
    m_x = START_POSITION;
    m_y = START_POSITION;
    m_points.clear();
    auto* flower = dynamic_cast<CSpriteTexture*>(m_flower.get());
    if (flower == nullptr)
        return;
    flower->SetVisibleFlag(1);
    flower->SetPositionF(m_x, m_y);
    flower->SetRotation(m_rotation);
    flower->SetZoomCenterInt(FLOWER_CENTRE, FLOWER_CENTRE);
    flower->SetRotationOriginInt(FLOWER_CENTRE, FLOWER_CENTRE);
}

void CTitleAnime::StepPath(int32_t tick)
{
    if (tick > TITLE_ANIME_TICKS)
        return;
    if (tick == TITLE_ANIME_TICKS) {
        m_x = static_cast<float>(PATH.back().first);
        m_y = static_cast<float>(PATH.back().second);
        m_points.clear();
        return;
    }
    if (m_points.empty()) {
        m_points.assign(PATH.begin(), PATH.end());
        m_step = PATH_STEP;
        m_t = -1.0;
    } else {
        m_t += m_step;
    }
    const int32_t last = static_cast<int32_t>(m_points.size()) - 1;
    double x = 0.0;
    double y = 0.0;
    for (int32_t i = -2; i <= last + 2; ++i) {
        const auto& point = m_points[static_cast<size_t>(std::clamp(i, 0, last))];
        const double weight = SplineWeight(std::fabs(m_t - i));
        x += point.first * weight;
        y += point.second * weight;
    }
    m_x = static_cast<float>(x);
    m_y = static_cast<float>(y);
    if (auto* flower = dynamic_cast<CSpriteTexture*>(m_flower.get()))
        flower->SetPositionF(m_x, m_y);
}

void CTitleAnime::Update(int32_t step, int32_t)
{
    StepPath(step);
    auto* flower = dynamic_cast<CSpriteTexture*>(m_flower.get());
    for (const Segment& segment : ROTATION)
        if (step >= segment.first && step <= segment.last) {
            m_rotation = segment.start - static_cast<float>(step - segment.first) * segment.change / 20.0f;
            if (flower != nullptr)
                flower->SetRotation(m_rotation);
        }
    for (const ScaleSegment& segment : SCALE)
        if (step >= segment.first && step <= segment.last) {
            m_scale =
                segment.start + static_cast<float>(step - segment.first) * segment.change / segment.ticks;
            if (flower != nullptr)
                flower->SetScale(m_scale, m_scale);
        }
    for (const int32_t flip : FLIPS) {
        float width = -1.0f;
        if (step >= flip && step <= flip + 10)
            width = m_scale - static_cast<float>(step - flip) * m_scale / 10.0f;
        else if (step > flip + 10 && step <= flip + 20)
            width = static_cast<float>(step - flip - 10) * m_scale / 10.0f;
        if (width >= 0.0f && flower != nullptr)
            flower->SetScale(width, m_scale);
    }
}
