#include "engine/swf/bitmap_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "engine/swf/tags.h"
#include "tools/swfgen/image_encode.h"
#include "tools/swfgen/movie_builder.h"

namespace velmora::swf {
namespace {

Bitmap Gradient(int w, int h, bool withAlpha) {
    Bitmap bmp;
    bmp.width = w;
    bmp.height = h;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t a = withAlpha ? (x * 255 / (w - 1)) : 255;
            uint32_t r = (x * 8) % 256 * a / 255, g = (y * 8) % 256 * a / 255, b = 128 * a / 255;
            bmp.pixels.push_back((a << 24) | (r << 16) | (g << 8) | b);
        }
    }
    return bmp;
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9);
    out.resize(size);
    return out;
}

TEST(BitmapReader, Lossless2RoundTripsPremultipliedArgb) {
    Bitmap src = Gradient(17, 5, true);
    auto bmp = ReadDefineBitsLossless(swfgen::LosslessBody(src), 2);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->width, 17);
    EXPECT_EQ(bmp->height, 5);
    EXPECT_EQ(bmp->pixels, src.pixels);
}

TEST(BitmapReader, ColormappedRowsArePaddedToFourBytes) {
    // 3x2 pixels, palette of two RGB colours; rows of 3 indices padded to 4 bytes.
    std::vector<uint8_t> raw = {255, 0, 0, 0, 0, 255, 0, 1, 0, 9, 1, 1, 0, 9};
    std::vector<uint8_t> body = {3, 3, 0, 2, 0, 1};
    auto packed = Compress(raw);
    body.insert(body.end(), packed.begin(), packed.end());
    auto bmp = ReadDefineBitsLossless(body, 1);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF, 0xFFFF0000, 0xFF0000FF,
                                                  0xFF0000FF, 0xFFFF0000}));
}

TEST(BitmapReader, FifteenBitPixels) {
    std::vector<uint8_t> raw = {0x7C, 0x00, 0x00, 0x1F};  // red, blue; one row of 4 bytes
    std::vector<uint8_t> body = {4, 2, 0, 1, 0};
    auto packed = Compress(raw);
    body.insert(body.end(), packed.begin(), packed.end());
    auto bmp = ReadDefineBitsLossless(body, 1);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF}));
}

TEST(BitmapReader, ShortOrOversizedLosslessIsRejectedBeforeAllocating) {
    // Claims 8000x8000 but carries a few bytes.
    std::vector<uint8_t> body = {5, 0x40, 0x1F, 0x40, 0x1F};
    auto packed = Compress({1, 2, 3, 4, 5, 6, 7, 8});
    body.insert(body.end(), packed.begin(), packed.end());
    EXPECT_FALSE(ReadDefineBitsLossless(body, 2));
    // Wider than Flash allows.
    std::vector<uint8_t> wide = {5, 0xFF, 0xFF, 0x01, 0x00};
    EXPECT_FALSE(ReadDefineBitsLossless(wide, 2));
    EXPECT_FALSE(ReadDefineBitsLossless(std::vector<uint8_t>{9, 1, 0, 1, 0}, 2));  // unknown format
}

TEST(BitmapReader, InflateBoundedStopsAtTheLimit) {
    std::vector<uint8_t> raw(100000, 7);
    auto packed = Compress(raw);
    EXPECT_EQ(InflateBounded(packed, 1000).size(), 1000u);
    EXPECT_EQ(InflateBounded(packed, 1 << 20).size(), raw.size());
    EXPECT_TRUE(InflateBounded(std::vector<uint8_t>{1, 2, 3}, 100).empty());
}

int MaxChannelDifference(const Bitmap& a, const Bitmap& b) {
    int worst = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift = 0; shift < 32; shift += 8)
            worst = std::max(worst, std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                                             static_cast<int>((b.pixels[i] >> shift) & 0xFF)));
    return worst;
}

TEST(BitmapReader, Jpeg2WithTheOldEoiSoiPrefix) {
    Bitmap src = Gradient(16, 16, false);
    auto jpeg = swfgen::EncodeJpeg(src, 95);
    std::vector<uint8_t> body = {0xFF, 0xD9, 0xFF, 0xD8};
    body.insert(body.end(), jpeg.begin(), jpeg.end());
    auto bmp = ReadDefineBits(body, kTagDefineBitsJpeg2, {});
    ASSERT_TRUE(bmp);
    ASSERT_EQ(bmp->width, 16);
    EXPECT_LE(MaxChannelDifference(*bmp, src), 24);
}

TEST(BitmapReader, Jpeg3AppliesTheAlphaPlane) {
    Bitmap src = Gradient(8, 4, false);
    auto jpeg = swfgen::EncodeJpeg(src, 100);
    std::vector<uint8_t> alpha(32, 0);
    alpha[0] = 255;
    alpha[1] = 128;
    auto packedAlpha = Compress(alpha);
    std::vector<uint8_t> body(4);
    uint32_t offset = static_cast<uint32_t>(jpeg.size());
    for (int i = 0; i < 4; ++i) body[i] = static_cast<uint8_t>(offset >> (8 * i));
    body.insert(body.end(), jpeg.begin(), jpeg.end());
    body.insert(body.end(), packedAlpha.begin(), packedAlpha.end());
    auto bmp = ReadDefineBits(body, kTagDefineBitsJpeg3, {});
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->pixels[0] >> 24, 255u);
    EXPECT_EQ(bmp->pixels[1] >> 24, 128u);
    EXPECT_LE((bmp->pixels[1] >> 16) & 0xFF, 128u);  // premultiplied
    EXPECT_EQ(bmp->pixels[5], 0u);
}

TEST(BitmapReader, PngInsideDefineBitsJpeg2) {
    Bitmap src = Gradient(5, 3, true);
    auto bmp = ReadDefineBits(swfgen::EncodePng(src), kTagDefineBitsJpeg2, {});
    ASSERT_TRUE(bmp);
    EXPECT_LE(MaxChannelDifference(*bmp, src), 1);
}

TEST(BitmapReader, HuffmanTableWithTooManyCodesIsRejected) {
    auto jpeg = swfgen::EncodeJpeg(Gradient(8, 8, false), 90);
    const uint8_t marker[] = {0xFF, 0xC4};
    auto dht = std::search(jpeg.begin(), jpeg.end(), std::begin(marker), std::end(marker));
    ASSERT_NE(dht, jpeg.end());
    // Table class/id at +4, then sixteen code counts: make them add up to 272.
    for (int i = 0; i < 16; ++i) dht[5 + i] = 17;
    EXPECT_FALSE(DecodeImage(jpeg));
}

TEST(BitmapReader, HeaderSizeOutOfProportionToTheDataIsRejected) {
    auto jpeg = swfgen::EncodeJpeg(Gradient(8, 8, false), 90);
    const uint8_t sof[] = {0xFF, 0xC0};
    auto frame = std::search(jpeg.begin(), jpeg.end(), std::begin(sof), std::end(sof));
    ASSERT_NE(frame, jpeg.end());
    // SOF0: length (2), precision (1), height (2), width (2): claim 8000 x 8000.
    frame[5] = frame[7] = 8000 >> 8;
    frame[6] = frame[8] = 8000 & 0xFF;
    EXPECT_FALSE(DecodeImage(jpeg));
}

TEST(BitmapReader, GarbageImageIsRejected) {
    EXPECT_FALSE(ReadDefineBits(std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0x00, 0x01}, kTagDefineBitsJpeg2, {}));
    EXPECT_FALSE(ReadDefineBits(std::vector<uint8_t>{0x10, 0, 0, 0, 1}, kTagDefineBitsJpeg3, {}));
}

}  // namespace
}  // namespace velmora::swf
