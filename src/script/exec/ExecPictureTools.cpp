#include "script/exec/ExecPictureTools.h"

#include "foundation/GameDocument.h"
#include "foundation/WaitPass.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/PictureSlot.h"
#include "graphics/SpriteLayerOf.h"
#include "script/commands/ScriptWaits.h"

void DrawSlots(int32_t offset_x, int32_t offset_y)
{
    DrawPictureSlot(GetPictureTargetLayer(), 0, 0, SCREEN_W, SCREEN_H, offset_x, offset_y);
}

ILayer* RegisteredLayer(GameDocument* document, int32_t number)
{
    return SpriteLayerOf(document->GetSpriteLayer(number));
}

CLayerFile* LayerFile(GameDocument* document)
{
    CLayerFile* file = document->GetLayerFile();
    return file != nullptr ? file : GetDocumentLayerFile();
}

bool PollPass(GameDocument* document, CInputView* input_view)
{
    if (!RunWaitPass(document))
        return false;
    CEffectWait skip(document, input_view);
    skip.SetSkipFlags(SCRIPT_SKIP_FLAGS);
    skip.SetRequestMask(SCRIPT_REQUEST_MASK);
    return skip.CheckSkip() == 0;
}
