// libFuzzer target: the SWF reader and movie loader.
#include <cstddef>
#include <cstdint>

#include "engine/swf/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velmora::fuzz::ReadMovie({data, size});
    return 0;
}
