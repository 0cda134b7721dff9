#include "platform/dsound/EffectChain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace {

constexpr float FULL_SCALE = 32768.0f;
constexpr float MAX_ECHO_MS = 2000.0f;

bool InRange(float value, float low, float high)
{
    return !std::isnan(value) && value >= low && value <= high;
}

} // namespace

EffectChain::EffectChain(uint32_t channels, uint32_t rate)
    : m_channels(channels)
    , m_rate(rate)
{}

void EffectChain::Add(EffectKind kind)
{
    Effect effect;
    effect.kind = kind;
    if (kind == EffectKind::Echo) {
        const size_t length = static_cast<size_t>(MAX_ECHO_MS * m_rate / 1000.0f) + 1;
        for (uint32_t c = 0; c < m_channels; ++c)
            effect.lines[c].assign(length, 0.0f);
    }
    m_effects.push_back(std::move(effect));
    Effect& added = m_effects.back();
    if (kind == EffectKind::Compressor)
        PrepareCompressor(added);
    if (kind == EffectKind::ParamEq)
        PrepareParamEq(added);
}

HRESULT EffectChain::SetEcho(size_t index, const DSFXEcho& p)
{
    if (!InRange(p.fWetDryMix, 0, 100) || !InRange(p.fFeedback, 0, 100) || !InRange(p.fLeftDelay, 1, 2000) ||
        !InRange(p.fRightDelay, 1, 2000) || (p.lPanDelay != 0 && p.lPanDelay != 1))
        return DSERR_INVALIDPARAM;
    Effect& effect = m_effects[index];
    // A switched-off echo keeps no tail: turning it on later starts from silence.
    if (p.fWetDryMix == 0) {
        for (auto& line : effect.lines)
            std::fill(line.begin(), line.end(), 0.0f);
    }
    effect.echo = p;
    return DS_OK;
}

HRESULT EffectChain::SetCompressor(size_t index, const DSFXCompressor& p)
{
    if (!InRange(p.fGain, -60, 60) || !InRange(p.fAttack, 0.01f, 500) || !InRange(p.fRelease, 50, 3000) ||
        !InRange(p.fThreshold, -60, 0) || !InRange(p.fRatio, 1, 100) || !InRange(p.fPredelay, 0, 4))
        return DSERR_INVALIDPARAM;
    m_effects[index].compressor = p;
    PrepareCompressor(m_effects[index]);
    return DS_OK;
}

HRESULT EffectChain::SetParamEq(size_t index, const DSFXParamEq& p)
{
    if (!InRange(p.fCenter, 80, 16000) || !InRange(p.fBandwidth, 1, 36) || !InRange(p.fGain, -15, 15))
        return DSERR_INVALIDPARAM;
    m_effects[index].eq = p;
    PrepareParamEq(m_effects[index]);
    return DS_OK;
}

void EffectChain::Reset()
{
    for (Effect& effect : m_effects) {
        for (auto& line : effect.lines)
            std::fill(line.begin(), line.end(), 0.0f);
        effect.write_index = 0;
        effect.envelope = 0;
        for (int c = 0; c < 2; ++c)
            effect.biquad.z1[c] = effect.biquad.z2[c] = 0;
    }
}

void EffectChain::Process(float* samples, uint32_t frames)
{
    for (Effect& effect : m_effects) {
        switch (effect.kind) {
        case EffectKind::Echo:
            ProcessEcho(effect, samples, frames);
            break;
        case EffectKind::Compressor:
            ProcessCompressor(effect, samples, frames);
            break;
        case EffectKind::ParamEq:
            ProcessParamEq(effect, samples, frames);
            break;
        }
    }
}

void EffectChain::ProcessEcho(Effect& effect, float* samples, uint32_t frames)
{
    const DSFXEcho& p = effect.echo;
    if (p.fWetDryMix == 0)
        return;
    const float wet = p.fWetDryMix / 100.0f;
    const float dry = 1.0f - wet;
    const float feedback = p.fFeedback / 100.0f;
    const uint32_t length = static_cast<uint32_t>(effect.lines[0].size());
    const uint32_t delay[2] = {
        std::clamp<uint32_t>(static_cast<uint32_t>(p.fLeftDelay * m_rate / 1000.0f), 1, length - 1),
        std::clamp<uint32_t>(static_cast<uint32_t>(p.fRightDelay * m_rate / 1000.0f), 1, length - 1)};
    for (uint32_t i = 0; i < frames; ++i) {
        float delayed[2] = {0, 0};
        for (uint32_t c = 0; c < m_channels; ++c)
            delayed[c] = effect.lines[c][(effect.write_index + length - delay[c]) % length];
        for (uint32_t c = 0; c < m_channels; ++c) {
            // Pan delay swaps the sides on every repeat, so the echo bounces left and right.
            const uint32_t source = (p.lPanDelay && m_channels == 2) ? 1 - c : c;
            float& sample = samples[i * m_channels + c];
            effect.lines[c][effect.write_index] = sample + feedback * delayed[source];
            sample = dry * sample + wet * delayed[c];
        }
        effect.write_index = (effect.write_index + 1) % length;
    }
}

void EffectChain::PrepareCompressor(Effect& effect)
{
    const DSFXCompressor& p = effect.compressor;
    const float rate_ms = m_rate / 1000.0f;
    effect.attack_coefficient = std::exp(-1.0f / (p.fAttack * rate_ms));
    effect.release_coefficient = std::exp(-1.0f / (p.fRelease * rate_ms));
    effect.threshold_linear = FULL_SCALE * std::pow(10.0f, p.fThreshold / 20.0f);
    effect.makeup = std::pow(10.0f, p.fGain / 20.0f);
}

// A feed-forward peak compressor. The pre-delay is not applied as a look-ahead: delaying the
// sound would move every sample against the play cursor the engine steers by.
void EffectChain::ProcessCompressor(Effect& effect, float* samples, uint32_t frames)
{
    const float exponent = 1.0f - 1.0f / effect.compressor.fRatio;
    for (uint32_t i = 0; i < frames; ++i) {
        float* frame = samples + i * m_channels;
        float peak = std::fabs(frame[0]);
        if (m_channels == 2)
            peak = std::max(peak, std::fabs(frame[1]));
        const float coefficient =
            peak > effect.envelope ? effect.attack_coefficient : effect.release_coefficient;
        effect.envelope = coefficient * effect.envelope + (1.0f - coefficient) * peak;
        float gain = effect.makeup;
        if (effect.envelope > effect.threshold_linear)
            gain *= std::pow(effect.threshold_linear / effect.envelope, exponent);
        if (gain != 1.0f) {
            for (uint32_t c = 0; c < m_channels; ++c)
                frame[c] *= gain;
        }
    }
}

void EffectChain::PrepareParamEq(Effect& effect)
{
    const DSFXParamEq& p = effect.eq;
    const double a = std::pow(10.0, p.fGain / 40.0);
    const double w0 = 2.0 * std::numbers::pi * p.fCenter / m_rate;
    const double octaves = p.fBandwidth / 12.0;
    const double alpha = std::sin(w0) * std::sinh(std::log(2.0) / 2.0 * octaves * w0 / std::sin(w0));
    const double a0 = 1.0 + alpha / a;
    Biquad& q = effect.biquad;
    q.b0 = static_cast<float>((1.0 + alpha * a) / a0);
    q.b1 = static_cast<float>(-2.0 * std::cos(w0) / a0);
    q.b2 = static_cast<float>((1.0 - alpha * a) / a0);
    q.a1 = q.b1;
    q.a2 = static_cast<float>((1.0 - alpha / a) / a0);
    if (p.fGain == 0) {
        for (int c = 0; c < 2; ++c)
            q.z1[c] = q.z2[c] = 0;
    }
}

void EffectChain::ProcessParamEq(Effect& effect, float* samples, uint32_t frames)
{
    if (effect.eq.fGain == 0)
        return;
    Biquad& q = effect.biquad;
    for (uint32_t c = 0; c < m_channels; ++c) {
        float z1 = q.z1[c];
        float z2 = q.z2[c];
        for (uint32_t i = 0; i < frames; ++i) {
            float& x = samples[i * m_channels + c];
            const float y = q.b0 * x + z1;
            z1 = q.b1 * x - q.a1 * y + z2;
            z2 = q.b2 * x - q.a2 * y;
            x = y;
        }
        q.z1[c] = z1;
        q.z2[c] = z2;
    }
}

} // namespace platform
