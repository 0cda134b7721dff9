#pragma once
// The filter mapper over an in-memory registry of three filters, one per role of an MPEG-1 movie:
// the splitter {336475D0-...}, the video decoder {FEB50740-...} and the audio decoder
// {4A2286E0-...}. Each is registered with merit 0x600000 when FFmpeg has the matching demuxer
// or decoder. Monikers bind to property bags with "FriendlyName", "CLSID" and "FilterData";
// RegisterFilter rewrites the merit in memory only.

#include "platform/com/Unknown.h"

namespace platform {

IUnknown* CreateFilterMapper();

// Tests: makes the filter of a role (0 splitter, 1 video, 2 audio) count as missing, or present
// again when FFmpeg has it.
void ForceMovieComponentMissing(int role, bool missing);
// The merit the registry holds for a class, 0 when it has no such filter (tests).
DWORD GetRegisteredMerit(const GUID& clsid);

} // namespace platform
