#pragma once
// An AKB picture file in memory and its decoder. The header names the picture's size, the
// content rectangle that the LZSS body holds (rows bottom-up, delta-filtered), whether the body
// has three bytes a pixel with one alpha for all, the border fill colour and, for a difference
// picture ("AKB+"), the file name of its base. CAkb does not own the bytes; the caller keeps them
// alive while it decodes. The decoder unpacks the body with the archives' LZSS decoder straight
// into the rows of a locked layer and undoes the filter there; any thread that owns the layer.

#include "platform/kernel/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class ILayer;

inline constexpr size_t AKB_HEADER_SIZE = 32;
inline constexpr size_t AKB_DIFFERENCE_HEADER_SIZE = 64;
inline constexpr size_t AKB_BASE_NAME_SIZE = 32;
inline constexpr uint32_t AKB_FLAG_RGB = 0x40000000;  // three bytes a pixel; alpha is the flags' low byte
inline constexpr uint32_t AKB_FLAG_FILL = 0x80000000; // fill the area outside the content rectangle
// Pixels of this colour in a difference picture let the base show through.
inline constexpr uint32_t AKB_DIFFERENCE_KEY = 0x00FF00;

class CAkb
{
public:
    enum class Kind
    {
        None, // too short for its header, or another magic
        Plain,
        Difference
    };

    CAkb(const uint8_t* bytes, size_t size);
    virtual ~CAkb() = default;

    Kind GetKind() const { return m_kind; }
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    uint32_t GetFlags() const { return m_flags; }
    uint32_t GetFillColour() const { return m_fill_colour; }
    // Relative to the picture's top-left; right and bottom exclusive.
    RECT GetContentRect() const { return m_content; }
    // "AKB+": the base's file name up to its first "." (or the whole stored name), with ".akb".
    std::string GetBaseFileName() const;
    std::span<const uint8_t> GetBody() const { return m_body; }

    // The header's rectangle lies inside the picture and the body is long enough to decode to
    // the content rectangle's bytes. Reads the header only; whether the body decodes to exactly
    // those bytes is known once DecodeAkb has run.
    bool IsWellFormed() const;

private:
    const uint8_t* m_bytes; // not owned
    size_t m_size;
    Kind m_kind = Kind::None;
    int32_t m_width = 0;
    int32_t m_height = 0;
    uint32_t m_flags = 0;
    uint32_t m_fill_colour = 0;
    RECT m_content{};
    std::string m_base_name; // as stored, cut at its terminator and at 32 bytes
    std::span<const uint8_t> m_body;
};

// Decodes a well-formed picture into the layer with its top-left at (x, y): the content
// rectangle, its alpha for three-byte bodies and the border fill by fill mode (2: the fill colour
// with alpha 0; 1: no fill when the colour's alpha is 0; otherwise the colour as stored). The
// content rectangle goes to out when given. Refuses (false, layer untouched) a picture that is
// not well formed, whose body does not decode to exactly its content rectangle, or that does not
// fit the layer.
// blank_layer: the layer is new, all zero and untouched; the picture's zero bytes are then not
// stored, so its clear parts cost the layer no memory, and the body is decoded in one pass: a
// refused picture may leave part of itself in the layer, which the caller drops.
bool DecodeAkb(const CAkb& akb, ILayer* layer, int32_t x, int32_t y, RECT* out, int32_t fill_mode,
               bool blank_layer = false);
// The three-byte body reader: colour bytes into the content rectangle, the alpha bytes kept.
bool DecodeAkbRgb(const CAkb& akb, ILayer* layer, int32_t x, int32_t y);
