#pragma once
// The command groups that library IDs name. IDs 1-3 and 10-28 build a fresh group per call;
// ID 29 is the script context's own exec group; 0, 4-9 and every other ID have no group.

#include <cstdint>
#include <memory>

#include "script/commands/IFunc.h"

inline constexpr int32_t LIBRARY_ID_EXEC = 29;
inline constexpr int32_t LIBRARY_ID_LIMIT = 30;

// True for the IDs whose group is built per call.
constexpr bool IsPerCallLibraryId(int32_t id)
{
    return (id >= 1 && id <= 3) || (id >= 10 && id <= 28);
}

// A fresh group object for a per-call ID, or null while the ID's group is not part of the
// program yet.
std::unique_ptr<IFunc> CreateLibraryGroup(int32_t id);
