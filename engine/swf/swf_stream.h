// A movie file arriving in pieces: checks the signature, decompresses CWS (zlib) and
// ZWS (LZMA) bodies as bytes come in, and parses the header once enough has arrived.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/core/geometry.h"

namespace velmora::swf {

enum class Compression : uint8_t { None, Zlib, Lzma };

struct SwfHeader {
    Compression compression = Compression::None;
    uint8_t version = 0;
    uint32_t fileLength = 0;  // uncompressed length as declared by the file
    RectTwips frameSize;
    float frameRate = 0;      // frames per second
    uint16_t frameCount = 0;
};

// Upper bound on a decompressed movie: the declared length is never trusted for sizing.
inline constexpr size_t kMaxMovieBytes = size_t{512} << 20;

class SwfStream {
public:
    SwfStream();
    ~SwfStream();
    SwfStream(const SwfStream&) = delete;
    SwfStream& operator=(const SwfStream&) = delete;

    void Append(std::span<const uint8_t> bytes);
    // No more bytes will come.
    void Finish();

    bool Failed() const { return !m_error.empty(); }
    const std::string& Error() const { return m_error; }
    bool HeaderReady() const { return m_headerReady; }
    const SwfHeader& Header() const { return m_header; }
    // Decompressed bytes of the tag list (everything after the header) received so far.
    std::span<const uint8_t> Tags() const;
    // True once no more tag bytes can arrive.
    bool Complete() const { return m_finished || m_inputDone; }
    // 0..100, from the decompressed bytes against the declared length.
    int PercentLoaded() const;

private:
    void Consume(std::span<const uint8_t> bytes);
    void TryParseHeader();

    struct Decoder;
    std::unique_ptr<Decoder> m_decoder;
    std::vector<uint8_t> m_prefix;  // signature and length, then ZWS's LZMA fields
    std::vector<uint8_t> m_data;    // decompressed movie from byte 8 on
    SwfHeader m_header;
    size_t m_tagsOffset = 0;  // into m_data
    bool m_headerReady = false;
    bool m_finished = false;   // Finish() called
    bool m_inputDone = false;  // the compressed stream ended by itself
    std::string m_error;
};

}  // namespace velmora::swf
