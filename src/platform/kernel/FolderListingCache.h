#pragma once
// The names of the folders the case-blind resolver has had to search, kept so that a save
// renaming hundreds of files in one folder does not read the folder once per rename. A listing
// follows the folder through inotify: every create, delete and rename in it, by this process or
// another, is applied before the next search, so a search answers what a fresh read of the
// folder would. Without inotify (or beyond its limits) each search reads the folder. Any thread;
// layer-internal.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace platform {

class FolderListingCache
{
public:
    static FolderListingCache& GetInstance();

    // The entry of the folder that equals name ignoring case, the first in byte order among
    // several; none when there is none or the folder cannot be read.
    std::optional<std::string> FindIgnoringCase(const std::string& folder, std::string_view name);
    // The same, for a folder the caller has just looked at (stat): its device and inode.
    std::optional<std::string> FindIgnoringCase(const std::string& folder, std::string_view name,
                                                uint64_t device, uint64_t inode);

    FolderListingCache(const FolderListingCache&) = delete;
    FolderListingCache& operator=(const FolderListingCache&) = delete;

private:
    FolderListingCache() = default;

    struct Listing
    {
        uint64_t Device = 0;
        uint64_t Inode = 0;
        // Folded name to the names that fold to it, in byte order.
        std::multimap<std::u16string, std::string> Names;
    };

    std::optional<std::string> Find(const std::string& folder, std::string_view name, const uint64_t* known);
    void ApplyEvents();
    void Forget(int watch);
    void ForgetAll();
    Listing* Watch(const std::string& folder, uint64_t device, uint64_t inode);

    std::mutex m_lock;
    int m_inotify = -1;
    int m_owner = 0; // the process the inotify instance belongs to: a forked child makes its own
    std::unordered_map<int, Listing> m_listings;    // by watch
    std::unordered_map<std::string, int> m_watches; // folder as asked for, to its watch
};

} // namespace platform
