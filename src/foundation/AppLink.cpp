#include "foundation/AppLink.h"

#include <atomic>

namespace {

std::atomic<AppLink*> g_app_link{nullptr};

} // namespace

AppLink* SetAppLink(AppLink* link)
{
    return g_app_link.exchange(link);
}

AppLink* GetAppLink()
{
    return g_app_link.load();
}
