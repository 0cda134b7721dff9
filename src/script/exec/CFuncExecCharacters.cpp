// The exec command of the standing characters: one sub-command a call on the game-wide set.

#include "script/exec/CFuncExec.h"

#include "foundation/ConfigSettings.h"
#include "script/ScriptWork.h"
#include "script/exec/StandingCharacterSet.h"
#include "script/vm/ScriptContext.h"

void CFuncExec::StandingCharacter()
{
    const bool skip = GetConfigSceneSkip();
    const int32_t sub = Context->PopInteger();
    ScriptWork* work = GetScriptWork();
    StandingCharacterSet* set = work != nullptr ? work->m_characters.get() : nullptr;
    const auto integer = [this] { return Context->PopInteger(); };
    const auto text = [this] { return Context->PopValue().Text; };
    // Scene skip pops the arguments of every sub-command but the hit map's and does nothing else.
    const bool act = set != nullptr && !skip;
    switch (sub) {
    case 0: {
        const int32_t position = integer();
        const CStringUTF8 name = text();
        const int32_t percent = integer();
        const int32_t duration = integer();
        if (act)
            set->Show(name, position, percent, duration, 255);
        return;
    }
    case 1: {
        const CStringUTF8 name = text();
        const int32_t position = integer();
        const int32_t duration = integer();
        if (act)
            set->ChangeFace(name, position, duration);
        return;
    }
    case 2:
        if (act)
            set->Play();
        return;
    case 3: {
        const int32_t position = integer();
        const int32_t duration = integer();
        if (act)
            set->Hide(position, duration);
        return;
    }
    case 4: {
        const int32_t duration = integer();
        for (int32_t position = 0; act && position < STANDING_POSITIONS; ++position)
            set->Hide(position, duration);
        return;
    }
    case 5:
    case 6: {
        const int32_t position = sub == 5 ? integer() : 0;
        const CStringUTF8 name = text();
        const int32_t face_position = sub == 6 ? integer() : position;
        if (act && sub == 5)
            set->OverlayPart(name, position);
        else if (act)
            set->OverlayPartOnFace(name, face_position);
        return;
    }
    case 7: {
        const int32_t position = integer();
        const int32_t mode = integer();
        const int32_t amplitude = integer();
        if (act)
            set->StartCharAnime(position, mode, amplitude);
        return;
    }
    case 8: {
        const int32_t position = integer();
        const int32_t dx = integer();
        const int32_t dy = integer();
        if (act)
            set->Nudge(position, dx, dy);
        return;
    }
    case 9: {
        const int32_t position = integer();
        const int32_t priority = integer();
        if (act)
            set->SetPriority(position, priority);
        return;
    }
    case 10: {
        const int32_t position = integer();
        const int32_t target = integer();
        const int32_t duration = integer();
        if (act)
            set->MoveToPosition(position, target, duration);
        return;
    }
    case 11: {
        const int32_t position = integer();
        const int32_t dx = integer();
        const int32_t dy = integer();
        const int32_t duration = integer();
        if (act)
            set->Sway(position, dx, dy, duration);
        return;
    }
    case 12: {
        const int32_t position = integer();
        const CStringUTF8 name = text();
        const int32_t percent = integer();
        const int32_t duration = integer();
        const int32_t alpha = integer();
        if (act)
            set->Show(name, position, percent, duration, alpha);
        return;
    }
    case 13: {
        const CStringUTF8 name = text();
        const int32_t position = integer();
        const int32_t duration = integer();
        if (act)
            set->FlashOut(name, position, duration);
        return;
    }
    case 14: {
        const CStringUTF8 name = text();
        const int32_t position = integer();
        if (set != nullptr)
            set->LoadHitMap(name, position);
        return;
    }
    case 15: {
        const int32_t percent = integer();
        const int32_t position = integer();
        const int32_t target = integer();
        const int32_t duration = integer();
        if (act)
            set->MoveAndZoom(percent, position, target, duration);
        return;
    }
    default:
        return;
    }
}
