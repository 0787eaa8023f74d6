// The character and paragraph attributes of text in a field, as TextFormat exposes
// them: every attribute may be unset (a span whose characters disagree, or a format
// that only changes some attributes).
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::text {

enum class TextAlign : uint8_t { Left, Right, Center, Justify };

struct TextFormat {
    std::optional<std::string> font;
    std::optional<double> size;  // pixels
    std::optional<uint32_t> color;  // 0xRRGGBB
    std::optional<bool> bold, italic, underline;
    std::optional<std::string> url, target;
    std::optional<TextAlign> align;
    std::optional<double> leftMargin, rightMargin, indent, leading, blockIndent;
    std::optional<double> letterSpacing;
    std::optional<bool> kerning, bullet;
    std::optional<std::vector<double>> tabStops;

    friend bool operator==(const TextFormat&, const TextFormat&) = default;

    // The attributes set in `other` replace these.
    void Merge(const TextFormat& other);
    // Attributes that differ from `other` become unset: the format of a span.
    void Intersect(const TextFormat& other);
    // Only the paragraph attributes (align, margins, indent, leading, bullet, tab stops).
    TextFormat ParagraphPart() const;
};

// A script's number as a colour: wrapped to 32 bits, the low 24 kept.
inline uint32_t ColorFromNumber(double n) {
    if (!std::isfinite(n)) return 0;
    double wrapped = std::fmod(std::trunc(n), 4294967296.0);
    if (wrapped < 0) wrapped += 4294967296.0;
    return static_cast<uint32_t>(wrapped) & 0xFFFFFF;
}

// The format a new field starts with: Times New Roman 12, black, everything else off.
TextFormat DefaultTextFormat();

}  // namespace velmora::text
