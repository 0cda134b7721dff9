#include "script/SaveFileNames.h"

#include "foundation/AppLink.h"
#include "foundation/GameDocument.h"
#include "script/FlagBuffer.h"

namespace {

CStringUTF8 SaveFolder()
{
    AppLink* app = GetAppLink();
    return app != nullptr ? app->GetAppString() : CStringUTF8();
}

bool IsSecondScenario()
{
    const FlagBuffer* state = GetGameDocument()->GetGameState();
    return state != nullptr && state->SpMode() == 1;
}

} // namespace

CStringUTF8 MakeFlagFileName(uint32_t number)
{
    CStringUTF8 name;
    name.Format(IsSecondScenario() ? "%sSP_FLAG%03u" : "%sFLAG%03u", SaveFolder().GetText(), number);
    return name;
}

CStringUTF8 MakeSaveDataFileName(uint32_t number)
{
    CStringUTF8 name;
    name.Format(IsSecondScenario() ? "%sSP_SaveData%03u.dat" : "%sSaveData%03u.dat", SaveFolder().GetText(),
                number);
    return name;
}

CStringUTF8 MakeSelectionFileName(uint32_t number)
{
    CStringUTF8 name;
    name.Format("%ssel%03u", SaveFolder().GetText(), number);
    return name;
}

CStringUTF8 MakeThumbnailFileName(uint32_t number)
{
    CStringUTF8 name;
    name.Format(IsSecondScenario() ? "%sSP_thm%03u" : "%sthm%03u", SaveFolder().GetText(), number);
    return name;
}

CStringUTF8 MakeReadBufferFileName()
{
    CStringUTF8 name;
    name.Format("%sonemes.dat", SaveFolder().GetText());
    return name;
}

CStringUTF8 MakeSaveFolderFileName(const char* name)
{
    return SaveFolder() + name;
}
