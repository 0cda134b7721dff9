#include "platform/d3d/Presenter.h"

#include <mutex>

#include "platform/Environment.h"

namespace platform {

namespace {

std::mutex g_presenter_lock; // leaf: guards g_presenter
std::unique_ptr<Presenter>* g_presenter =
    new std::unique_ptr<Presenter>; // never destroyed: frames may come late

} // namespace

Presenter& GetPresenter()
{
    std::lock_guard lock(g_presenter_lock);
    if (!*g_presenter)
        *g_presenter =
            IsNullBackend(Service::Presenter) ? CreateNullPresenter(false) : CreateWindowPresenter();
    return **g_presenter;
}

void SetPresenter(std::unique_ptr<Presenter> presenter)
{
    std::lock_guard lock(g_presenter_lock);
    *g_presenter = std::move(presenter);
}

} // namespace platform
