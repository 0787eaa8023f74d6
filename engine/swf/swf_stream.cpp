#include "engine/swf/swf_stream.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "LzmaDec.h"
#include "engine/swf/bit_reader.h"
#include "engine/swf/records.h"

namespace velmora::swf {

namespace {

void* LzmaAlloc(void*, size_t size) { return std::malloc(size); }
void LzmaFree(void*, void* address) { std::free(address); }
ISzAlloc g_lzmaAlloc = {LzmaAlloc, LzmaFree};  // stateless function table, shared safely

constexpr size_t kChunk = 64 * 1024;
constexpr size_t kZwsFields = 4 + LZMA_PROPS_SIZE;  // compressed length, LZMA properties

}  // namespace

struct SwfStream::Decoder {
    Compression kind = Compression::None;
    z_stream zs{};
    bool zlibOpen = false;
    CLzmaDec lzma{};
    bool lzmaOpen = false;

    ~Decoder() {
        if (zlibOpen) inflateEnd(&zs);
        if (lzmaOpen) LzmaDec_Free(&lzma, &g_lzmaAlloc);
    }
};

SwfStream::SwfStream() = default;
SwfStream::~SwfStream() = default;

std::span<const uint8_t> SwfStream::Tags() const {
    if (!m_headerReady) return {};
    return std::span<const uint8_t>(m_data).subspan(m_tagsOffset);
}

int SwfStream::PercentLoaded() const {
    if (Complete() && m_headerReady) return 100;
    if (m_header.fileLength == 0) return 0;
    uint64_t have = 8 + m_data.size();
    return static_cast<int>(std::min<uint64_t>(99, have * 100 / m_header.fileLength));
}

void SwfStream::Append(std::span<const uint8_t> bytes) {
    if (Failed() || m_finished || m_inputDone) return;
    size_t prefixSize = 8;
    if (m_prefix.size() >= 1 && m_prefix[0] == 'Z') prefixSize += kZwsFields;
    while (!bytes.empty() && m_prefix.size() < prefixSize) {
        m_prefix.push_back(bytes.front());
        bytes = bytes.subspan(1);
        if (m_prefix.size() == 1 && m_prefix[0] == 'Z') prefixSize += kZwsFields;
        if (m_prefix.size() == 3) {
            std::string sig(m_prefix.begin(), m_prefix.end());
            if (sig != "FWS" && sig != "CWS" && sig != "ZWS") {
                m_error = "not a Flash movie";
                return;
            }
        }
    }
    if (m_prefix.size() < prefixSize) return;
    if (!m_decoder) {
        m_decoder = std::make_unique<Decoder>();
        m_header.version = m_prefix[3];
        m_header.fileLength = static_cast<uint32_t>(m_prefix[4]) | (m_prefix[5] << 8) |
                              (m_prefix[6] << 16) | (static_cast<uint32_t>(m_prefix[7]) << 24);
        if (m_prefix[0] == 'C') {
            m_header.compression = Compression::Zlib;
            if (inflateInit(&m_decoder->zs) != Z_OK) {
                m_error = "zlib initialisation failed";
                return;
            }
            m_decoder->zlibOpen = true;
        } else if (m_prefix[0] == 'Z') {
            m_header.compression = Compression::Lzma;
            uint8_t props[LZMA_PROPS_SIZE];
            std::copy_n(m_prefix.begin() + 12, LZMA_PROPS_SIZE, props);
            // The dictionary never needs to exceed the data it describes; a garbage
            // dictionary size must not become a giant allocation.
            uint32_t dictSize = props[1] | (props[2] << 8) | (props[3] << 16) |
                                (static_cast<uint32_t>(props[4]) << 24);
            uint32_t cap = static_cast<uint32_t>(
                std::clamp<uint64_t>(m_header.fileLength, 4096, kMaxMovieBytes));
            dictSize = std::clamp<uint32_t>(dictSize, 4096, cap);
            for (int i = 0; i < 4; ++i) props[1 + i] = static_cast<uint8_t>(dictSize >> (8 * i));
            if (LzmaDec_Allocate(&m_decoder->lzma, props, LZMA_PROPS_SIZE, &g_lzmaAlloc) != SZ_OK) {
                m_error = "bad LZMA properties";
                return;
            }
            LzmaDec_Init(&m_decoder->lzma);
            m_decoder->lzmaOpen = true;
        }
        m_decoder->kind = m_header.compression;
    }
    Consume(bytes);
    TryParseHeader();
}

void SwfStream::Consume(std::span<const uint8_t> bytes) {
    Decoder& d = *m_decoder;
    if (d.kind == Compression::None) {
        size_t room = kMaxMovieBytes - m_data.size();
        m_data.insert(m_data.end(), bytes.begin(), bytes.begin() + std::min(room, bytes.size()));
        if (m_data.size() >= kMaxMovieBytes) m_inputDone = true;
        return;
    }
    uint8_t out[kChunk];
    if (d.kind == Compression::Zlib) {
        d.zs.next_in = const_cast<Bytef*>(bytes.data());
        d.zs.avail_in = static_cast<uInt>(bytes.size());
        while (!m_inputDone) {
            d.zs.next_out = out;
            d.zs.avail_out = kChunk;
            int rc = inflate(&d.zs, Z_NO_FLUSH);
            size_t produced = kChunk - d.zs.avail_out;
            m_data.insert(m_data.end(), out, out + produced);
            if (rc == Z_STREAM_END || m_data.size() >= kMaxMovieBytes) {
                m_inputDone = true;
            } else if (rc == Z_BUF_ERROR || (rc == Z_OK && d.zs.avail_in == 0 && produced < kChunk)) {
                break;  // wants more input
            } else if (rc != Z_OK) {
                // Keep what decompressed: the frames before the damage still play.
                m_inputDone = true;
            }
        }
        return;
    }
    const uint8_t* src = bytes.data();
    size_t left = bytes.size();
    while (!m_inputDone) {
        SizeT outLen = kChunk, inLen = left;
        ELzmaStatus status;
        SRes rc = LzmaDec_DecodeToBuf(&d.lzma, out, &outLen, src, &inLen, LZMA_FINISH_ANY, &status);
        src += inLen;
        left -= inLen;
        m_data.insert(m_data.end(), out, out + outLen);
        if (rc != SZ_OK || status == LZMA_STATUS_FINISHED_WITH_MARK ||
            m_data.size() >= kMaxMovieBytes ||
            (m_header.fileLength >= 8 && m_data.size() >= m_header.fileLength - 8)) {
            m_inputDone = true;
        } else if (outLen == 0 && (left == 0 || inLen == 0)) {
            break;
        }
    }
}

void SwfStream::TryParseHeader() {
    if (m_headerReady || Failed()) return;
    // RECT is at most 17 bytes; rate and count add 4.
    if (m_data.size() < 21 && !Complete()) return;
    BitReader r(m_data);
    m_header.frameSize = ReadRect(r);
    uint16_t rate = r.U16();
    m_header.frameRate = static_cast<float>(rate) / 256.0f;
    m_header.frameCount = r.U16();
    if (!r.Ok()) {
        m_error = "movie header is truncated";
        return;
    }
    m_tagsOffset = r.Position();
    m_headerReady = true;
}

void SwfStream::Finish() {
    if (m_finished) return;
    m_finished = true;
    if (!Failed() && !m_decoder) m_error = "movie header is truncated";
    TryParseHeader();
}

}  // namespace velmora::swf
