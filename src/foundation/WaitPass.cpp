#include "foundation/WaitPass.h"

#include "foundation/AppLink.h"
#include "foundation/GameDocument.h"
#include "platform/kernel/SyncApi.h"

bool RunWaitPass(GameDocument* document)
{
    AppLink* app = GetAppLink();
    if (app != nullptr && app->PumpMessage() == 0)
        return false;
    Sleep(0);
    if (document != nullptr)
        document->EventFlagOp(EVENT_FLAG_TICK, 0);
    return true;
}
