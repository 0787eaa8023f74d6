// Text with a format per character, kept as runs. Positions are UTF-16 units, as
// scripts count them; paragraphs end at '\r'.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text/text_format.h"

namespace velmora::text {

class FormattedText {
public:
    struct Run {
        size_t begin = 0, end = 0;
        TextFormat format;
    };

    const std::u16string& Text() const { return m_text; }
    size_t Length() const { return m_text.size(); }
    const std::vector<Run>& Runs() const { return m_runs; }

    void Clear() {
        m_text.clear();
        m_runs.clear();
    }
    void Append(std::u16string_view text, const TextFormat& format) { Replace(Length(), Length(), text, format); }
    // Replaces [begin, end) (clamped) with text in the given format.
    void Replace(size_t begin, size_t end, std::u16string_view text, const TextFormat& format);
    // Sets the attributes `format` has on [begin, end); paragraph attributes go to the
    // whole paragraphs the range touches.
    void ApplyFormat(size_t begin, size_t end, const TextFormat& format);
    // The attributes all characters of [begin, end) share; nothing for an empty range.
    TextFormat FormatOf(size_t begin, size_t end) const;
    // The format of the character at `i` (the last one past the end); `fallback` when empty.
    const TextFormat& FormatAt(size_t i, const TextFormat& fallback) const;

    size_t ParagraphStart(size_t i) const;
    size_t ParagraphEnd(size_t i) const;  // index of its '\r', or the length

private:
    void Split(size_t at);  // a run boundary at `at`
    void Normalize();       // joins neighbours with equal formats, drops empty runs

    std::u16string m_text;
    std::vector<Run> m_runs;
};

}  // namespace velmora::text
