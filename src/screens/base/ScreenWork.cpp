#include "screens/base/ScreenWork.h"

#include <algorithm>
#include <atomic>

#include "screens/base/CBacklogScreen.h"
#include "screens/base/CFaceVoice.h"
#include "screens/base/CMesWnd.h"
#include "screens/base/CNormalSelect2.h"
#include "screens/extras/CCGFlag.h"
#include "screens/flags/CFlagManager.h"
#include "screens/map/CAreaBase.h"
#include "screens/map/CAreaSelect.h"
#include "screens/map/CCps.h"
#include "screens/map/CStatusPlate.h"
#include "screens/map/CSubMap.h"
#include "screens/system/CConfig.h"
#include "screens/system/CLoadDialog.h"
#include "screens/system/CSaveDialog.h"
#include "screens/system/CSoundConfig.h"

namespace {

std::atomic<ScreenWorkFinder> g_finder{nullptr};

} // namespace

ScreenWork::ScreenWork() = default;
ScreenWork::~ScreenWork() = default;

void ScreenWork::AddActiveScreen(ISelect* screen)
{
    ActiveScreens.push_back(screen);
}

void ScreenWork::RemoveActiveScreen(ISelect* screen)
{
    std::erase(ActiveScreens, screen);
}

void SetScreenWorkFinder(ScreenWorkFinder find)
{
    g_finder.store(find);
}

ScreenWork* GetScreenWork()
{
    const ScreenWorkFinder find = g_finder.load();
    return find != nullptr ? find() : nullptr;
}
