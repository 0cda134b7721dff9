#include "script/commands/CFuncAnime.h"

#include "foundation/CInputView.h"
#include "foundation/CString.h"
#include "foundation/GameDocument.h"
#include "foundation/IKeyboard.h"
#include "foundation/IMouse.h"
#include "foundation/WaitPass.h"
#include "graphics/CAnimeManager.h"
#include "script/vm/ScriptContext.h"
#include "script/vm/ScriptError.h"

#include <iterator>

namespace {

// The arguments each sub-function pops after its number: 0 takes a name, the rest integers.
constexpr int ARGUMENT_COUNTS[] = {1, 2, 2, 2, 2, 3, 0, 0, 2, 2, 0, 0, 2, 2};

} // namespace

bool CFuncAnime::IsCutShort()
{
    IKeyboard* keyboard = InputView->GetKeyboard();
    IMouse* mouse = InputView->GetMouse();
    return (keyboard != nullptr && (keyboard->IsKeyDown(SCAN_ESCAPE) || keyboard->IsKeyDown(SCAN_DELETE))) ||
           (mouse != nullptr && (mouse->IsRightDown() || mouse->GetTouchState()));
}

void CFuncAnime::WaitForSlot(CAnimeManager& manager, int32_t group, int32_t slot)
{
    do {
        if (!RunWaitPass(Document))
            return;
        if (IsCutShort()) {
            manager.StopSlot(group, slot);
            return;
        }
    } while (manager.GetSlot(group, slot).state != ANIME_STOPPED);
}

void CFuncAnime::WaitForAll(CAnimeManager& manager)
{
    while (!manager.IsAllFinished()) {
        if (!RunWaitPass(Document))
            return;
    }
}

void CFuncAnime::Call(CScript&)
{
    const int32_t sub = Context->PopInteger();
    if (sub < 0 || sub >= static_cast<int32_t>(std::size(ARGUMENT_COUNTS)))
        return;
    CStringUTF8 name;
    int32_t group = 0;
    int32_t slot = 0;
    if (sub == 0) {
        name = Context->PopValue().Text;
    } else {
        const int count = ARGUMENT_COUNTS[sub];
        if (count >= 1)
            group = Context->PopInteger();
        if (count >= 2)
            slot = Context->PopInteger();
        if (count >= 3)
            Context->PopValue();
    }
    CAnimeManager* manager = Document->GetAnimeManager();
    if (manager == nullptr)
        return;
    // Sub-function 13 names a group only (its second value is not used); the others a slot.
    if (ARGUMENT_COUNTS[sub] >= 2 && !CAnimeManager::IsSlot(group, sub == 13 ? 0 : slot))
        return;
    switch (sub) {
    case 0:
        try {
            manager->LoadProgram(name);
        } catch (const CString& failure) {
            ReportScriptError(failure);
        }
        break;
    case 1:
        manager->ArmSlot(group, slot);
        break;
    case 2:
        manager->StartSlot(group, slot);
        break;
    case 3:
        manager->PauseSlot(group, slot);
        break;
    case 4:
        manager->StopSlot(group, slot);
        break;
    case 5:
        if (!manager->GetSlot(group, slot).armed)
            break;
        manager->StartSlot(group, slot);
        WaitForSlot(*manager, group, slot);
        break;
    case 6:
        manager->PauseAll();
        break;
    case 7:
        manager->StopAll();
        break;
    case 8:
        manager->ChangeSlotState(group, slot, ANIME_RUNNING, ANIME_FINISHING);
        WaitForAll(*manager);
        break;
    case 9:
        manager->ChangeSlotState(group, slot, ANIME_FINISHED, ANIME_RUNNING);
        break;
    case 10:
        manager->ChangeAllSlotStates(ANIME_RUNNING, ANIME_FINISHING);
        WaitForAll(*manager);
        break;
    case 11:
        manager->ChangeAllSlotStates(ANIME_FINISHED, ANIME_RUNNING);
        break;
    case 12:
        if (manager->GetSlot(group, slot).state != ANIME_STOPPED)
            WaitForSlot(*manager, group, slot);
        break;
    case 13:
        manager->StopGroup(group);
        break;
    default:
        break;
    }
}
