#include "platform/d3d/Presenter.h"

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

std::mutex g_presenter_lock; // leaf: guards g_presenter
std::unique_ptr<Presenter>* g_presenter =
    new std::unique_ptr<Presenter>; // never destroyed: frames may come late

bool IsHeadless()
{
    const char* value = std::getenv("VESK_HEADLESS");
    return value && *value && *value != '0';
}

} // namespace

Presenter& GetPresenter()
{
    std::lock_guard lock(g_presenter_lock);
    if (!*g_presenter)
        *g_presenter = IsHeadless() ? CreateNullPresenter() : CreateWindowPresenter();
    return **g_presenter;
}

void SetPresenter(std::unique_ptr<Presenter> presenter)
{
    std::lock_guard lock(g_presenter_lock);
    *g_presenter = std::move(presenter);
}

} // namespace platform
