#pragma once
// The first start of a player: the user folders are made, and the initial save set the executable
// carries as "FLAG" resource 144 (the system flag files and a first "config.xml") is written into
// the save folder; saves found there (the system flag file lost, its slots kept) are listed in the
// new system flag file. Runs at the start of InitInstance, on the main thread, under the
// single-instance lock so that two first starts never write the same files.

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

inline constexpr uint16_t INITIAL_SAVE_RESOURCE = 144;

// Never throws; problems are shown in message boxes and start-up goes on.
void InitSaveData(HINSTANCE instance);

// The maker folder, the user data root and the save folder, stopping at the first failure.
int CreateUserFolders();

// 1 when the folder (or any file of that name) exists or was made; 0 after a reported failure.
// Only the last level is made. A trailing separator is ignored.
int EnsureDirectory(CStringUTF8 path);

// Writes every entry of FLAG image resource_id into folder (which ends in a separator). All or
// nothing: a failure removes every file written so far, so the next start tries again. True when
// every entry was written. prepare_marker, when given, may change the first flag file's bytes
// before they are written; its false fails the extraction.
bool ExtractFlagImage(HINSTANCE instance, uint16_t resource_id, const CStringUTF8& folder,
                      const std::function<bool(std::vector<uint8_t>&)>& prepare_marker = {});
