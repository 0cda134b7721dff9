#pragma once
// The help lines' text layout: one character at a time from the box's left edge, a full-width
// character taking size pixels and a half-width one size / 2, a new line of size pixels where a
// character would pass the box's width (whole half cells) and at a line feed or the tables' "\n"
// markup (a backslash and an n). A Latin word reaching the edge is cut there: texts that must not
// be cut carry their own line breaks.

#include <cstdint>
#include <functional>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

// Walks the text from row top; calls draw with every character that is not a newline and its
// place, when given. Answers the last line's top.
int32_t LayOutWrappedText(const CStringUTF8& text, const RECT& box, int32_t size, int32_t top,
                          const std::function<void(const CStringUTF8&, int32_t, int32_t)>& draw);
