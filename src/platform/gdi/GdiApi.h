#pragma once
// Device contexts, DIB sections and StretchBlt: memory pictures that the engine addresses directly
// and that GDI-style calls can also draw into. Every function may be called from any thread; the
// pixels themselves are not locked, their owners keep to one thread at a time.

#include "platform/kernel/WinTypes.h"

struct BITMAPINFOHEADER
{
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // positive: bottom-up rows; negative: top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
using LPBITMAPINFOHEADER = BITMAPINFOHEADER*;

struct RGBQUAD
{
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO
{
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
using LPBITMAPINFO = BITMAPINFO*;

// What GetObjectW reports for a bitmap.
struct BITMAP
{
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

inline constexpr DWORD BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;

// Stretch modes. Only HALFTONE averages; the others sample the nearest source pixel.
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;
inline constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
inline constexpr int STRETCH_ORSCANS = WHITEONBLACK;
inline constexpr int STRETCH_DELETESCANS = COLORONCOLOR;
inline constexpr int STRETCH_HALFTONE = HALFTONE;

inline constexpr DWORD SRCCOPY = 0x00CC0020;

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// The device context of a window (or of the screen for a null window): a reference for
// CreateDIBSection; it has no bitmap of its own to draw into.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// 32-bit BI_RGB sections only. The bits start zeroed; a positive height stores rows bottom-up.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// Returns the object of the same kind selected before (a memory context starts with a stock
// 1 x 1 bitmap), or null when the object cannot be selected (already selected elsewhere).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// A bitmap still selected into a context is not deleted.
BOOL DeleteObject(HGDIOBJ object);
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);

int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
// Scales with the destination context's stretch mode. A 1:1 copy is exact in every mode, alpha
// byte included; HALFTONE averages the covered source area on all four bytes.
BOOL StretchBlt(HDC dest, int dest_x, int dest_y, int dest_width, int dest_height, HDC source, int source_x,
                int source_y, int source_width, int source_height, DWORD rop);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x, int source_y, DWORD rop);
