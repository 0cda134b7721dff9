#pragma once
// The effects of one secondary buffer, in the order they were set: echo, compressor and
// parametric equaliser approximations of the standard DirectSound effects. Samples are floats
// on the 16-bit scale (full scale 32768), interleaved, at the mixer's rate. Settings that
// change nothing (echo wet/dry 0, equaliser gain 0, compressor gain 0 below its threshold)
// pass the samples through bit for bit. Owned by its MixerVoice, used under its lock.

#include "platform/dsound/DSoundApi.h"

#include <cstdint>
#include <vector>

namespace platform {

enum class EffectKind
{
    Echo,
    Compressor,
    ParamEq
};

class EffectChain
{
public:
    static constexpr DSFXEcho DEFAULT_ECHO = {50.0f, 50.0f, 500.0f, 500.0f, 0};
    static constexpr DSFXCompressor DEFAULT_COMPRESSOR = {0.0f, 10.0f, 200.0f, -20.0f, 3.0f, 4.0f};
    static constexpr DSFXParamEq DEFAULT_PARAMEQ = {8000.0f, 12.0f, 0.0f};

    EffectChain(uint32_t channels, uint32_t rate);

    void Add(EffectKind kind);
    size_t Count() const { return m_effects.size(); }
    EffectKind KindAt(size_t index) const { return m_effects[index].kind; }

    // Setters validate the ranges above and return DSERR_INVALIDPARAM when outside them.
    HRESULT SetEcho(size_t index, const DSFXEcho& parameters);
    HRESULT SetCompressor(size_t index, const DSFXCompressor& parameters);
    HRESULT SetParamEq(size_t index, const DSFXParamEq& parameters);
    DSFXEcho GetEcho(size_t index) const { return m_effects[index].echo; }
    DSFXCompressor GetCompressor(size_t index) const { return m_effects[index].compressor; }
    DSFXParamEq GetParamEq(size_t index) const { return m_effects[index].eq; }

    // Processes frames of interleaved samples in place.
    void Process(float* samples, uint32_t frames);
    // Forgets the echo tails, compressor envelopes and filter memories (a new play from the start).
    void Reset();

private:
    struct Biquad
    {
        float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        float z1[2] = {0, 0};
        float z2[2] = {0, 0};
    };
    struct Effect
    {
        EffectKind kind;
        DSFXEcho echo = DEFAULT_ECHO;
        DSFXCompressor compressor = DEFAULT_COMPRESSOR;
        DSFXParamEq eq = DEFAULT_PARAMEQ;
        // Echo state: one delay line per channel, 2 s long.
        std::vector<float> lines[2];
        uint32_t write_index = 0;
        // Compressor state.
        float envelope = 0;
        float attack_coefficient = 0;
        float release_coefficient = 0;
        float threshold_linear = 0;
        float makeup = 1;
        // Equaliser state.
        Biquad biquad;
    };

    void ProcessEcho(Effect& effect, float* samples, uint32_t frames);
    void ProcessCompressor(Effect& effect, float* samples, uint32_t frames);
    void ProcessParamEq(Effect& effect, float* samples, uint32_t frames);
    void PrepareCompressor(Effect& effect);
    void PrepareParamEq(Effect& effect);

    uint32_t m_channels;
    uint32_t m_rate;
    std::vector<Effect> m_effects;
};

} // namespace platform
