#include "engine/swf/swf_stream.h"

#include <gtest/gtest.h>

#include "tools/swfgen/samples.h"

namespace velmora::swf {
namespace {

std::vector<uint8_t> Sample(Compression c) { return swfgen::FindSample("timeline")->build(c); }

TEST(SwfStream, AllCompressionsGiveTheSameHeaderAndTags) {
    SwfStream plain;
    plain.Append(Sample(Compression::None));
    plain.Finish();
    ASSERT_TRUE(plain.HeaderReady()) << plain.Error();
    EXPECT_EQ(plain.Header().frameSize, (RectTwips{0, 4000, 0, 3000}));
    EXPECT_FLOAT_EQ(plain.Header().frameRate, 12.0f);
    EXPECT_EQ(plain.Header().frameCount, 4);
    EXPECT_EQ(plain.Header().version, 8);
    EXPECT_EQ(plain.PercentLoaded(), 100);
    std::vector<uint8_t> tags(plain.Tags().begin(), plain.Tags().end());

    for (Compression c : {Compression::Zlib, Compression::Lzma}) {
        SwfStream s;
        s.Append(Sample(c));
        s.Finish();
        ASSERT_TRUE(s.HeaderReady()) << s.Error();
        EXPECT_EQ(s.Header().compression, c);
        EXPECT_EQ(s.Header().frameCount, 4);
        EXPECT_EQ(std::vector<uint8_t>(s.Tags().begin(), s.Tags().end()), tags);
    }
}

TEST(SwfStream, ByteByByteMatchesAllAtOnce) {
    for (Compression c : {Compression::None, Compression::Zlib, Compression::Lzma}) {
        SCOPED_TRACE(static_cast<int>(c));
        auto movie = Sample(c);
        SwfStream whole;
        whole.Append(movie);
        SwfStream drip;
        int lastPercent = 0;
        for (uint8_t byte : movie) {
            drip.Append(std::span(&byte, 1));
            EXPECT_GE(drip.PercentLoaded(), lastPercent);
            lastPercent = drip.PercentLoaded();
        }
        ASSERT_TRUE(drip.HeaderReady());
        EXPECT_EQ(std::vector<uint8_t>(drip.Tags().begin(), drip.Tags().end()),
                  std::vector<uint8_t>(whole.Tags().begin(), whole.Tags().end()));
        drip.Finish();
        EXPECT_EQ(drip.PercentLoaded(), 100);
    }
}

TEST(SwfStream, HeaderWaitsForItsBytes) {
    auto movie = Sample(Compression::None);
    SwfStream s;
    s.Append(std::span(movie.data(), 10));
    EXPECT_FALSE(s.HeaderReady());
    EXPECT_FALSE(s.Failed());
    EXPECT_LT(s.PercentLoaded(), 100);
    s.Append(std::span(movie.data() + 10, movie.size() - 10));
    EXPECT_TRUE(s.HeaderReady());
}

TEST(SwfStream, BadInputGivesAnError) {
    const std::vector<std::vector<uint8_t>> bad = {
        {'G', 'I', 'F', '8', '9', 'a'},
        {'F', 'W', 'S'},                           // cut in the length
        {'F', 'W', 'S', 8, 30, 0, 0, 0, 0x78},     // cut in the RECT
    };
    for (const auto& bytes : bad) {
        SwfStream s;
        s.Append(bytes);
        s.Finish();
        EXPECT_TRUE(s.Failed());
        EXPECT_FALSE(s.HeaderReady());
    }
}

TEST(SwfStream, CorruptZlibKeepsWhatDecompressed) {
    auto movie = Sample(Compression::Zlib);
    for (size_t i = movie.size() / 2; i < movie.size(); ++i) movie[i] ^= 0x5A;
    SwfStream s;
    s.Append(movie);
    s.Finish();
    ASSERT_TRUE(s.HeaderReady());
    EXPECT_TRUE(s.Complete());
    EXPECT_GT(s.Tags().size(), 0u);
}

TEST(SwfStream, DeclaredLengthDoesNotSizeAnything) {
    auto movie = Sample(Compression::Lzma);
    // Claim 4 GB uncompressed and a 4 GB dictionary: nothing is allocated from either.
    for (int i = 4; i < 8; ++i) movie[i] = 0xFF;
    for (int i = 13; i < 17; ++i) movie[i] = 0xFF;
    SwfStream s;
    s.Append(movie);
    s.Finish();
    ASSERT_TRUE(s.HeaderReady()) << s.Error();
    EXPECT_EQ(s.Header().frameCount, 4);
}

}  // namespace
}  // namespace velmora::swf
