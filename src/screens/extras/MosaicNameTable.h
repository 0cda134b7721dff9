#pragma once
// The names of the pictures that have a covered ("_moz.akb") counterpart. A save thumbnail
// shows the covered one instead, so a slot list never shows the uncovered picture.
// FIXME: the least the save thumbnail needs; the extras' static name tables fill it at start-up.

#include <vector>

#include "foundation/CStringUTF8.h"

std::vector<CStringUTF8>& GetMosaicNameTable();
// True when an entry equals the name byte for byte (letter case counts).
bool IsMosaicName(const CStringUTF8& name);
