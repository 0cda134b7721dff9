#include "script/commands/LibraryTable.h"

#include "script/commands/CFuncAnime.h"
#include "script/commands/CFuncBackLog.h"
#include "script/commands/CFuncEffect.h"
#include "script/commands/CFuncFlag.h"
#include "script/commands/CFuncFont.h"
#include "script/commands/CFuncHEffect.h"
#include "script/commands/CFuncMesWnd.h"
#include "script/commands/CFuncMouse.h"
#include "script/commands/CFuncMovie.h"
#include "script/commands/CFuncMusic.h"
#include "script/commands/CFuncOneMes.h"
#include "script/commands/CFuncSave.h"
#include "script/commands/CFuncScreen.h"
#include "script/commands/CFuncScript.h"
#include "script/commands/CFuncSelect.h"
#include "script/commands/CFuncShake.h"
#include "script/commands/CFuncSprite.h"
#include "script/commands/CFuncUI.h"
#include "script/commands/CFuncValue.h"
#include "script/commands/CFuncVoice.h"
#include "script/commands/CFuncWait.h"
#include "script/commands/CFuncXML.h"

std::unique_ptr<IFunc> CreateLibraryGroup(int32_t id)
{
    switch (id) {
    case 1:
        return std::make_unique<CFuncSelect>();
    case 2:
        return std::make_unique<CFuncMesWnd>();
    case 3:
        return std::make_unique<CFuncShake>();
    case 10:
        return std::make_unique<CFuncFont>();
    case 11:
        return std::make_unique<CFuncValue>();
    case 12:
        return std::make_unique<CFuncMouse>();
    case 13:
        return std::make_unique<CFuncAnime>();
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
    case 19:
        return std::make_unique<CFuncSprite>();
    case 20:
        return std::make_unique<CFuncScreen>();
    case 21:
        return std::make_unique<CFuncScript>();
    case 22:
        return std::make_unique<CFuncBackLog>();
    case 23:
        return std::make_unique<CFuncMovie>();
    case 24:
        return std::make_unique<CFuncOneMes>();
    case 25:
        return std::make_unique<CFuncXML>();
    case 26:
        return std::make_unique<CFuncUI>();
    case 27:
        return std::make_unique<CFuncSave>();
    case 28:
        return std::make_unique<CFuncWait>();
    default:
        return nullptr;
    }
}
