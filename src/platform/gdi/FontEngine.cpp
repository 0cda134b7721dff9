// FreeType and fontconfig behind the GDI font calls.

#include "platform/gdi/FontEngine.h"

#include "platform/kernel/Unicode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <tuple>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

namespace platform::gdi {

namespace {

// Debian's Noto CJK collections (fonts-noto-cjk): every CJK family the table maps to lives in
// these two files, Regular and Bold.
constexpr std::array<const char*, 2> NOTO_CJK_FILES = {
    "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
    "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc",
};
constexpr const char* FALLBACK_FAMILY = "Noto Sans CJK JP";

struct TableEntry
{
    std::u16string_view windows_face;
    const char* family;
    bool em_is_cell;
};

// The Windows faces the game and the layer's own dialogs name. MS Gothic and SimHei have a cell
// that equals their em, so their substitutes are sized with the em at the cell height; Noto's
// taller Windows metrics would otherwise shrink every glyph by about 30 %. fontconfig alone maps
// all of these to a font without CJK glyphs.
constexpr std::array<TableEntry, 8> FACE_TABLE = {{
    {u"ＭＳ ゴシック", "Noto Sans Mono CJK JP", true},
    {u"MS Gothic", "Noto Sans Mono CJK JP", true},
    {u"ＭＳ Ｐゴシック", "Noto Sans CJK JP", true},
    {u"SimHei", "Noto Sans Mono CJK SC", true},
    {u"黑体", "Noto Sans Mono CJK SC", true},
    {u"Arial Unicode MS", "Noto Sans CJK JP", false},
    {u"MS Shell Dlg", "Noto Sans CJK JP", false},
    {u"MS UI Gothic", "Noto Sans CJK JP", false},
}};

constexpr LONG DEFAULT_CELL_HEIGHT = 16;

std::u16string FaceNameOf(const LOGFONTW& logfont)
{
    size_t length = 0;
    while (length < LF_FACESIZE && logfont.lfFaceName[length] != 0)
        ++length;
    return std::u16string(logfont.lfFaceName, length);
}

std::u16string_view WithoutVerticalMark(std::u16string_view face)
{
    // "@" asks for the vertical form of a face; glyphs come from the face itself.
    if (!face.empty() && face.front() == u'@')
        face.remove_prefix(1);
    return face;
}

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i];
        char16_t y = b[i];
        if (x >= u'A' && x <= u'Z')
            x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z')
            y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y)
            return false;
    }
    return true;
}

struct FaceLocation
{
    std::string path;
    int index = 0;
    bool bold_style = false; // the file's own style is bold
};

struct LoadedFace
{
    FT_Face face = nullptr;
    int units_per_em = 1000;
    int win_ascent = 0;
    int win_descent = 0;
    int typo_ascent = 0;
    int half_advance = 500; // advance of "0" in font units
    // Top of the Latin ascenders and bottom of the descenders, in font units; 0 and 0 without them.
    int latin_top = 0;
    int latin_bottom = 0;
    std::map<std::pair<FT_F26Dot6, FT_F26Dot6>, FT_Size> sizes;
};

// One logical font resolved to a sized face.
struct Resolved
{
    LoadedFace* face = nullptr;
    FT_Size size = nullptr;
    double em_x = 0;
    double em_y = 0;
    LONG cell = 0;
    LONG ascent = 0;
    FT_Pos embolden = 0; // 26.6 strength, 0 for none
    bool italic = false;
    bool em_is_cell = false;
    // How the glyphs drawn on the Latin baseline are fitted into the cell: scaled, then raised
    // (26.6). 1 and 0 leave them as the face draws them.
    double latin_scale = 1;
    FT_Pos latin_lift = 0;
};

// The CJK faces draw their kana and ideographs within the em box but their Latin letters, half
// and full width, on a design whose descenders reach far below it (a quarter of the em in Noto,
// against an eighth of the box). The Windows faces they stand in for keep every glyph within the
// em, so these glyphs are moved as one set to keep "g" and "y" whole in an em-high cell. The other
// full-width glyphs (the JIS "×" of the Latin-1 block, full-width digits in dates) line up with
// the kana and stay.
bool OnLatinBaseline(uint32_t code_point, bool full_width)
{
    if (code_point < 0x2000)
        return !full_width;
    return (code_point >= 0xFF21 && code_point <= 0xFF3A) || (code_point >= 0xFF41 && code_point <= 0xFF5A);
}

// The ink extent of the letters that reach highest and lowest, in font units.
std::pair<int, int> MeasureLatinExtent(FT_Face face)
{
    int top = 0;
    int bottom = 0;
    auto extent = [&](std::u32string_view letters, bool upward) {
        for (char32_t letter : letters) {
            const FT_UInt index = FT_Get_Char_Index(face, letter);
            if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE) != 0 ||
                face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
                continue;
            FT_BBox box{};
            FT_Outline_Get_CBox(&face->glyph->outline, &box);
            if (upward)
                top = std::max(top, static_cast<int>(box.yMax));
            else
                bottom = std::min(bottom, static_cast<int>(box.yMin));
        }
    };
    extent(U"bdfhklAHTｂｄｆｈｋｌ", true);
    extent(U"gjpqyｇｊｐｑｙ", false);
    return {top, bottom};
}

} // namespace

struct FontEngine::State
{
    std::mutex lock; // guards everything below and every FreeType call; a leaf
    FT_Library library = nullptr;
    bool fontconfig_ready = false;
    std::map<std::pair<std::string, bool>, FaceLocation> table_faces; // (family, bold)
    std::map<std::pair<std::string, int>, std::unique_ptr<LoadedFace>> faces;
    // How far the table files have been read, in their order: each face costs a start a
    // fraction of a millisecond to open, and the first lookups find theirs among the first.
    size_t scan_file = 0;
    FT_Long scan_face = 0;   // the next face of the file
    FT_Long scan_faces = -1; // the file's number of faces; -1 before it is opened

    // Reads the table files' faces until (family, bold) is among them or every face is read; the
    // first face of a family and weight is the one kept, as a whole read would keep it.
    void ScanTableFilesFor(const std::pair<std::string, bool>& key)
    {
        while (!table_faces.contains(key) && scan_file < NOTO_CJK_FILES.size()) {
            const char* path = NOTO_CJK_FILES[scan_file];
            if (scan_faces < 0) {
                FT_Face probe = nullptr;
                scan_faces = FT_New_Face(library, path, -1, &probe) == 0 ? probe->num_faces : 0;
                if (probe != nullptr)
                    FT_Done_Face(probe);
                scan_face = 0;
            }
            if (scan_face >= scan_faces) {
                ++scan_file;
                scan_faces = -1;
                continue;
            }
            const FT_Long i = scan_face++;
            FT_Face face = nullptr;
            if (FT_New_Face(library, path, i, &face) != 0)
                continue;
            const bool bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
            if (face->family_name != nullptr)
                table_faces.emplace(std::make_pair(std::string(face->family_name), bold),
                                    FaceLocation{path, static_cast<int>(i), bold});
            FT_Done_Face(face);
        }
    }

    bool EnsureFontconfig()
    {
        if (!fontconfig_ready) {
            fontconfig_ready = FcInit() != 0;
            // fontconfig keeps its configuration and caches in globals of its own; they are freed
            // at exit so leak checkers see only what the program itself holds.
            if (fontconfig_ready)
                std::atexit([] { FcFini(); });
        }
        return fontconfig_ready;
    }

    std::optional<FaceLocation> MatchWithFontconfig(const std::string& family, bool bold, bool need_cjk)
    {
        if (!EnsureFontconfig())
            return std::nullopt;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        if (match == nullptr)
            return std::nullopt;
        std::optional<FaceLocation> location;
        FcChar8* file = nullptr;
        int index = 0;
        int weight = FC_WEIGHT_REGULAR;
        FcCharSet* charset = nullptr;
        const bool has_file = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        const bool cjk = FcPatternGetCharSet(match, FC_CHARSET, 0, &charset) == FcResultMatch &&
                         FcCharSetHasChar(charset, 0x3042) && FcCharSetHasChar(charset, 0x4E00);
        if (has_file && (cjk || !need_cjk))
            location = FaceLocation{reinterpret_cast<const char*>(file), index, weight >= FC_WEIGHT_DEMIBOLD};
        FcPatternDestroy(match);
        return location;
    }

    bool FamilyInstalled(const std::string& family)
    {
        if (!EnsureFontconfig())
            return false;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
        FcFontSet* set = FcFontList(nullptr, pattern, objects);
        const bool found = set != nullptr && set->nfont > 0;
        if (set != nullptr)
            FcFontSetDestroy(set);
        FcObjectSetDestroy(objects);
        FcPatternDestroy(pattern);
        return found;
    }

    std::optional<FaceLocation> LocateTableFamily(const std::string& family, bool bold)
    {
        // A face not found reads every face, so the regular weight's is then known too.
        ScanTableFilesFor({family, bold});
        auto it = table_faces.find({family, bold});
        if (it == table_faces.end() && bold)
            it = table_faces.find({family, false});
        if (it != table_faces.end())
            return it->second;
        return MatchWithFontconfig(family, bold, true);
    }

    LoadedFace* Load(const FaceLocation& location)
    {
        auto key = std::make_pair(location.path, location.index);
        auto it = faces.find(key);
        if (it != faces.end())
            return it->second.get();
        FT_Face face = nullptr;
        if (FT_New_Face(library, location.path.c_str(), location.index, &face) != 0)
            return nullptr;
        FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        auto loaded = std::make_unique<LoadedFace>();
        loaded->face = face;
        loaded->units_per_em = face->units_per_EM > 0 ? face->units_per_EM : 1000;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
            loaded->win_ascent = os2->usWinAscent;
            loaded->win_descent = os2->usWinDescent;
            loaded->typo_ascent = os2->sTypoAscender;
        } else {
            loaded->win_ascent = face->ascender;
            loaded->win_descent = -face->descender;
            loaded->typo_ascent = face->ascender;
        }
        FT_Fixed advance = 0;
        const FT_UInt zero = FT_Get_Char_Index(face, U'0');
        if (zero != 0 && FT_Get_Advance(face, zero, FT_LOAD_NO_SCALE, &advance) == 0 && advance > 0)
            loaded->half_advance = static_cast<int>(advance);
        else
            loaded->half_advance = loaded->units_per_em / 2;
        std::tie(loaded->latin_top, loaded->latin_bottom) = MeasureLatinExtent(face);
        LoadedFace* raw = loaded.get();
        faces.emplace(std::move(key), std::move(loaded));
        return raw;
    }

    FT_Size SizeOf(LoadedFace& face, double em_x, double em_y)
    {
        const auto key = std::make_pair(static_cast<FT_F26Dot6>(std::lround(em_x * 64)),
                                        static_cast<FT_F26Dot6>(std::lround(em_y * 64)));
        auto it = face.sizes.find(key);
        if (it != face.sizes.end()) {
            FT_Activate_Size(it->second);
            return it->second;
        }
        if (face.sizes.size() >= 64) {
            // Sizes come and go with the text settings; a bounded cache keeps memory flat.
            for (auto& [unused, size] : face.sizes)
                FT_Done_Size(size);
            face.sizes.clear();
        }
        FT_Size size = nullptr;
        if (FT_New_Size(face.face, &size) != 0)
            return nullptr;
        FT_Activate_Size(size);
        if (FT_Set_Char_Size(face.face, std::max<FT_F26Dot6>(key.first, 64),
                             std::max<FT_F26Dot6>(key.second, 64), 72, 72) != 0) {
            FT_Done_Size(size);
            return nullptr;
        }
        face.sizes.emplace(key, size);
        return size;
    }

    // The smallest change that brings the Latin ascenders and descenders, emboldened, inside the
    // cell: a shrink only when they span more than it, then a lift.
    static void FitLatinIntoCell(Resolved& resolved)
    {
        const LoadedFace& face = *resolved.face;
        const double pixels_per_unit = resolved.em_y / face.units_per_em;
        const double growth = resolved.embolden / 64.0 / 2; // on each side
        const double room_top = resolved.ascent - growth;
        const double room_bottom = resolved.ascent - resolved.cell + growth;
        const double top = face.latin_top * pixels_per_unit;
        const double bottom = face.latin_bottom * pixels_per_unit;
        if (top - bottom <= 0 || room_top <= room_bottom)
            return;
        const double scale = std::min(1.0, (room_top - room_bottom) / (top - bottom));
        double lift = 0;
        if (bottom * scale < room_bottom)
            lift = room_bottom - bottom * scale;
        else if (top * scale > room_top)
            lift = room_top - top * scale;
        resolved.latin_scale = scale;
        resolved.latin_lift = static_cast<FT_Pos>(std::lround(lift * 64));
    }

    std::optional<Resolved> Resolve(const LOGFONTW& logfont)
    {
        if (library == nullptr)
            return std::nullopt;
        const std::u16string full_name = FaceNameOf(logfont);
        const std::u16string_view name = WithoutVerticalMark(full_name);
        const bool bold = logfont.lfWeight >= 600;
        const std::optional<FaceSubstitute> substitute = LookUpSubstitute(name);
        std::optional<FaceLocation> location;
        bool em_is_cell = false;
        if (substitute) {
            location = LocateTableFamily(substitute->family, bold);
            em_is_cell = substitute->em_is_cell;
        } else if (!name.empty()) {
            location = MatchWithFontconfig(Utf16ToUtf8(name), bold, true);
        }
        if (!location)
            location = LocateTableFamily(FALLBACK_FAMILY, bold);
        if (!location)
            location = MatchWithFontconfig(FALLBACK_FAMILY, bold, false);
        if (!location)
            return std::nullopt;
        LoadedFace* face = Load(*location);
        if (face == nullptr)
            return std::nullopt;

        Resolved resolved;
        resolved.face = face;
        resolved.em_is_cell = em_is_cell;
        resolved.italic = logfont.lfItalic != 0;
        const double units = face->units_per_em;
        const double span = face->win_ascent + face->win_descent;
        const LONG height = logfont.lfHeight == 0 ? DEFAULT_CELL_HEIGHT : logfont.lfHeight;
        if (em_is_cell) {
            resolved.em_y = std::abs(static_cast<double>(height));
            resolved.cell = std::abs(height);
            resolved.ascent = static_cast<LONG>(std::lround(resolved.em_y * face->typo_ascent / units));
        } else if (height > 0) {
            // GDI: a positive height is the cell, ascent plus descent of the Windows metrics.
            resolved.cell = height;
            resolved.em_y = height * units / span;
            resolved.ascent = static_cast<LONG>(std::lround(height * face->win_ascent / span));
        } else {
            resolved.em_y = -static_cast<double>(height);
            resolved.cell = static_cast<LONG>(std::lround(resolved.em_y * span / units));
            resolved.ascent = static_cast<LONG>(std::lround(resolved.em_y * face->win_ascent / units));
        }
        resolved.ascent = std::clamp<LONG>(resolved.ascent, 0, resolved.cell);
        // The width is the average character width: for these faces the advance of a half-width
        // character.
        resolved.em_x = logfont.lfWidth > 0 ? logfont.lfWidth * units / face->half_advance : resolved.em_y;
        if (bold && !location->bold_style)
            resolved.embolden += static_cast<FT_Pos>(std::lround(resolved.em_y * 64 / 24));
        if (logfont.lfWeight >= 800)
            resolved.embolden += static_cast<FT_Pos>(std::lround(resolved.em_y * 64 / 48));
        if (em_is_cell)
            FitLatinIntoCell(resolved);
        resolved.size = SizeOf(*face, resolved.em_x, resolved.em_y);
        if (resolved.size == nullptr)
            return std::nullopt;
        return resolved;
    }
};

FontEngine& FontEngine::GetInstance()
{
    static auto* s_engine = new FontEngine; // never destroyed: fonts may be freed during static destruction
    return *s_engine;
}

FontEngine::FontEngine()
    : m_state(std::make_unique<State>())
{
    if (FT_Init_FreeType(&m_state->library) != 0)
        m_state->library = nullptr;
}

FontEngine::~FontEngine() = default;

std::optional<FaceSubstitute> FontEngine::LookUpSubstitute(std::u16string_view face)
{
    face = WithoutVerticalMark(face);
    for (const TableEntry& entry : FACE_TABLE) {
        if (EqualIgnoringAsciiCase(entry.windows_face, face))
            return FaceSubstitute{entry.family, entry.em_is_cell};
    }
    return std::nullopt;
}

bool FontEngine::FaceExists(std::u16string_view face)
{
    face = WithoutVerticalMark(face);
    if (face.empty())
        return false;
    if (LookUpSubstitute(face))
        return true;
    std::lock_guard lock(m_state->lock);
    return m_state->FamilyInstalled(Utf16ToUtf8(face));
}

std::optional<TEXTMETRICW> FontEngine::GetTextMetrics(const LOGFONTW& logfont)
{
    std::lock_guard lock(m_state->lock);
    const std::optional<Resolved> resolved = m_state->Resolve(logfont);
    if (!resolved)
        return std::nullopt;
    const FT_Face face = resolved->face->face;
    const double x_scale = resolved->em_x / resolved->face->units_per_em;
    TEXTMETRICW metrics{};
    metrics.tmHeight = resolved->cell;
    metrics.tmAscent = resolved->ascent;
    metrics.tmDescent = resolved->cell - resolved->ascent;
    metrics.tmInternalLeading =
        std::max<LONG>(0, resolved->cell - static_cast<LONG>(std::lround(resolved->em_y)));
    metrics.tmExternalLeading = 0;
    metrics.tmAveCharWidth = static_cast<LONG>(std::lround(resolved->face->half_advance * x_scale));
    metrics.tmMaxCharWidth = static_cast<LONG>(std::lround(face->max_advance_width * x_scale));
    metrics.tmWeight = logfont.lfWeight == FW_DONTCARE ? FW_NORMAL : logfont.lfWeight;
    metrics.tmDigitizedAspectX = 96;
    metrics.tmDigitizedAspectY = 96;
    metrics.tmFirstChar = 0x20;
    metrics.tmLastChar = 0xFFFC;
    metrics.tmDefaultChar = 0x30FB;
    metrics.tmBreakChar = 0x20;
    metrics.tmItalic = logfont.lfItalic;
    metrics.tmUnderlined = logfont.lfUnderline;
    metrics.tmStruckOut = logfont.lfStrikeOut;
    // TMPF_VECTOR | TMPF_TRUETYPE; GDI's pitch bit is set for variable pitch.
    metrics.tmPitchAndFamily = static_cast<BYTE>((logfont.lfPitchAndFamily & 0xF0) | 0x02 | 0x04 |
                                                 (FT_IS_FIXED_WIDTH(face) ? 0 : 0x01));
    metrics.tmCharSet = logfont.lfCharSet == DEFAULT_CHARSET ? SHIFTJIS_CHARSET : logfont.lfCharSet;
    return metrics;
}

std::optional<GlyphImage> FontEngine::RenderGlyph(const LOGFONTW& logfont, uint32_t character,
                                                  bool index_given, const MAT2* transform)
{
    std::lock_guard lock(m_state->lock);
    const std::optional<Resolved> resolved = m_state->Resolve(logfont);
    if (!resolved)
        return std::nullopt;
    const FT_Face face = resolved->face->face;
    const FT_UInt index = index_given ? character : FT_Get_Char_Index(face, character);
    if (index_given && index >= static_cast<FT_UInt>(face->num_glyphs))
        return std::nullopt;
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP) != 0)
        return std::nullopt;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        const bool full_width = slot->advance.x >= std::lround(resolved->em_x * 64 * 0.9);
        if (!index_given && OnLatinBaseline(character, full_width) &&
            (resolved->latin_scale != 1 || resolved->latin_lift != 0)) {
            // Shrunk about the middle of the advance, so the glyph keeps its place in the line.
            const FT_Fixed scale = static_cast<FT_Fixed>(std::lround(resolved->latin_scale * 0x10000));
            const FT_Pos middle = slot->advance.x / 2;
            FT_Outline_Translate(&slot->outline, -middle, 0);
            FT_Matrix shrink{scale, 0, 0, scale};
            FT_Outline_Transform(&slot->outline, &shrink);
            FT_Outline_Translate(&slot->outline, middle, resolved->latin_lift);
        }
        if (resolved->embolden > 0)
            FT_Outline_Embolden(&slot->outline, resolved->embolden);
        if (resolved->italic) {
            FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000}; // about 12 degrees
            FT_Outline_Transform(&slot->outline, &shear);
        }
        if (transform != nullptr) {
            auto fixed = [](FIXED f) {
                return static_cast<FT_Fixed>((static_cast<int32_t>(f.value) << 16) | f.fract);
            };
            FT_Matrix matrix{fixed(transform->eM11), fixed(transform->eM21), fixed(transform->eM12),
                             fixed(transform->eM22)};
            if (matrix.xx != 0x10000 || matrix.xy != 0 || matrix.yx != 0 || matrix.yy != 0x10000)
                FT_Outline_Transform(&slot->outline, &matrix);
        }
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return std::nullopt;
    const FT_Bitmap& bitmap = slot->bitmap;
    GlyphImage image;
    image.metrics.gmCellIncX = static_cast<SHORT>((slot->advance.x + 32) >> 6);
    image.metrics.gmCellIncY = 0;
    image.metrics.gmptGlyphOrigin = POINT{slot->bitmap_left, slot->bitmap_top};
    if (bitmap.width == 0 || bitmap.rows == 0 || bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
        // GDI reports an empty glyph with a one-pixel black box and no bits.
        image.metrics.gmBlackBoxX = 1;
        image.metrics.gmBlackBoxY = 1;
        return image;
    }
    image.metrics.gmBlackBoxX = bitmap.width;
    image.metrics.gmBlackBoxY = bitmap.rows;
    const size_t pitch = (static_cast<size_t>(bitmap.width) + 3) & ~size_t{3};
    image.levels.assign(pitch * bitmap.rows, 0);
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const uint8_t* from = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        uint8_t* to = image.levels.data() + row * pitch;
        for (unsigned column = 0; column < bitmap.width; ++column)
            to[column] = static_cast<uint8_t>((from[column] * 64 + 127) / 255);
    }
    return image;
}

uint32_t FontEngine::GetGlyphIndex(const LOGFONTW& logfont, char32_t code_point)
{
    std::lock_guard lock(m_state->lock);
    const std::optional<Resolved> resolved = m_state->Resolve(logfont);
    if (!resolved)
        return 0;
    return FT_Get_Char_Index(resolved->face->face, code_point);
}

int FontEngine::GetAdvance(const LOGFONTW& logfont, uint32_t glyph_index)
{
    std::lock_guard lock(m_state->lock);
    const std::optional<Resolved> resolved = m_state->Resolve(logfont);
    if (!resolved)
        return 0;
    const FT_Face face = resolved->face->face;
    if (FT_Load_Glyph(face, glyph_index, FT_LOAD_NO_BITMAP) != 0)
        return 0;
    return static_cast<int>((face->glyph->advance.x + 32) >> 6);
}

LOGFONTW SelectedLogFont(HDC dc, bool* context_found)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    DeviceContext* context = registry.FindContext(dc);
    if (context_found != nullptr)
        *context_found = context != nullptr;
    if (context != nullptr && context->font != nullptr && context->font->kind == ObjectKind::Font)
        return static_cast<const FontObject*>(context->font)->logfont;
    // A context starts with the default GUI font.
    LOGFONTW fallback{};
    fallback.lfHeight = DEFAULT_CELL_HEIGHT;
    fallback.lfWeight = FW_NORMAL;
    fallback.lfCharSet = DEFAULT_CHARSET;
    const std::u16string_view face = u"MS Shell Dlg";
    std::copy(face.begin(), face.end(), fallback.lfFaceName);
    return fallback;
}

} // namespace platform::gdi
