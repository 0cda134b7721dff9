// The libFuzzer entry of one target; VESK_FUZZ_ENTRY names the target's function.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return VESK_FUZZ_ENTRY(data, size);
}
