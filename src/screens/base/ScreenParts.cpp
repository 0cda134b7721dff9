#include "screens/base/ScreenParts.h"

#include "foundation/GameDocument.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteTexture.h"
#include "screens/base/ISelect.h"
#include "script/FlagBuffer.h"

namespace {

inline constexpr size_t VARIABLE_REPLAY = 69;

} // namespace

std::unique_ptr<CSpriteLayer> MakeMemorySprite(int32_t x, int32_t y, int32_t width, int32_t height,
                                               int32_t depth)
{
    std::unique_ptr<CSprite> sprite(CreateSpriteOfType(x, y, width, height, depth, LAYER_KIND_MEMORY));
    auto* layer = dynamic_cast<CSpriteLayer*>(sprite.get());
    if (layer == nullptr || layer->GetBits() == nullptr)
        return nullptr;
    sprite.release();
    return std::unique_ptr<CSpriteLayer>(layer);
}

std::unique_ptr<CSpriteLayer> MakeTextureSprite(int32_t x, int32_t y, int32_t width, int32_t height,
                                                int32_t depth)
{
    auto sprite = std::make_unique<CSpriteTexture>();
    sprite->Create(nullptr, static_cast<float>(x), static_cast<float>(y), RECT{0, 0, width, height}, depth,
                   0);
    if (sprite->GetBits() == nullptr)
        return nullptr;
    return sprite;
}

void MarkLayerDrawn(CSpriteLayer& layer)
{
    layer.Invalidate(1, *layer.GetRect());
}

int32_t CurrentVariable(size_t index)
{
    const FlagBuffer* state = GetGameDocument()->m_current_state.get();
    return state != nullptr && index < state->Variables.size() ? state->Variables[index].Integer : 0;
}

int32_t IsReplayState()
{
    return CurrentVariable(VARIABLE_REPLAY) != 0 ? 1 : 0;
}
