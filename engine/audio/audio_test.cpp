#include <gtest/gtest.h>

#include "engine/audio/pcm.h"
#include "engine/audio/sound_records.h"

namespace velmora::audio {
namespace {

TEST(SoundRecords, DefineSound) {
    // id 7; ADPCM (1), 22 kHz (2), 16 bit, stereo: 0001 10 1 1; 1000 samples; data AA BB.
    const std::vector<uint8_t> body = {7, 0, 0x1B, 0xE8, 0x03, 0, 0, 0xAA, 0xBB};
    const auto sound = ParseDefineSound(body);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->id, 7);
    EXPECT_EQ(sound->format.format, SoundFormat::Adpcm);
    EXPECT_EQ(sound->format.rate, 22050);
    EXPECT_TRUE(sound->format.sixteenBit);
    EXPECT_TRUE(sound->format.stereo);
    EXPECT_EQ(sound->sampleCount, 1000u);
    EXPECT_EQ(sound->data.size(), 2u);
    EXPECT_FALSE(ParseDefineSound(std::vector<uint8_t>{7, 0, 0x1B}));
}

TEST(SoundRecords, StartSoundWithEveryField) {
    // flags: SyncStop, NoMultiple, envelope, loops, out, in = 00 1 1 1 1 1 1
    const std::vector<uint8_t> body = {
        3, 0, 0x3F, 100, 0, 0, 0,  // in point 100
        200, 0, 0, 0,              // out point 200
        4, 0,                      // 4 loops
        2,                         // two envelope points
        0, 0, 0, 0, 0, 0x80, 0, 0x80,
        0x44, 0xAC, 0, 0, 0, 0, 0, 0x40};
    const auto start = ParseStartSound(body);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->id, 3);
    EXPECT_TRUE(start->info.syncStop);
    EXPECT_TRUE(start->info.syncNoMultiple);
    EXPECT_EQ(start->info.inPoint, 100u);
    EXPECT_EQ(start->info.outPoint, 200u);
    EXPECT_EQ(start->info.loops, 4);
    ASSERT_EQ(start->info.envelope.size(), 2u);
    EXPECT_EQ(start->info.envelope[1].position44, 44100u);
    EXPECT_EQ(start->info.envelope[1].left, 0);
    EXPECT_EQ(start->info.envelope[1].right, 0x4000);
}

TEST(SoundRecords, EnvelopeCountBeyondTheTagIsRefused) {
    const std::vector<uint8_t> body = {3, 0, 0x08, 200, 0, 0, 0, 0, 0, 0, 0};  // 200 points, none there
    EXPECT_FALSE(ParseStartSound(body));
}

TEST(SoundRecords, StreamHeadAndMp3Blocks) {
    // playback 44 kHz 16-bit stereo; stream MP3 22 kHz 16-bit mono; 576 per block; seek -2.
    const std::vector<uint8_t> body = {0x0F, 0x2A, 0x40, 0x02, 0xFE, 0xFF};
    const auto head = ParseStreamHead(body);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->stream.format, SoundFormat::Mp3);
    EXPECT_EQ(head->stream.rate, 22050);
    EXPECT_FALSE(head->stream.stereo);
    EXPECT_EQ(head->playback.rate, 44100);
    EXPECT_EQ(head->samplesPerBlock, 576);
    EXPECT_EQ(head->latencySeek, -2);
    const std::vector<uint8_t> block = {0x40, 0x02, 0, 0, 0xFF, 0xFB};
    EXPECT_EQ(StreamBlockAudio(*head, block).size(), 2u);
}

TEST(SoundRecords, ButtonSoundsSkipEmptyTransitions) {
    // button 9: no sound, sound 5, no sound, sound 6 with SyncNoMultiple
    const std::vector<uint8_t> body = {9, 0, 0, 0, 5, 0, 0, 0, 0, 6, 0, 0x10};
    const auto sounds = ParseButtonSound(body);
    ASSERT_TRUE(sounds);
    EXPECT_EQ(sounds->buttonId, 9);
    EXPECT_FALSE(sounds->transitions[0]);
    ASSERT_TRUE(sounds->transitions[1]);
    EXPECT_EQ(sounds->transitions[1]->id, 5);
    EXPECT_FALSE(sounds->transitions[2]);
    ASSERT_TRUE(sounds->transitions[3]);
    EXPECT_EQ(sounds->transitions[3]->id, 6);
}

TEST(Pcm, UncompressedSamples) {
    Pcm pcm;
    DecodeUncompressed({SoundFormat::PcmLittle, 11025, true, true}, std::vector<uint8_t>{0x01, 0x80, 0xFF, 0x7F, 0x34},
                       pcm);
    EXPECT_EQ(pcm.rate, 11025);
    EXPECT_EQ(pcm.channels, 2);
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{-32767, 32767})) << "the odd byte is dropped";
    Pcm eight;
    DecodeUncompressed({SoundFormat::PcmLittle, 5512, false, false}, std::vector<uint8_t>{0x80, 0xFF, 0x00}, eight);
    EXPECT_EQ(eight.samples, (std::vector<int16_t>{0, 127 << 8, -32768}));
}

TEST(Pcm, AdpcmKnownAnswer) {
    // 2-bit codes, mono: start sample 0, index 0, codes 01 11 00, then two padding bits (00).
    // Steps 7, 9, 11, 10: +10, -13, +5, +5.
    const std::vector<uint8_t> data = {0x00, 0x00, 0x00, 0x70};
    Pcm pcm;
    DecodeAdpcm({SoundFormat::Adpcm, 5512, true, false}, data, pcm);
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{0, 10, -3, 2, 7}));
}

TEST(Pcm, AdpcmGarbageStaysBounded) {
    std::vector<uint8_t> garbage(3000);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 131 + 7);
    for (bool stereo : {false, true}) {
        Pcm pcm;
        DecodeAdpcm({SoundFormat::Adpcm, 22050, true, stereo}, garbage, pcm);
        // Never more samples than the bits can hold (at least 2 bits per sample).
        EXPECT_LE(pcm.samples.size(), garbage.size() * 4);
        EXPECT_EQ(pcm.samples.size() % (stereo ? 2 : 1), 0u);
    }
}

TEST(Pcm, DecodeSoundWithoutMp3DecoderGivesSilence) {
    DefineSoundRecord mp3{1, {SoundFormat::Mp3, 44100, true, true}, 10, {}};
    const std::vector<uint8_t> data = {0, 0, 0xFF, 0xFB, 0x90};
    mp3.data = data;
    EXPECT_TRUE(DecodeSound(mp3, nullptr).samples.empty());
    DefineSoundRecord nelly{1, {SoundFormat::Nellymoser, 22050, true, false}, 10, data};
    EXPECT_TRUE(DecodeSound(nelly, nullptr).samples.empty());
}

}  // namespace
}  // namespace velmora::audio
