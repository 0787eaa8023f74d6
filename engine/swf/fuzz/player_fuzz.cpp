// libFuzzer target: reader, timeline, input and renderer together.
#include <cstddef>
#include <cstdint>

#include "engine/swf/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velmora::fuzz::PlayMovie({data, size});
    return 0;
}
