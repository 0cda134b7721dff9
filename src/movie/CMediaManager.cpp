#include "movie/CMediaManager.h"

#include "app/CWinApp.h"
#include "graphics/CSprite.h"
#include "movie/CMediaStream.h"

CMediaManager::CMediaManager() = default;

CMediaManager::~CMediaManager() = default;

int32_t CMediaManager::CheckMpegDecoders()
{
    CWinApp* app = GetApp();
    if (app == nullptr || app->GetConfigInt("Movie/Mpeg", 0, 0) != 1)
        return 0;
    // Our decoders are built in: there are no filter merits to raise.
    return 0;
}

void CMediaManager::RestoreMpegDecoders()
{
    for (auto& player : m_players)
        player.reset();
}
