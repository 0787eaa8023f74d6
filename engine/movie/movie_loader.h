// Parses a movie as its bytes arrive: every complete tag goes into the definition, every
// ShowFrame makes one more root frame playable.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/movie/definition.h"
#include "engine/swf/swf_stream.h"

namespace velmora::movie {

// Definition tags inside sprites are not legal but occur; nesting beyond this is ignored.
inline constexpr int kMaxSpriteNesting = 8;

class MovieLoader {
public:
    void Append(std::span<const uint8_t> bytes);
    void Finish();

    const MovieDefinition& Definition() const { return m_def; }
    bool HeaderReady() const { return m_stream.HeaderReady(); }
    // True once the last frame has arrived (or the data ended).
    bool Complete() const { return m_done; }
    bool Failed() const { return m_stream.Failed() && !m_stream.HeaderReady(); }
    const std::string& Error() const { return m_stream.Error(); }
    int PercentLoaded() const { return m_done ? 100 : m_stream.PercentLoaded(); }
    uint16_t FramesLoaded() const { return static_cast<uint16_t>(m_def.root.frames.size()); }

private:
    void Parse();
    void EndOfData();
    // Returns false at an End tag.
    bool HandleTag(uint16_t code, std::span<const uint8_t> body, Timeline& timeline, Frame& frame,
                   int nesting);
    void DefineSprite(std::span<const uint8_t> body, int nesting);
    void AddCharacter(uint16_t id, Character::Data data);
    // DefineFontInfo 1-2 and DefineFontName.
    void UpdateFont(uint16_t id, uint16_t code, std::span<const uint8_t> body);

    swf::SwfStream m_stream;
    MovieDefinition m_def;
    Frame m_pending;  // root frame being collected
    size_t m_offset = 0;
    std::vector<uint8_t> m_jpegTables;
    bool m_done = false;
};

}  // namespace velmora::movie
