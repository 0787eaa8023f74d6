#include "engine/avm1/actions.h"

#include <cstring>

namespace velmora::avm1 {

bool ReadAction(std::span<const uint8_t> code, size_t pos, size_t end, ActionRecord& out) {
    if (end > code.size()) end = code.size();
    if (pos >= end) return false;
    out.code = code[pos];
    out.offset = pos;
    if (out.code == 0) return false;
    if (out.code < 0x80) {
        out.payload = {};
        out.next = pos + 1;
        return true;
    }
    if (end - pos < 3) return false;
    size_t length = static_cast<size_t>(code[pos + 1]) | (static_cast<size_t>(code[pos + 2]) << 8);
    if (length > end - pos - 3) return false;
    out.payload = code.subspan(pos + 3, length);
    out.next = pos + 3 + length;
    return true;
}

bool PayloadReader::Need(size_t n) {
    if (m_failed || m_bytes.size() - m_pos < n) {
        m_failed = true;
        m_pos = m_bytes.size();
        return false;
    }
    return true;
}

uint8_t PayloadReader::U8() { return Need(1) ? m_bytes[m_pos++] : 0; }

uint16_t PayloadReader::U16() {
    if (!Need(2)) return 0;
    uint16_t v = static_cast<uint16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

uint32_t PayloadReader::U32() {
    if (!Need(4)) return 0;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | m_bytes[m_pos + static_cast<size_t>(i)];
    m_pos += 4;
    return v;
}

float PayloadReader::F32() {
    uint32_t bits = U32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

double PayloadReader::F64() {
    uint64_t high = U32();
    uint64_t low = U32();
    uint64_t bits = (high << 32) | low;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

std::string_view PayloadReader::CString() {
    if (m_failed) return {};
    size_t start = m_pos;
    while (m_pos < m_bytes.size() && m_bytes[m_pos] != 0) ++m_pos;
    std::string_view s(reinterpret_cast<const char*>(m_bytes.data()) + start, m_pos - start);
    if (m_pos < m_bytes.size()) ++m_pos;  // the terminator; a missing one ends at the payload
    return s;
}

}  // namespace velmora::avm1
