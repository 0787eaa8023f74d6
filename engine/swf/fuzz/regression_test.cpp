// Inputs the fuzzers once crashed or hung on, replayed through the fuzz entry points.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/swf/fuzz/fuzz_entry.h"

namespace velmora::fuzz {
namespace {

TEST(FuzzRegressions, SavedInputsRunCleanly) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VELMORA_FUZZ_REGRESSIONS)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".swf") continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ReadMovie(bytes);
        PlayMovie(bytes);
        ++count;
    }
    EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace velmora::fuzz
