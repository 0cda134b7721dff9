#pragma once
// GDI fonts and glyph outlines over FreeType: logical fonts resolved through a table of the
// Windows faces the game names onto the Noto CJK fonts, 65-level coverage bitmaps with GDI's
// metrics, text metrics and the glyph indices of text. Font handles live in the same object
// registry as bitmaps, so SelectObject and DeleteObject of GdiApi.h take them. Any thread; the
// rasteriser is serialised inside.

#include "platform/gdi/GdiApi.h"
#include "platform/kernel/WinTypes.h"

inline constexpr int LF_FACESIZE = 32;
inline constexpr int LF_FULLFACESIZE = 64;

struct LOGFONTW
{
    LONG lfHeight; // > 0: cell height; < 0: character (em) height; 0: the default size
    LONG lfWidth;  // average character width; 0: follows the height
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};
using LPLOGFONTW = LOGFONTW*;

struct ENUMLOGFONTEXW
{
    LOGFONTW elfLogFont;
    WCHAR elfFullName[LF_FULLFACESIZE];
    WCHAR elfStyle[LF_FACESIZE];
    WCHAR elfScript[LF_FACESIZE];
};

struct TEXTMETRICW
{
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
using LPTEXTMETRICW = TEXTMETRICW*;

struct NEWTEXTMETRICW
{
    TEXTMETRICW tm; // the TEXTMETRICW fields first, as Windows lays them out
    DWORD ntmFlags;
    UINT ntmSizeEM;
    UINT ntmCellHeight;
    UINT ntmAvgWidth;
};

struct FONTSIGNATURE
{
    DWORD fsUsb[4];
    DWORD fsCsb[2];
};

struct NEWTEXTMETRICEXW
{
    NEWTEXTMETRICW ntmTm;
    FONTSIGNATURE ntmFontSig;
};

// 16.16 fixed point.
struct FIXED
{
    WORD fract;
    SHORT value;
};

struct MAT2
{
    FIXED eM11;
    FIXED eM12;
    FIXED eM21;
    FIXED eM22;
};

struct GLYPHMETRICS
{
    UINT gmBlackBoxX;
    UINT gmBlackBoxY;
    POINT gmptGlyphOrigin; // left edge and top of the black box from the pen on the baseline, y up
    SHORT gmCellIncX;
    SHORT gmCellIncY;
};
using LPGLYPHMETRICS = GLYPHMETRICS*;

struct GCP_RESULTSW
{
    DWORD lStructSize;
    LPWSTR lpOutString;
    UINT* lpOrder;
    int* lpDx;
    int* lpCaretPos;
    LPSTR lpClass;
    LPWSTR lpGlyphs;
    UINT nGlyphs;
    int nMaxFit;
};
using LPGCP_RESULTSW = GCP_RESULTSW*;

using FONTENUMPROCW = int (*)(const LOGFONTW* logfont, const TEXTMETRICW* metrics, DWORD font_type,
                              LPARAM param);

inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE SHIFTJIS_CHARSET = 128;
inline constexpr BYTE GB2312_CHARSET = 134;
inline constexpr BYTE CHINESEBIG5_CHARSET = 136;

inline constexpr BYTE OUT_DEFAULT_PRECIS = 0;
inline constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
inline constexpr BYTE DEFAULT_QUALITY = 0;
inline constexpr BYTE ANTIALIASED_QUALITY = 4;

inline constexpr BYTE DEFAULT_PITCH = 0;
inline constexpr BYTE FIXED_PITCH = 1;
inline constexpr BYTE VARIABLE_PITCH = 2;
inline constexpr BYTE FF_DONTCARE = 0x00;
inline constexpr BYTE FF_ROMAN = 0x10;
inline constexpr BYTE FF_SWISS = 0x20;
inline constexpr BYTE FF_MODERN = 0x30;

inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;
inline constexpr LONG FW_HEAVY = 900;

inline constexpr DWORD TRUETYPE_FONTTYPE = 0x0004;

inline constexpr UINT GGO_METRICS = 0;
inline constexpr UINT GGO_BITMAP = 1;
inline constexpr UINT GGO_GRAY2_BITMAP = 4;
inline constexpr UINT GGO_GRAY4_BITMAP = 5;
inline constexpr UINT GGO_GRAY8_BITMAP = 6;
inline constexpr UINT GGO_GLYPH_INDEX = 0x0080;
inline constexpr DWORD GDI_ERROR = 0xFFFFFFFF;

inline constexpr DWORD GCP_GLYPHSHAPE = 0x0010;

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Records the logical font; the face is resolved when the font is first measured or drawn.
HFONT CreateFontIndirectW(const LOGFONTW* logfont);

// Calls the procedure once for a face that exists (an installed family, or a Windows face the
// substitution table maps, reported under the requested name with any leading "@"); nothing for
// an unknown face. Returns the procedure's last answer, 1 when it was never called.
int EnumFontFamiliesExW(HDC dc, LPLOGFONTW logfont, FONTENUMPROCW procedure, LPARAM param, DWORD flags);

// The selected font's metrics (the default font when none is selected).
BOOL GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics);

// GGO_METRICS and GGO_GRAY8_BITMAP (with or without GGO_GLYPH_INDEX): a bitmap of one byte per
// pixel with levels 0..64, rows padded to 4 bytes, top row first. Without a buffer answers the
// size; an empty glyph (a space) answers 0 with a 1 x 1 black box; GDI_ERROR on failure.
DWORD GetGlyphOutlineW(HDC dc, UINT character, UINT format, LPGLYPHMETRICS metrics, DWORD buffer_size,
                       LPVOID buffer, const MAT2* transform);

// GCP_GLYPHSHAPE gives one glyph index for each character, a surrogate pair counting as one.
// Returns the text's extent (width in the low word, height in the high word), 0 on failure.
DWORD GetCharacterPlacementW(HDC dc, LPCWSTR text, int count, int max_extent, GCP_RESULTSW* results,
                             DWORD flags);

COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
