// Streaming-sound benchmark: a 60-second movie at 24 fps whose root carries a PCM
// soundtrack (22 kHz stereo) and moving shapes, played as the host plays it: each
// frame advanced by the mixer's clock, the mixer pulled like an output device and the
// frame drawn at 550x400. Prints frames per second and the mixing cost; it is not a test.
#include <time.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/movie/player.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/shape_builder.h"
#include "tools/swfgen/sound_writer.h"

namespace {

using namespace velmora;

constexpr int kFps = 24, kFrames = 60 * kFps, kRate = 22050, kShapes = 40;

double Now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

std::vector<uint8_t> StreamedMovie() {
    swfgen::MovieBuilder m(6, {0, 11000, 0, 8000}, kFps);
    swfgen::ShapeBuilder b;
    b.SetStyles(0, b.AddFill(swfgen::SolidFill({200, 80, 40, 255})), 0);
    b.Rect(0, 0, 800, 800);
    m.DefineShape(1, b.Build());
    audio::StreamHead head;
    head.playback = head.stream = {audio::SoundFormat::PcmLittle, kRate, true, true};
    head.samplesPerBlock = kRate / kFps;
    m.Tag(audio::kTagSoundStreamHead2, swfgen::StreamHeadBody(head));
    std::vector<int16_t> block(static_cast<size_t>(head.samplesPerBlock) * 2);
    for (int f = 0; f < kFrames; ++f) {
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<int16_t>(8000 * std::sin((f * block.size() + i) * 0.03));
        m.Tag(audio::kTagSoundStreamBlock, swfgen::Pcm16Bytes(block));
        for (int s = 0; s < kShapes; ++s) {
            const Matrix at{1, 0, 0, 1, std::fmod(s * 250.0 + f * 20, 10000), s * 190.0};
            if (f == 0) m.Place(1, static_cast<uint16_t>(s + 1), at);
            else m.Move(static_cast<uint16_t>(s + 1), at);
        }
        m.ShowFrame();
    }
    return m.Build();
}

}  // namespace

int main() {
    const auto bytes = StreamedMovie();
    movie::Player player;
    player.Load(bytes);
    player.SetAudioClock(&player.Mixer());
    raster::Surface surface(550, 400);
    const size_t pull = 44100 / kFps;
    std::vector<int16_t> out(pull * 2);
    double mixSeconds = 0;
    const double start = Now();
    int drawn = 0;
    while (player.CurrentFrame() < kFrames && drawn < 4 * kFrames) {
        const double before = Now();
        player.Mixer().Mix(out.data(), pull);
        mixSeconds += Now() - before;
        player.Advance(1000.0 / kFps);
        player.Render(surface);
        ++drawn;
    }
    const double seconds = Now() - start;
    std::printf("streamed movie: %d frames in %.2f s: %.0f frames/s (%.1f x real time), mixing %.1f us per frame\n",
                player.CurrentFrame(), seconds, player.CurrentFrame() / seconds,
                player.CurrentFrame() / seconds / kFps, mixSeconds / drawn * 1e6);
    return 0;
}
