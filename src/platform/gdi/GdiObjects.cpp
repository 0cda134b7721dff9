#include "platform/gdi/GdiObjects.h"

namespace platform::gdi {

Registry& Registry::GetInstance()
{
    static auto* s_registry = new Registry; // never destroyed: layers may be freed during static destruction
    return *s_registry;
}

Registry::Registry()
{
    // Every memory context starts with this monochrome 1 x 1 bitmap selected, so the first
    // SelectObject of a section has a previous object to give back.
    auto stock = std::make_unique<Bitmap>();
    stock->stock = true;
    stock->width = 1;
    stock->height = 1;
    stock->bit_count = 1;
    stock->pixels = AllocatePixels(4);
    m_stock_bitmap = stock.get();
    m_objects.emplace(stock.get(), std::move(stock));
}

HDC Registry::AddContext(std::unique_ptr<DeviceContext> context)
{
    DeviceContext* raw = context.get();
    m_contexts.emplace(raw, std::move(context));
    return reinterpret_cast<HDC>(raw);
}

HGDIOBJ Registry::AddObject(std::unique_ptr<GdiObject> object)
{
    GdiObject* raw = object.get();
    m_objects.emplace(raw, std::move(object));
    return static_cast<HGDIOBJ>(raw);
}

DeviceContext* Registry::FindContext(HDC dc)
{
    auto it = m_contexts.find(reinterpret_cast<DeviceContext*>(dc));
    return it == m_contexts.end() ? nullptr : it->second.get();
}

GdiObject* Registry::FindObject(HGDIOBJ object)
{
    auto it = m_objects.find(static_cast<GdiObject*>(object));
    return it == m_objects.end() ? nullptr : it->second.get();
}

bool Registry::DeleteContext(HDC dc)
{
    auto it = m_contexts.find(reinterpret_cast<DeviceContext*>(dc));
    if (it == m_contexts.end())
        return false;
    if (it->second->bitmap != nullptr && !it->second->bitmap->stock)
        it->second->bitmap->selected_in = nullptr;
    m_contexts.erase(it);
    return true;
}

bool Registry::DeleteObject(HGDIOBJ object)
{
    auto it = m_objects.find(static_cast<GdiObject*>(object));
    if (it == m_objects.end())
        return false;
    if (it->second->stock)
        return true;
    if (it->second->kind == ObjectKind::Bitmap &&
        static_cast<Bitmap*>(it->second.get())->selected_in != nullptr)
        return false;
    if (it->second->kind == ObjectKind::Font) {
        for (auto& [raw, context] : m_contexts) {
            if (context->font == it->second.get())
                return false;
        }
    }
    m_objects.erase(it);
    return true;
}

HGDIOBJ Registry::Select(HDC dc, HGDIOBJ handle)
{
    DeviceContext* context = FindContext(dc);
    GdiObject* object = FindObject(handle);
    if (context == nullptr || object == nullptr)
        return nullptr;
    if (object->kind == ObjectKind::Font) {
        GdiObject* old = context->font;
        context->font = object;
        return old;
    }
    auto* bitmap = static_cast<Bitmap*>(object);
    if (context->kind != ContextKind::Memory)
        return nullptr;
    if (bitmap == context->bitmap)
        return bitmap;
    if (!bitmap->stock && bitmap->selected_in != nullptr)
        return nullptr;
    Bitmap* old = context->bitmap;
    if (old != nullptr && !old->stock)
        old->selected_in = nullptr;
    if (!bitmap->stock)
        bitmap->selected_in = context;
    context->bitmap = bitmap;
    return old;
}

} // namespace platform::gdi
