// Inputs the fuzzer once crashed on, replayed through the fuzz target.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(RasterFuzzRegression, FormerCrashersRenderCleanly) {
    const std::filesystem::path dir = std::filesystem::path(VELMORA_RASTER_TESTDATA) / "fuzz";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0) << entry.path();
        ++count;
    }
    EXPECT_GT(count, 0) << "no inputs in " << dir;
}
