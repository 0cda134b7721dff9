#pragma once
// A movie player over the movie archive. It sees the main view's messages as a hook for the
// events of its playback.
// FIXME: the least the document's start-up needs until the movie player is in: the archive and
// the volume.

#include <cstdint>
#include <memory>

#include "app/IWinHook.h"

class CArchiveManager;

class CMediaStream : public IWinHook
{
public:
    CMediaStream();
    ~CMediaStream() override;
    CMediaStream(const CMediaStream&) = delete;
    CMediaStream& operator=(const CMediaStream&) = delete;

    // 0 on success: the movie archive is open and the volume taken from the settings.
    int32_t Create();
    int32_t HookProc(HWND, UINT, WPARAM, LPARAM) override { return 0; }

    CArchiveManager* GetArchive() const { return m_archive.get(); }
    int32_t GetVolume() const { return m_volume; }

private:
    std::unique_ptr<CArchiveManager> m_archive;
    int32_t m_volume = 0;
};
