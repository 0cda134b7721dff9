#include "script/commands/LibraryTable.h"

#include "script/commands/CFuncBackLog.h"
#include "script/commands/CFuncEffect.h"
#include "script/commands/CFuncFlag.h"
#include "script/commands/CFuncHEffect.h"
#include "script/commands/CFuncMusic.h"
#include "script/commands/CFuncOneMes.h"
#include "script/commands/CFuncSave.h"
#include "script/commands/CFuncValue.h"
#include "script/commands/CFuncVoice.h"

std::unique_ptr<IFunc> CreateLibraryGroup(int32_t id)
{
    // FIXME: each group joins this switch as it is built: 1 CFuncSelect, 2 CFuncMesWnd, 3
    // CFuncShake, 10 CFuncFont, 12 CFuncMouse, 13 CFuncAnime, 19 CFuncSprite, 20 CFuncScreen, 21
    // CFuncScript, 23 CFuncMovie, 25 CFuncXML, 26 CFuncUI, 28 CFuncWait.
    switch (id) {
    case 11:
        return std::make_unique<CFuncValue>();
    case 14:
        return std::make_unique<CFuncFlag>();
    case 15:
        return std::make_unique<CFuncMusic>();
    case 16:
        return std::make_unique<CFuncEffect>();
    case 17:
        return std::make_unique<CFuncHEffect>();
    case 18:
        return std::make_unique<CFuncVoice>();
    case 22:
        return std::make_unique<CFuncBackLog>();
    case 24:
        return std::make_unique<CFuncOneMes>();
    case 27:
        return std::make_unique<CFuncSave>();
    default:
        return nullptr;
    }
}
