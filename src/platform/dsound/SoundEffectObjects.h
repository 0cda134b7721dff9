#pragma once
// The parameter interfaces GetObjectInPath hands out for the effects of a buffer. Each object
// names one effect of the buffer's chain by position; after SetFX replaces the chain, an
// object of an effect that is gone answers DSERR_OBJECTNOTFOUND.

#include "platform/dsound/DSoundApi.h"
#include "platform/dsound/EffectChain.h"

#include <memory>

namespace platform {

class MixerVoice;

// Creates the object for effect index (of the given kind) of voice's chain, when interface_id
// is that kind's parameter interface.
HRESULT CreateEffectObject(std::shared_ptr<MixerVoice> voice, size_t index, EffectKind kind,
                           REFIID interface_id, LPVOID* result);

} // namespace platform
