// For tests: the DefineSound records of a movie file.
#pragma once

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "engine/audio/sound_records.h"
#include "engine/swf/swf_stream.h"
#include "engine/swf/tags.h"

namespace velmora::audio::testing {

struct MovieSounds {
    swf::SwfStream stream;  // holds the bytes the records point into
    std::vector<DefineSoundRecord> sounds;
};

// Nothing when the file cannot be read.
inline std::unique_ptr<MovieSounds> ReadMovieSounds(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    auto movie = std::make_unique<MovieSounds>();
    movie->stream.Append(bytes);
    movie->stream.Finish();
    std::span<const uint8_t> tags = movie->stream.Tags();
    swf::TagHeader tag;
    while (swf::PeekTag(tags, tag)) {
        if (tag.code == 14)  // DefineSound
            if (auto sound = ParseDefineSound(tags.subspan(tag.headerSize, tag.length))) movie->sounds.push_back(*sound);
        tags = tags.subspan(tag.headerSize + tag.length);
    }
    return movie;
}

}  // namespace velmora::audio::testing
