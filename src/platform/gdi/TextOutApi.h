#pragma once
// Text output into the bitmap selected into a memory device context, for the owner-drawn parts of
// the layer's dialogs. The layer's interface face draws it at the selected font's size (12 pixels
// without a font), so Japanese and Chinese labels show. Main thread only.

#include "platform/gdi/GdiApi.h"

// The text's cell starts at x, y. Each glyph is blended in the text colour; with OPAQUE the cells
// are first filled with the background colour. The alpha bytes are left as they were.
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size);
