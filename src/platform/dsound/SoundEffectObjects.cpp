#include "platform/dsound/SoundEffectObjects.h"

#include "platform/com/ComObject.h"
#include "platform/dsound/MixerVoice.h"

namespace platform {

namespace {

// Shared body of the three interfaces: Interface is the DirectSound interface, Parameters its
// block, and Get/Set reach the chain's store for that effect kind.
template <typename Interface, typename Parameters, EffectKind Kind, const IID& Id>
class EffectObject final : public ComObject<Interface, Id>
{
public:
    EffectObject(std::shared_ptr<MixerVoice> voice, size_t index)
        : m_voice(std::move(voice))
        , m_index(index)
    {}

    HRESULT SetAllParameters(const Parameters* parameters) override
    {
        if (!parameters)
            return E_POINTER;
        return m_voice->WithEffects([&](EffectChain& chain) -> HRESULT {
            if (!Valid(chain))
                return DSERR_OBJECTNOTFOUND;
            if constexpr (Kind == EffectKind::Echo)
                return chain.SetEcho(m_index, *parameters);
            else if constexpr (Kind == EffectKind::Compressor)
                return chain.SetCompressor(m_index, *parameters);
            else
                return chain.SetParamEq(m_index, *parameters);
        });
    }

    HRESULT GetAllParameters(Parameters* parameters) override
    {
        if (!parameters)
            return E_POINTER;
        return m_voice->WithEffects([&](EffectChain& chain) -> HRESULT {
            if (!Valid(chain))
                return DSERR_OBJECTNOTFOUND;
            if constexpr (Kind == EffectKind::Echo)
                *parameters = chain.GetEcho(m_index);
            else if constexpr (Kind == EffectKind::Compressor)
                *parameters = chain.GetCompressor(m_index);
            else
                *parameters = chain.GetParamEq(m_index);
            return DS_OK;
        });
    }

private:
    ~EffectObject() = default;

    bool Valid(const EffectChain& chain) const
    {
        return m_index < chain.Count() && chain.KindAt(m_index) == Kind;
    }

    std::shared_ptr<MixerVoice> m_voice;
    size_t m_index;
};

using EchoObject = EffectObject<IDirectSoundFXEcho8, DSFXEcho, EffectKind::Echo, IID_IDirectSoundFXEcho8>;
using CompressorObject = EffectObject<IDirectSoundFXCompressor8, DSFXCompressor, EffectKind::Compressor,
                                      IID_IDirectSoundFXCompressor8>;
using ParamEqObject =
    EffectObject<IDirectSoundFXParamEq8, DSFXParamEq, EffectKind::ParamEq, IID_IDirectSoundFXParamEq8>;

} // namespace

HRESULT CreateEffectObject(std::shared_ptr<MixerVoice> voice, size_t index, EffectKind kind,
                           REFIID interface_id, LPVOID* result)
{
    *result = nullptr;
    switch (kind) {
    case EffectKind::Echo:
        if (interface_id != IID_IDirectSoundFXEcho8)
            return E_NOINTERFACE;
        *result = static_cast<IDirectSoundFXEcho8*>(new EchoObject(std::move(voice), index));
        return DS_OK;
    case EffectKind::Compressor:
        if (interface_id != IID_IDirectSoundFXCompressor8)
            return E_NOINTERFACE;
        *result = static_cast<IDirectSoundFXCompressor8*>(new CompressorObject(std::move(voice), index));
        return DS_OK;
    case EffectKind::ParamEq:
        if (interface_id != IID_IDirectSoundFXParamEq8)
            return E_NOINTERFACE;
        *result = static_cast<IDirectSoundFXParamEq8*>(new ParamEqObject(std::move(voice), index));
        return DS_OK;
    }
    return E_NOINTERFACE;
}

} // namespace platform
