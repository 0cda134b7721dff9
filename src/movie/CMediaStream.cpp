#include "movie/CMediaStream.h"

#include "app/CVeskView.h"
#include "app/CWinApp.h"
#include "app/ConfigSettings.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CExecException.h"

#include <new>

CMediaStream::CMediaStream() = default;

CMediaStream::~CMediaStream()
{
    GetView()->GetHookList().Remove(this);
}

int32_t CMediaStream::Create()
{
    CWinApp* app = GetApp();
    const CStringUTF8 list = app != nullptr
                                 ? app->GetFileInfoString("/GameFile/MovieArchive/File", "movie.arc")
                                 : CStringUTF8("movie.arc");
    CXMLDocument* info = app != nullptr ? app->GetFileInfoDocument() : nullptr;
    const bool compressed = (info != nullptr ? info->GetInt("/GameFile/MovieArchive/Encode", 1) : 1) == 1;
    // A missing movie archive only shows when a movie is asked for.
    m_archive.reset(new (std::nothrow) CArchiveManager(list, compressed, false));
    if (m_archive == nullptr)
        throw CExecException("Failed to create the Movie Archive");
    if (!GetConfigMusicEnable() || !GetConfigSoundEnable())
        m_volume = -10000;
    else
        m_volume = -5000 - static_cast<int32_t>(GetConfigMasterVolume() * (GetConfigMusicVolume() * -5000.0));
    return 0;
}
