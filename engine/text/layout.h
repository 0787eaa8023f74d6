// Lines of a text field: word wrap at the box width, paragraph breaks at '\r',
// alignment, margins, indents, leading and letter spacing, measured through a
// TextMeasurer (the fonts of the field). Units are pixels.
#pragma once

#include <cstddef>
#include <vector>

#include "engine/text/formatted_text.h"

namespace velmora::text {

// Flash keeps this much space between the box and the text on every side.
inline constexpr double kGutter = 2;

struct LineMetrics {
    double ascent = 0, descent = 0, leading = 0;
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // Advance of one character in the format (letter spacing not included); `embedded`:
    // the movie's fonts, else the device's.
    virtual double Advance(char32_t c, const TextFormat& format, bool embedded) = 0;
    virtual LineMetrics Metrics(const TextFormat& format, bool embedded) = 0;
};

struct LayoutLine {
    size_t begin = 0, end = 0;  // characters shown on the line (without its break)
    double x = 0;               // left edge of the text inside the box, gutter included
    double y = 0;               // top of the line, from the top of the text
    double width = 0;           // of the characters, trailing spaces excluded
    double ascent = 0, descent = 0, leading = 0;
    double Height() const { return ascent + descent + leading; }
};

struct LayoutOptions {
    double boxWidth = 0;  // the field's width; wrapping width is this minus gutters and margins
    bool wordWrap = false;
    bool password = false;  // every character measured as '*'
    bool embeddedFonts = false;
};

struct Layout {
    std::vector<LayoutLine> lines;
    double textWidth = 0;   // widest line, margins included
    double textHeight = 0;  // all lines, the last one without its leading
};

Layout LayOut(const FormattedText& text, const TextFormat& base, const LayoutOptions& options, TextMeasurer& measurer);

// Lines that fit a box of the given height from line `first` (at least one).
size_t VisibleLines(const Layout& layout, size_t first, double boxHeight);

}  // namespace velmora::text
