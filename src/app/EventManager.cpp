#include "app/EventManager.h"

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"

namespace {

// The order in which pending requests are served.
constexpr uint32_t REQUEST_ORDER[] = {REQUEST_EXIT, REQUEST_RETURN_TO_TITLE, REQUEST_SYSTEM_SETTINGS,
                                      REQUEST_SOUND_SETTINGS, REQUEST_WINDOW_SETTINGS};

void RunRequest(uint32_t bit)
{
    CGameWork* work = GetGameWork();
    switch (bit) {
    case REQUEST_EXIT:
        work->ConfirmExit();
        break;
    case REQUEST_RETURN_TO_TITLE:
        work->ConfirmReturnTo(RETURN_TO_TITLE, 1);
        break;
    case REQUEST_SYSTEM_SETTINGS:
        work->RunSystemMenu(SYSTEM_PAGE_SETTINGS);
        break;
    case REQUEST_SOUND_SETTINGS:
        work->RunSystemMenu(SYSTEM_PAGE_SOUND);
        break;
    case REQUEST_WINDOW_SETTINGS:
        work->RunWindowModeDialog();
        break;
    default:
        break;
    }
}

bool PopupAllowed()
{
    CVeskDoc* document = GetDocument();
    const FlagBuffer* state = document->GetScript().m_current_state.get();
    return state != nullptr && (document->GetEngineStateWord() & ENGINE_STATE_MENU_POPUP) != 0;
}

} // namespace

void RunEventTick(EventManager* manager)
{
    if (manager == nullptr || manager->RequestWord == nullptr)
        return;
    CVeskView* view = GetView();
    CGameWork* work = GetGameWork();
    // Each turn either serves something, which the served operation or the view clears, or
    // returns; a pending request whose screen is already up is left for a later tick.
    for (;;) {
        const uint32_t status = view->GetStatus();
        if (status & VIEW_STATUS_DESTROYED)
            return;
        const uint32_t request = *manager->RequestWord;
        if ((status & VIEW_STATUS_ACTIVE) && request != 0) {
            uint32_t bit = 0;
            for (uint32_t candidate : REQUEST_ORDER) {
                if (request & candidate) {
                    bit = candidate;
                    break;
                }
            }
            if (bit != 0) {
                view->HidePopupMenu();
                if (!work->TestBits(bit)) {
                    RunRequest(bit);
                    // An operation that could not clear its bit would be served without end.
                    if (*manager->RequestWord & bit)
                        return;
                    continue;
                }
            }
        }
        if (status & VIEW_STATUS_OPEN_POPUP) {
            if (work->TestBits(LOCK_WINDOW_MODE))
                return;
            if (!PopupAllowed())
                return;
            view->ClearStatusBits(VIEW_STATUS_OPEN_POPUP);
            if (CPopUpMenu* popup = view->GetPopupMenu(); popup != nullptr && !popup->IsVisible())
                popup->Open();
            continue;
        }
        if (status & VIEW_STATUS_HIDE_POPUP) {
            view->ClearStatusBits(VIEW_STATUS_HIDE_POPUP);
            view->HidePopupMenu();
            continue;
        }
        return;
    }
}
