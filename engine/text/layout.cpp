#include "engine/text/layout.h"

#include <algorithm>

namespace velmora::text {

namespace {

bool IsBreakable(char16_t c) { return c == u' ' || c == u'\t' || c == u'-' || c >= 0x2E80; }

struct Measured {
    double advance = 0;
    LineMetrics metrics;
};

}  // namespace

Layout LayOut(const FormattedText& text, const TextFormat& base, const LayoutOptions& options, TextMeasurer& measurer) {
    Layout out;
    const std::u16string& s = text.Text();
    // Per character advance and metrics; runs share one lookup of the metrics.
    std::vector<Measured> chars(s.size());
    for (const FormattedText::Run& run : text.Runs()) {
        TextFormat f = base;
        f.Merge(run.format);
        LineMetrics m = measurer.Metrics(f, options.embeddedFonts);
        m.leading = f.leading.value_or(0);
        const double spacing = f.letterSpacing.value_or(0);
        for (size_t i = run.begin; i < run.end && i < s.size(); ++i)
            chars[i] = {measurer.Advance(options.password ? U'*' : s[i], f, options.embeddedFonts) + spacing, m};
    }
    const LineMetrics emptyMetrics = [&] {
        TextFormat f = base;
        f.Merge(text.FormatAt(s.size(), base));
        LineMetrics m = measurer.Metrics(f, options.embeddedFonts);
        m.leading = f.leading.value_or(0);
        return m;
    }();

    double y = 0;
    size_t paragraph = 0;
    do {
        const size_t paragraphEnd = text.ParagraphEnd(paragraph);
        TextFormat pf = base;
        pf.Merge(text.FormatAt(paragraph, base));
        const double left = pf.leftMargin.value_or(0) + pf.blockIndent.value_or(0);
        const double right = pf.rightMargin.value_or(0);
        size_t lineStart = paragraph;
        bool firstLine = true;
        do {
            const double indent = firstLine ? pf.indent.value_or(0) : 0;
            const double available = options.boxWidth - 2 * kGutter - left - right - indent;
            size_t end = lineStart;
            double width = 0;
            size_t lastBreak = 0;  // end after the last breakable character, 0 when none
            while (end < paragraphEnd) {
                double w = chars[end].advance;
                if (options.wordWrap && end > lineStart && width + w > available && s[end] != u' ') {
                    if (lastBreak > lineStart) end = lastBreak;
                    break;
                }
                width += w;
                if (IsBreakable(s[end])) lastBreak = end + 1;
                ++end;
            }
            LayoutLine line;
            line.begin = lineStart;
            line.end = end;
            LineMetrics m = lineStart < paragraphEnd ? LineMetrics{} : emptyMetrics;
            if (lineStart == paragraphEnd && paragraphEnd < s.size()) m = chars[paragraphEnd].metrics;
            double visible = 0, run = 0;
            for (size_t i = lineStart; i < end; ++i) {
                run += chars[i].advance;
                if (s[i] != u' ') visible = run;
                m.ascent = std::max(m.ascent, chars[i].metrics.ascent);
                m.descent = std::max(m.descent, chars[i].metrics.descent);
                m.leading = std::max(m.leading, chars[i].metrics.leading);
            }
            line.width = visible;
            line.ascent = m.ascent;
            line.descent = m.descent;
            line.leading = m.leading;
            line.y = y;
            const double slack = std::max(0.0, available - visible);
            const TextAlign align = pf.align.value_or(TextAlign::Left);
            line.x = kGutter + left + indent +
                     (align == TextAlign::Right ? slack : align == TextAlign::Center ? slack / 2 : 0);
            out.textWidth = std::max(out.textWidth, visible + left + right + indent);
            y += line.Height();
            out.lines.push_back(line);
            lineStart = end;
            while (options.wordWrap && lineStart < paragraphEnd && s[lineStart] == u' ' && lineStart > paragraph) ++lineStart;
            firstLine = false;
        } while (lineStart < paragraphEnd);
        paragraph = paragraphEnd + 1;
    } while (paragraph <= s.size());
    if (!out.lines.empty()) out.textHeight = y - out.lines.back().leading;
    return out;
}

size_t VisibleLines(const Layout& layout, size_t first, double boxHeight) {
    double room = boxHeight - 2 * kGutter;
    size_t n = 0;
    for (size_t i = first; i < layout.lines.size(); ++i) {
        room -= layout.lines[i].Height() - (i + 1 == layout.lines.size() ? layout.lines[i].leading : 0);
        if (room < 0 && n > 0) break;
        ++n;
    }
    return std::max<size_t>(n, 1);
}

}  // namespace velmora::text
