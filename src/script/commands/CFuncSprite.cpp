#include "script/commands/CFuncSprite.h"

#include <algorithm>
#include <memory>

#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/FlagBuffer.h"
#include "script/vm/ScriptContext.h"
#include "script/vm/ScriptError.h"

namespace {

constexpr int32_t SPRITE_KIND_TEXTURE = 1;
// Values entries that receive a loaded picture's rectangle: left, top, right, bottom.
constexpr size_t PICTURE_RECT_VALUE = 42;
constexpr uint32_t OPAQUE_BLACK = 0xFF000000u;
constexpr int32_t FILL_WHOLE_WORD = 1;
constexpr int32_t IMMEDIATE_SPRITE = 0;

bool HasPixelArgument(int32_t sub)
{
    return sub == 3 || sub == 4 || sub == 8 || sub == 30;
}

} // namespace

void CFuncSprite::Report(const char* format, int32_t number)
{
    if (m_reported)
        return;
    m_reported = true;
    CStringUTF8 text;
    text.Format(format, number);
    ReportScriptError(text);
}

CSpriteLayer* CFuncSprite::Sprite(int32_t number)
{
    CSpriteLayer* sprite = GetSpriteLayerRegistry().GetSpriteLayer(number);
    if (sprite == nullptr)
        Report("%d番のスプライトレイヤーは登録されていません。", number);
    return sprite;
}

CSpriteAnime* CFuncSprite::Anime(int32_t number)
{
    auto found = GetSpriteLayerRegistry().SpriteAnimes().find(number);
    auto* anime =
        found == GetSpriteLayerRegistry().SpriteAnimes().end() ? nullptr : dynamic_cast<CSpriteAnime*>(found->second.get());
    if (anime == nullptr)
        Report("%d番のスプライトアニメーションは登録されていません。", number);
    return anime;
}

SpriteAnimRecord* CFuncSprite::Pending(int32_t number)
{
    CSpriteLayer* sprite = Sprite(number);
    if (sprite == nullptr)
        return nullptr;
    SpriteAnimRecord* record = sprite->GetPendingRecord();
    if (record == nullptr)
        Report("%d番のスプライトレイヤーにアニメーションが登録されていません。", number);
    return record;
}

void CFuncSprite::Call(CScript&)
{
    const int32_t sub = Context->PopInteger();
    switch (sub) {
    case 0:
        CreateSprite();
        break;
    case 1:
        LoadPicture();
        break;
    case 2:
        if (CSpriteLayer* sprite = Sprite(Context->PopInteger())) {
            if (ILayer* layer = sprite->GetLayer()) {
                LiveDrawLock draw_lock;
                const RECT* rect = sprite->GetRect();
                layer->FillRect(0, 0, rect->right - rect->left, rect->bottom - rect->top, OPAQUE_BLACK,
                                FILL_WHOLE_WORD);
            }
            sprite->Show();
        }
        break;
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 29:
    case 30:
        RunPixelOperation(sub);
        break;
    case 10:
        if (CSpriteLayer* sprite = Sprite(Context->PopInteger()))
            sprite->Show();
        break;
    case 11:
        if (CSpriteLayer* sprite = Sprite(Context->PopInteger()))
            sprite->Hide();
        break;
    case 12: {
        CSpriteLayer* sprite = Sprite(Context->PopInteger());
        Context->PushInteger(sprite != nullptr && sprite->IsVisible() ? 1 : 0);
        break;
    }
    case 13: {
        CSpriteLayer* sprite = Sprite(Context->PopInteger());
        const int32_t priority = Context->PopInteger();
        if (sprite != nullptr)
            sprite->SetPriority(priority);
        break;
    }
    case 14: {
        CSpriteLayer* sprite = Sprite(Context->PopInteger());
        const int32_t x = Context->PopInteger();
        const int32_t y = Context->PopInteger();
        if (sprite != nullptr) {
            {
                LiveDrawLock draw_lock;
                sprite->SetPosition(x, y);
            }
            RedrawFrameNow();
        }
        break;
    }
    case 15: {
        CSpriteLayer* sprite = Sprite(Context->PopInteger());
        const int32_t alpha = Context->PopInteger();
        if (sprite != nullptr) {
            {
                LiveDrawLock draw_lock;
                sprite->SetAlpha(alpha);
            }
            RedrawFrameNow();
        }
        break;
    }
    case 16:
        if (CSpriteLayer* sprite = Sprite(Context->PopInteger());
            sprite != nullptr && sprite->BeginRecord() == nullptr)
            ReportScriptError(CStringUTF8("アニメーション登録バッファの確保に失敗しました。"));
        break;
    case 17: {
        const int32_t number = Context->PopInteger();
        const int32_t duration = Context->PopInteger();
        if (SpriteAnimRecord* record = Pending(number)) {
            record->m_duration = std::max(duration, 1);
            GetSpriteLayerRegistry().GetSpriteLayer(number)->CommitRecord();
        }
        break;
    }
    case 18:
    case 19:
    case 20:
    case 21:
    case 22:
    case 23:
    case 24:
        RecordStep(sub);
        break;
    case 25:
        CreateAnime();
        break;
    case 26: {
        CSpriteAnime* anime = Anime(Context->PopInteger());
        const int32_t number = Context->PopInteger();
        CSpriteLayer* sprite = anime != nullptr ? Sprite(number) : nullptr;
        if (sprite != nullptr)
            anime->AddSprite(sprite);
        break;
    }
    case 27: {
        CSpriteAnime* anime = Anime(Context->PopInteger());
        const int32_t wait = Context->PopInteger();
        if (anime != nullptr)
            anime->Play(wait, wait != 0 ? ANIME_SKIP_FLAGS : 0, wait != 0 ? ANIME_REQUEST_MASK : 0, 0);
        break;
    }
    case 28:
        // The task leaves the runner and finishes its sprites as it goes.
        GetSpriteLayerRegistry().SpriteAnimes().erase(Context->PopInteger());
        break;
    default:
        break;
    }
}

void CFuncSprite::CreateSprite()
{
    const int32_t number = Context->PopInteger();
    const int32_t width = Context->PopInteger();
    const int32_t height = Context->PopInteger();
    const int32_t priority = Context->PopInteger();
    const int32_t kind = Context->PopInteger();
    // A number in use keeps its sprite (animations may list it); registering it again reports.
    if (CSpriteLayer* existing = GetSpriteLayerRegistry().GetSpriteLayer(number)) {
        GetSpriteLayerRegistry().RegisterSpriteLayer(number, existing);
        return;
    }
    std::unique_ptr<CSpriteLayer> sprite;
    try {
        if (kind == SPRITE_KIND_TEXTURE) {
            auto texture = std::make_unique<CSpriteTexture>();
            texture->Create(nullptr, 0.0f, 0.0f, RECT{0, 0, width, height}, priority, 0);
            sprite = std::move(texture);
        } else {
            sprite = std::make_unique<CSpriteLayer>();
            sprite->Create(0, 0, width, height, priority);
        }
    } catch (const CStringUTF8& failure) {
        ReportScriptError(failure);
        return;
    }
    GetSpriteLayerRegistry().RegisterSpriteLayer(number, sprite.release());
}

void CFuncSprite::LoadPicture()
{
    const CStringUTF8 name = Context->PopValue().Text;
    const int32_t number = Context->PopInteger();
    if (GetConfigSceneSkip())
        return;
    CSpriteLayer* sprite = Sprite(number);
    CLayerFile* file = GetSpriteLayerRegistry().GetLayerFile();
    if (file == nullptr)
        file = GetDocumentLayerFile();
    if (sprite == nullptr || file == nullptr)
        return;
    RECT rect{};
    {
        // The load may resize the layer that the draw pass reads on the app-task thread.
        LiveDrawLock draw_lock;
        if (file->LoadSprite(name, sprite, 0, 0, sprite->GetPriority(), &rect, -1, -1, 0) == nullptr)
            return;
    }
    const int32_t corners[4] = {rect.left, rect.top, rect.right, rect.bottom};
    if (CurrentState != nullptr && CurrentState->Values.size() >= PICTURE_RECT_VALUE + 4) {
        for (size_t i = 0; i < 4; ++i)
            CurrentState->Values[PICTURE_RECT_VALUE + i] = ScriptValue::FromInteger(corners[i]);
    }
}

void CFuncSprite::RunPixelOperation(int32_t sub)
{
    PixelCall call;
    call.x = Context->PopInteger();
    call.y = Context->PopInteger();
    call.width = Context->PopInteger();
    call.height = Context->PopInteger();
    call.target = Context->PopInteger();
    // The fills and the halving name no source; the copies a source place and number.
    if (sub == 6) {
        call.value = Context->PopInteger(); // the colour
        call.mode = Context->PopInteger();
    } else if (sub == 9) {
        call.value = Context->PopInteger(); // the alpha
    } else if (sub != 7) {
        call.source_x = Context->PopInteger();
        call.source_y = Context->PopInteger();
        call.source = Context->PopInteger();
        if (HasPixelArgument(sub))
            call.value = Context->PopInteger(); // the mode, the key colour or the opacity
    }
    if (sub == 3 && GetConfigSceneSkip())
        return;
    CSpriteLayer* sprite = Sprite(call.target);
    ILayer* layer = sprite != nullptr ? sprite->GetLayer() : nullptr;
    if (layer == nullptr)
        return;
    const bool copies = sub != 6 && sub != 7 && sub != 9;
    CSpriteLayer* source_sprite = copies ? GetSpriteLayerRegistry().GetSpriteLayer(call.source) : nullptr;
    ILayer* source = source_sprite != nullptr ? source_sprite->GetLayer() : nullptr;
    {
        LiveDrawLock draw_lock;
        ApplyPixelOperation(sub, *layer, source, call);
    }
    if (call.target == IMMEDIATE_SPRITE)
        RedrawFrameNow();
}

void CFuncSprite::ApplyPixelOperation(int32_t sub, ILayer& layer, ILayer* source, const PixelCall& c)
{
    const auto value = static_cast<uint32_t>(c.value);
    switch (sub) {
    case 3:
        layer.Blt(c.x, c.y, c.width, c.height, source, c.source_x, c.source_y, c.value);
        break;
    case 4:
        layer.BltColorKey(c.x, c.y, c.width, c.height, source, c.source_x, c.source_y, value);
        break;
    case 5:
        layer.BltAlpha(c.x, c.y, c.width, c.height, source, c.source_x, c.source_y);
        break;
    case 6:
        layer.FillRect(c.x, c.y, c.width, c.height, value, c.mode);
        break;
    case 7:
        layer.HalveBrightness(c.x, c.y, c.width, c.height);
        break;
    case 8:
        layer.BltOpacity(c.x, c.y, c.width, c.height, source, c.source_x, c.source_y, c.value & 0xFF, 0);
        break;
    case 9:
        layer.SetAlphaRect(c.x, c.y, c.width, c.height, value);
        break;
    case 29:
        layer.BltOver(c.x, c.y, c.width, c.height, source, c.source_x, c.source_y);
        break;
    case 30:
        layer.BltColorKeyAlpha(c.x, c.y, c.width, c.height, source, c.source_x, c.source_y, value);
        break;
    default:
        break;
    }
}

void CFuncSprite::RecordStep(int32_t sub)
{
    const int32_t number = Context->PopInteger();
    int32_t a[6] = {};
    const int counts[] = {1, 1, 4, 2, 4, 6, 3}; // arguments of 18 to 24 after the number
    const int count = counts[sub - 18];
    for (int i = 0; i < count; ++i)
        a[i] = Context->PopInteger();
    SpriteAnimRecord* record = Pending(number);
    if (record == nullptr)
        return;
    switch (sub) {
    case 18:
        record->SetVisible(a[0] == 1 ? 1 : 0);
        break;
    case 19:
        record->SetDelay(a[0]);
        break;
    case 20:
        record->SetRect(a[0], a[1], a[2], a[3]);
        break;
    case 21:
        record->SetAlpha(static_cast<uint8_t>(a[0]), static_cast<uint8_t>(a[1]));
        break;
    case 22:
        record->SetRotation(a[2], a[3], static_cast<float>(a[0]), static_cast<float>(a[1]));
        break;
    case 23:
        record->SetZoom(static_cast<float>(a[0]), static_cast<float>(a[1]), a[2] / 100.0f, a[3] / 100.0f,
                        a[4] / 100.0f, a[5] / 100.0f);
        break;
    case 24:
        record->SetTransition(a[1], a[2], static_cast<uint32_t>(a[0]));
        break;
    default:
        break;
    }
}

void CFuncSprite::CreateAnime()
{
    auto& registry = GetSpriteLayerRegistry().SpriteAnimes();
    int32_t number = 0;
    while (number <= SPRITE_ANIME_NUMBER_LAST && registry.contains(number))
        ++number;
    if (number > SPRITE_ANIME_NUMBER_LAST) {
        Context->PushInteger(-1);
        return;
    }
    registry.emplace(number, std::make_unique<CSpriteAnime>());
    Context->PushInteger(number);
}
