#include "graphics/CLayerFile.h"

#include "foundation/DocumentLink.h"
#include "foundation/ILayerBuffer.h"
#include "foundation/PlayerMessage.h"
#include "graphics/CAkb.h"
#include "graphics/CDIBDC.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/CTextureLayer.h"
#include "platform/kernel/HeapApi.h"

#include <cstdlib>
#include <memory>
#include <new>
#include <string>

namespace {

CLayerFile* g_document_layer_file = nullptr; // not owned: the document's

void ShowRangeError(const CStringUTF8& name, int64_t x, int64_t y, int64_t right, int64_t bottom,
                    ILayer* layer)
{
    CStringUTF8 text;
    text.AppendFormat("LoadPicture image range error : %s\n", name.GetText());
    text.AppendFormat("  Image range > Left = %4lld, Top = %4lld, Right = %4lld, Bottom = %4lld\n",
                      static_cast<long long>(x), static_cast<long long>(y), static_cast<long long>(right),
                      static_cast<long long>(bottom));
    if (layer != nullptr)
        text.AppendFormat("  Layer range > Left = %4d, Top = %4d, Right = %4d, Bottom = %4d\n", 0, 0,
                          layer->GetWidth(), layer->GetHeight());
    ShowPlayerMessage(0, text);
}

void ShowReadError(CStringUTF8 text)
{
    if (DocumentLink* link = GetDocumentLink())
        text = link->FormatScriptError(text);
    ShowPlayerMessage(0, text);
}

// Entry names are looked up without regard to case.
std::string EntryKey(const CStringUTF8& name)
{
    std::string key = name.GetText();
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
}

ILayer* LayerOf(CSprite* sprite)
{
    auto* layered = dynamic_cast<CSpriteLayer*>(sprite);
    return layered != nullptr ? layered->GetLayer() : nullptr;
}

} // namespace

ILayer* CreateLayer(int32_t kind)
{
    // Allocation failures are answered with 0; the failure text "レイヤーオブジェクトの作成に失敗しました。"
    // is left to the caller.
    switch (kind) {
    case LAYER_KIND_MEMORY:
        return new (std::nothrow) CDIB;
    case LAYER_KIND_DIB_SECTION:
        return new (std::nothrow) CDIBDC;
    case LAYER_KIND_TEXTURE:
        return new (std::nothrow) CTextureLayer;
    default:
        return nullptr;
    }
}

CSprite* CreateSpriteLayer(int32_t kind)
{
    switch (kind) {
    case LAYER_KIND_MEMORY:
    case LAYER_KIND_DIB_SECTION: {
        auto* sprite = new (std::nothrow) CSpriteLayer;
        if (sprite != nullptr)
            sprite->SetLayerKind(kind);
        return sprite;
    }
    case LAYER_KIND_TEXTURE:
        return new (std::nothrow) CSpriteTexture;
    default:
        return nullptr;
    }
}

std::unique_ptr<CSpriteLayer> CreateSpriteOfType(int32_t x, int32_t y, int32_t width, int32_t height,
                                                 int32_t priority, int32_t type)
{
    // Every kind CreateSpriteLayer makes is a sprite layer.
    std::unique_ptr<CSpriteLayer> sprite(static_cast<CSpriteLayer*>(CreateSpriteLayer(type)));
    if (sprite == nullptr)
        return nullptr;
    sprite->Create(x, y, width, height, priority);
    return sprite;
}

CLayerFile::CLayerFile(CStringUTF8 list, bool compressed, bool raise)
    : CArchiveManager(std::move(list), compressed, raise)
{}

CLayerFile::~CLayerFile() = default;

int32_t CLayerFile::ReadEntry(CStringUTF8 name, ILayerBuffer& buffer)
{
    try {
        OpenEntry(name);
        buffer.Allocate(GetSize());
        if (CArchiveFile* archive = GetCurrentArchive())
            archive->ReadAll(buffer.GetBuffer());
        CloseEntry();
        return 1;
    } catch (const CStringUTF8& text) {
        CloseEntry();
        ShowReadError(text);
        return 0;
    } catch (const std::bad_alloc&) {
        CloseEntry();
        ShowReadError(CStringUTF8().Format("ファイルの読み込みに失敗しました\n%s", name.GetText()));
        return 0;
    }
}

ILayer* CLayerFile::LoadPicture(CStringUTF8 name, ILayer* layer, int32_t kind, int32_t texture_argument,
                                RECT* out, int32_t x, int32_t y, int32_t fill_mode)
{
    bool failed = false;
    return LoadPictureAt(name, layer, kind, texture_argument, out, x, y, fill_mode, 0, &failed);
}

ILayer* CLayerFile::LoadPictureAt(const CStringUTF8& name, ILayer* layer, int32_t kind,
                                  int32_t texture_argument, RECT* out, int32_t x, int32_t y,
                                  int32_t fill_mode, int32_t depth, bool* failed)
{
    *failed = true;
    if (x == -1)
        x = 0;
    if (y == -1)
        y = 0;
    ILayerBuffer buffer;
    if (!ReadEntry(name, buffer))
        return layer;
    const CAkb akb(buffer.GetBuffer(), buffer.GetSize());
    if (akb.GetKind() == CAkb::Kind::None)
        return layer;
    const int64_t right = int64_t{x} + akb.GetWidth();
    const int64_t bottom = int64_t{y} + akb.GetHeight();
    if (x < 0 || y < 0 || right < 1 || bottom < 1 || right > MAX_PICTURE_WIDTH ||
        bottom > MAX_PICTURE_HEIGHT) {
        ShowRangeError(name, x, y, right, bottom, nullptr);
        return nullptr;
    }
    // A damaged picture is refused before anything is made or drawn, like a file that is not AKB.
    if (!akb.IsWellFormed())
        return layer;
    if (layer == nullptr) {
        const RECT content = akb.GetContentRect();
        const int64_t backed = int64_t{content.right - content.left} * (content.bottom - content.top);
        if (right * bottom - backed > MAX_UNBACKED_PIXELS) {
            ShowRangeError(name, x, y, right, bottom, nullptr);
            return nullptr;
        }
    }
    const bool difference = akb.GetKind() == CAkb::Kind::Difference;
    if (difference) {
        // A base that leads back to itself would recurse without end; a deep chain is refused.
        if (depth >= MAX_DIFFERENCE_DEPTH) {
            ShowReadError(CStringUTF8().Format("LoadPicture base image error : %s\n", name.GetText()));
            return layer;
        }
        // The changed pixels pass through the work layer, which must hold the whole picture.
        if (m_work_layer == nullptr || m_work_layer->GetWidth() < right ||
            m_work_layer->GetHeight() < bottom) {
            ShowRangeError(name, x, y, right, bottom, m_work_layer);
            return nullptr;
        }
    }
    if (layer != nullptr && (layer->GetWidth() < right || layer->GetHeight() < bottom)) {
        ShowRangeError(name, x, y, right, bottom, layer);
        return nullptr;
    }

    std::unique_ptr<ILayer> created;
    if (layer == nullptr) {
        created.reset(CreateLayer(kind));
        if (created == nullptr)
            return nullptr;
        // Pixels that cannot be had end the load like an entry that cannot be read.
        try {
            if (kind == LAYER_KIND_TEXTURE) {
                if (static_cast<CTextureLayer*>(created.get())
                        ->Create(static_cast<int32_t>(right), static_cast<int32_t>(bottom), texture_argument,
                                 nullptr) != 0)
                    return nullptr;
            } else {
                created->Create(static_cast<int32_t>(right), static_cast<int32_t>(bottom));
            }
            // The decode writes only the pixels the picture has (its zero bytes over the new
            // layer's are not stored): huge pages would fill a sheet's blank parts all the same.
            if (uint8_t* bits = created->GetBits())
                platform::PreferSmallPages(bits, static_cast<size_t>(std::abs(created->GetPitch())) *
                                                     static_cast<size_t>(created->GetHeight()));
        } catch (const CStringUTF8& text) {
            ShowReadError(text);
            return nullptr;
        } catch (const std::bad_alloc&) {
            ShowReadError(CStringUTF8("レイヤーオブジェクトの作成に失敗しました。"));
            return nullptr;
        }
    }
    ILayer* target = layer != nullptr ? layer : created.get();

    target->Lock();
    RECT content{};
    bool decoded = false;
    ++m_decodes[EntryKey(name)];
    if (!difference) {
        decoded = DecodeAkb(akb, target, x, y, &content, fill_mode, created != nullptr);
    } else {
        // A base that fails has shown its message; the difference is still drawn over what the
        // layer holds.
        bool base_failed = true;
        LoadPictureAt(CStringUTF8(akb.GetBaseFileName()), target, kind, texture_argument, out, x, y,
                      fill_mode, depth + 1, &base_failed);
        m_work_layer->Lock();
        decoded = DecodeAkb(akb, m_work_layer, x, y, &content, fill_mode);
        m_work_layer->Unlock();
        if (decoded) {
            target->BltColorKey(x + content.left, y + content.top, content.right - content.left,
                                content.bottom - content.top, m_work_layer, x + content.left, y + content.top,
                                AKB_DIFFERENCE_KEY);
        }
    }
    target->Unlock();
    if (!decoded)
        return layer;

    if (out != nullptr) {
        if (fill_mode == 0 && !difference)
            *out = content;
        else
            *out = RECT{x, y, static_cast<LONG>(right), static_cast<LONG>(bottom)};
    }
    *failed = false;
    created.release();
    return target;
}

CSprite* CLayerFile::LoadSprite(CStringUTF8 name, CSprite* sprite, int32_t kind, int32_t texture_argument,
                                int32_t priority, RECT* out, int32_t x, int32_t y, int32_t fill_mode)
{
    ILayer* given = sprite != nullptr ? LayerOf(sprite) : nullptr;
    // LoadPicture answers the given layer when there is one, else a new layer for us to place.
    ILayer* loaded = LoadPicture(name, given, kind, texture_argument, out, x, y, fill_mode);
    if (loaded == nullptr)
        return nullptr;
    std::unique_ptr<ILayer> made(loaded != given ? loaded : nullptr);
    if (sprite != nullptr) {
        // A sprite without a layer of its own takes the new one rather than leaving it unowned.
        if (made != nullptr) {
            if (auto* layered = dynamic_cast<CSpriteLayer*>(sprite))
                layered->AttachLayer(made.release(), 0, 0, layered->GetPriority());
        }
        return sprite;
    }
    CSprite* created = CreateSpriteLayer(kind);
    if (created == nullptr)
        return nullptr;
    if (kind == LAYER_KIND_TEXTURE)
        static_cast<CSpriteTexture*>(created)->AdoptTexture(
            std::unique_ptr<CTextureLayer>(static_cast<CTextureLayer*>(made.release())));
    else
        static_cast<CSpriteLayer*>(created)->AttachLayer(made.release(), 0, 0, 0);
    created->SetPriority(priority);
    return created;
}

std::shared_ptr<CSprite> CLayerFile::FindSheet(const CStringUTF8& name)
{
    const auto found = m_sheets.find(EntryKey(name));
    return found != m_sheets.end() ? found->second.lock() : nullptr;
}

void CLayerFile::KeepSheet(const CStringUTF8& name, const std::shared_ptr<CSprite>& sheet)
{
    m_sheets[EntryKey(name)] = sheet;
}

uint32_t CLayerFile::GetDecodeCount(const CStringUTF8& name) const
{
    const auto found = m_decodes.find(EntryKey(name));
    return found != m_decodes.end() ? found->second : 0;
}

void SetDocumentLayerFile(CLayerFile* file)
{
    g_document_layer_file = file;
}

CLayerFile* GetDocumentLayerFile()
{
    return g_document_layer_file;
}
