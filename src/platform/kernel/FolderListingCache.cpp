#include "platform/kernel/FolderListingCache.h"

#include <algorithm>
#include <climits>

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/kernel/PosixPath.h"

namespace platform {

namespace {

constexpr uint32_t WATCHED =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
// Folders a process searches are few (the save folder, the game folders); past this many the
// listings start over rather than track an ever-growing set.
constexpr size_t MAX_LISTINGS = 64;

void AddName(std::multimap<std::u16string, std::string>& names, std::string name)
{
    std::u16string key = FoldedName(name);
    const auto [first, last] = names.equal_range(key);
    if (std::none_of(first, last, [&](const auto& entry) { return entry.second == name; }))
        names.emplace_hint(last, std::move(key), std::move(name));
}

void RemoveName(std::multimap<std::u16string, std::string>& names, const std::string& name)
{
    const auto [first, last] = names.equal_range(FoldedName(name));
    const auto found = std::find_if(first, last, [&](const auto& entry) { return entry.second == name; });
    if (found != last)
        names.erase(found);
}

std::optional<std::string> ScanFolder(const std::string& folder, std::string_view name)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entry_name = entry->d_name;
        if (EqualIgnoringCase(entry_name, name) && (!best || entry_name < *best))
            best = std::string(entry_name);
    }
    ::closedir(dir);
    return best;
}

} // namespace

FolderListingCache& FolderListingCache::GetInstance()
{
    // Outlives main, as the layer's other singletons do: files are resolved from destructors.
    static FolderListingCache* instance = new FolderListingCache;
    return *instance;
}

std::optional<std::string> FolderListingCache::FindIgnoringCase(const std::string& folder,
                                                                std::string_view name)
{
    return Find(folder, name, nullptr);
}

std::optional<std::string> FolderListingCache::FindIgnoringCase(const std::string& folder,
                                                                std::string_view name, uint64_t device,
                                                                uint64_t inode)
{
    const uint64_t known[2] = {device, inode};
    return Find(folder, name, known);
}

std::optional<std::string> FolderListingCache::Find(const std::string& given_folder, std::string_view name,
                                                    const uint64_t* known)
{
    const std::string folder = given_folder.empty() ? std::string(".") : given_folder;
    std::lock_guard lock(m_lock);
    if (m_owner != ::getpid()) {
        // A forked child shares the parent's event queue: reading it would steal the parent's
        // events, so the child starts a queue of its own.
        if (m_inotify >= 0)
            ::close(m_inotify);
        m_listings.clear();
        m_watches.clear();
        m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        m_owner = ::getpid();
    }
    if (m_inotify < 0)
        return ScanFolder(folder, name);
    ApplyEvents();

    uint64_t device = 0;
    uint64_t inode = 0;
    if (known != nullptr) {
        device = known[0];
        inode = known[1];
    } else {
        struct stat info;
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return ScanFolder(folder, name);
        device = info.st_dev;
        inode = info.st_ino;
    }
    Listing* listing = nullptr;
    if (const auto watch = m_watches.find(folder); watch != m_watches.end()) {
        const auto found = m_listings.find(watch->second);
        if (found != m_listings.end() && found->second.Device == device && found->second.Inode == inode)
            listing = &found->second;
        else
            Forget(watch->second); // the path names another folder now
    }
    if (!listing)
        listing = Watch(folder, device, inode);
    if (!listing)
        return ScanFolder(folder, name);

    std::optional<std::string> best;
    const auto [first, last] = listing->Names.equal_range(FoldedName(name));
    for (auto entry = first; entry != last; ++entry) {
        if (EqualIgnoringCase(entry->second, name) && (!best || entry->second < *best))
            best = entry->second;
    }
    return best;
}

void FolderListingCache::ApplyEvents()
{
    alignas(inotify_event) char buffer[16384];
    // A read that left room for one more event of the longest name took all there were.
    constexpr ssize_t ROOM = sizeof(inotify_event) + NAME_MAX + 1;
    for (ssize_t length = sizeof buffer; length > static_cast<ssize_t>(sizeof buffer) - ROOM;) {
        length = ::read(m_inotify, buffer, sizeof buffer);
        if (length <= 0)
            return;
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                ForgetAll(); // events were lost: nothing known can be trusted
                continue;
            }
            const auto found = m_listings.find(event->wd);
            if (found == m_listings.end())
                continue;
            if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
                Forget(event->wd);
            } else if (event->len > 0) {
                const std::string entry = event->name; // padded with zeros
                if (event->mask & (IN_CREATE | IN_MOVED_TO))
                    AddName(found->second.Names, entry);
                else if (event->mask & (IN_DELETE | IN_MOVED_FROM))
                    RemoveName(found->second.Names, entry);
            }
        }
    }
}

void FolderListingCache::Forget(int watch)
{
    if (m_listings.erase(watch) > 0)
        ::inotify_rm_watch(m_inotify, watch);
    std::erase_if(m_watches, [&](const auto& entry) { return entry.second == watch; });
}

void FolderListingCache::ForgetAll()
{
    for (const auto& [watch, listing] : m_listings)
        ::inotify_rm_watch(m_inotify, watch);
    m_listings.clear();
    m_watches.clear();
}

FolderListingCache::Listing* FolderListingCache::Watch(const std::string& folder, uint64_t device,
                                                       uint64_t inode)
{
    if (m_listings.size() >= MAX_LISTINGS)
        ForgetAll();
    // The watch comes before the read, so a change during the read is also an event; applying
    // it again to names that already show it changes nothing.
    const int watch = ::inotify_add_watch(m_inotify, folder.c_str(), WATCHED | IN_ONLYDIR);
    if (watch < 0)
        return nullptr;
    if (const auto shared = m_listings.find(watch); shared != m_listings.end()) {
        // Another spelling of a folder already followed.
        if (shared->second.Device != device || shared->second.Inode != inode)
            return nullptr;
        m_watches[folder] = watch;
        return &shared->second;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        ::inotify_rm_watch(m_inotify, watch);
        return nullptr;
    }
    Listing listing;
    struct stat info;
    if (::fstat(::dirfd(dir), &info) != 0 || static_cast<uint64_t>(info.st_dev) != device ||
        static_cast<uint64_t>(info.st_ino) != inode) {
        ::closedir(dir);
        ::inotify_rm_watch(m_inotify, watch);
        return nullptr;
    }
    listing.Device = device;
    listing.Inode = inode;
    while (const dirent* entry = ::readdir(dir))
        AddName(listing.Names, entry->d_name);
    ::closedir(dir);
    m_watches[folder] = watch;
    return &m_listings.emplace(watch, std::move(listing)).first->second;
}

} // namespace platform
