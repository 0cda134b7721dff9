#include "platform/d3d/null/NullPresenter.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "platform/d3d/PngWriter.h"

namespace platform {

namespace {

std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

} // namespace

uint32_t Crc32(const uint8_t* bytes, size_t count)
{
    static const std::array<uint32_t, 256> table = MakeCrcTable();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i)
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

NullPresenter::NullPresenter(bool keeps_newest)
    : m_keeps_newest(keeps_newest)
    , m_dumps_asked([] {
        const char* asked = std::getenv("VESK_FRAME_DUMP_ASKED");
        return asked != nullptr && *asked != '\0' && std::string(asked) != "0";
    }())
{
    if (const char* folder = std::getenv("VESK_FRAME_DUMP"))
        m_dump_folder = folder;
}

void NullPresenter::Publish(std::shared_ptr<const PresentedFrame> frame)
{
    std::string folder;
    uint64_t number;
    std::string previous;
    {
        std::lock_guard lock(m_lock);
        number = ++m_count;
        m_last = frame;
        folder = m_dump_folder;
        // An unchanged frame is the file of the frame just before it, and of no older one: the
        // frames between were not dumped while only asked ones were.
        if (m_last_dumped_frame + 1 == number)
            previous = m_last_dumped;
    }
    if (folder.empty() || (m_dumps_asked && ::access((folder + "/every").c_str(), F_OK) != 0))
        return;
    char name[32];
    std::snprintf(name, sizeof(name), "/frame%05llu.png", static_cast<unsigned long long>(number));
    const std::string path = folder + name;
    // Written beside the folder and moved in whole, so a run killed mid-write never leaves a
    // cut-off frame for a reader of the folder.
    std::string part = folder;
    while (part.size() > 1 && part.back() == '/')
        part.pop_back();
    part += "." + std::string(name + 1) + ".part";
    // A frame that shows what the one before showed is that file again, linked under its own
    // name: a screen that waits is dumped at the cost of a link, not of a picture's encoding.
    // Once a reader has taken the file away, the frame is encoded anew.
    const RECT& changed = frame->changed;
    const bool same = changed.left >= changed.right || changed.top >= changed.bottom;
    bool dumped = same && !previous.empty() && ::link(previous.c_str(), part.c_str()) == 0;
    if (!dumped)
        dumped = WritePngRgba(part, frame->width, frame->height, frame->pixels.data(),
                              static_cast<size_t>(frame->width) * 4, true);
    if (!dumped || std::rename(part.c_str(), path.c_str()) != 0)
        return;
    std::lock_guard lock(m_lock);
    if (m_dump_folder == folder) {
        m_last_dumped = path;
        m_last_dumped_frame = number;
    }
}

void NullPresenter::ServeAsk()
{
    std::string folder;
    std::shared_ptr<const PresentedFrame> frame;
    uint64_t number;
    {
        std::lock_guard lock(m_lock);
        folder = m_dump_folder;
        frame = m_last;
        number = m_count;
    }
    if (!m_dumps_asked || folder.empty())
        return;
    const std::string ask = folder + "/ask";
    if (::access(ask.c_str(), F_OK) != 0)
        return;
    // Before the first frame the ask waits for it.
    if (!frame)
        return;
    char name[32];
    std::snprintf(name, sizeof(name), "/frame%05llu.png", static_cast<unsigned long long>(number));
    const std::string path = folder + name;
    // The frame answered last, asked again, is the file already there.
    if (number != m_last_dumped_number || ::access(path.c_str(), F_OK) != 0) {
        const std::string part = folder + "/.asked.png.part";
        if (!WritePngRgba(part, frame->width, frame->height, frame->pixels.data(),
                          static_cast<size_t>(frame->width) * 4, true) ||
            std::rename(part.c_str(), path.c_str()) != 0)
            return;
        m_last_dumped_number = number;
    }
    // Removed once the frame is in place: a reader that sees the ask gone finds its answer.
    ::unlink(ask.c_str());
}

bool NullPresenter::KeepsEveryFrame() const
{
    std::lock_guard lock(m_lock);
    return !m_dump_folder.empty();
}

bool NullPresenter::ReadsInPlace() const
{
    std::lock_guard lock(m_lock);
    return !m_keeps_newest && m_dump_folder.empty();
}

void NullPresenter::PublishInPlace(const FrameView&)
{
    std::lock_guard lock(m_lock);
    ++m_count;
}

uint64_t NullPresenter::GetFrameCount() const
{
    std::lock_guard lock(m_lock);
    return m_count;
}

uint32_t NullPresenter::GetLastChecksum() const
{
    // Summed when asked: a headless game publishes far more frames than tests look at.
    std::shared_ptr<const PresentedFrame> last;
    {
        std::lock_guard lock(m_lock);
        last = m_last;
    }
    return last ? Crc32(last->pixels.data(), last->pixels.size()) : 0;
}

std::shared_ptr<const PresentedFrame> NullPresenter::GetLastFrame() const
{
    static const auto none = std::make_shared<const PresentedFrame>();
    std::lock_guard lock(m_lock);
    return m_last ? m_last : none;
}

void NullPresenter::SetDumpFolder(std::string folder)
{
    std::lock_guard lock(m_lock);
    m_dump_folder = std::move(folder);
    m_last_dumped.clear();
}

NullPresenter* GetNullPresenter()
{
    return dynamic_cast<NullPresenter*>(&GetPresenter());
}

std::unique_ptr<Presenter> CreateNullPresenter(bool keeps_newest)
{
    return std::make_unique<NullPresenter>(keeps_newest);
}

} // namespace platform
