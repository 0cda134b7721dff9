#pragma once
// The headless presenter: counts the frames it is given, keeps a copy of the newest one (and its
// checksum, CRC-32 of the pixel bytes, on request) for a reader in the process, and writes each
// frame as an opaque PNG into a dump folder when one is set (VESK_FRAME_DUMP at creation, or
// SetDumpFolder); a frame unchanged from the one before is the same file linked under its own name.
// One made without a reader keeps no frame: it only counts them, unless it dumps.
// With VESK_FRAME_DUMP_ASKED set as well, a frame is dumped only when a reader asks for it: an
// "ask" file in the dump folder has the newest frame written there under its number, then the
// file removed (ServeAsk, on the loop's turns). A test that looks at a few frames then does not
// pay for encoding every one the game draws. While an "every" file stands in the dump folder, each
// frame is dumped as without VESK_FRAME_DUMP_ASKED: a test that must see every frame of a moment
// (a flash it looks for) asks for them all over that moment only.
// Thread-safe.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/d3d/Presenter.h"

namespace platform {

class NullPresenter final : public Presenter
{
public:
    explicit NullPresenter(bool keeps_newest = true);

    void Publish(std::shared_ptr<const PresentedFrame> frame) override;
    // While it dumps frames: the dump holds every frame drawn, as a reader of it counts on.
    bool KeepsEveryFrame() const override;
    // While it neither keeps nor dumps frames: then it only counts them.
    bool ReadsInPlace() const override;
    void PublishInPlace(const FrameView& frame) override;

    uint64_t GetFrameCount() const;
    uint32_t GetLastChecksum() const; // of the newest frame, 0 without one
    // The newest frame, shared as it was published (empty before the first, and for one that keeps
    // none): a frame is never changed once published, and a copy of a whole frame is the dearest
    // thing a test that looks at every frame does.
    std::shared_ptr<const PresentedFrame> GetLastFrame() const;
    void SetDumpFolder(std::string folder);
    // Whether frames are dumped only when asked for, and the answer to an ask in the folder.
    bool DumpsAsked() const { return m_dumps_asked; }
    void ServeAsk();

private:
    const bool m_keeps_newest;
    const bool m_dumps_asked;
    mutable std::mutex m_lock; // leaf: guards everything below
    uint64_t m_count = 0;
    std::shared_ptr<const PresentedFrame> m_last;
    std::string m_dump_folder;
    std::string m_last_dumped;         // the newest frame's file in the dump folder
    uint64_t m_last_dumped_frame = 0;  // and its number: a frame links to it only as its next
    uint64_t m_last_dumped_number = 0; // ServeAsk's own, on the loop's thread
};

// The null presenter in use, or null when another presenter is installed.
NullPresenter* GetNullPresenter();

// CRC-32 (the PNG and zlib polynomial) of a byte range.
uint32_t Crc32(const uint8_t* bytes, size_t count);

} // namespace platform
