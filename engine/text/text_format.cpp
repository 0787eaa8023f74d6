#include "engine/text/text_format.h"

namespace velmora::text {

namespace {

// Applies `f` to each attribute pair of two formats.
template <class F>
void EachField(TextFormat& a, const TextFormat& b, F f) {
    f(a.font, b.font);
    f(a.size, b.size);
    f(a.color, b.color);
    f(a.bold, b.bold);
    f(a.italic, b.italic);
    f(a.underline, b.underline);
    f(a.url, b.url);
    f(a.target, b.target);
    f(a.align, b.align);
    f(a.leftMargin, b.leftMargin);
    f(a.rightMargin, b.rightMargin);
    f(a.indent, b.indent);
    f(a.leading, b.leading);
    f(a.blockIndent, b.blockIndent);
    f(a.letterSpacing, b.letterSpacing);
    f(a.kerning, b.kerning);
    f(a.bullet, b.bullet);
    f(a.tabStops, b.tabStops);
}

}  // namespace

void TextFormat::Merge(const TextFormat& other) {
    EachField(*this, other, [](auto& mine, const auto& theirs) {
        if (theirs) mine = theirs;
    });
}

void TextFormat::Intersect(const TextFormat& other) {
    EachField(*this, other, [](auto& mine, const auto& theirs) {
        if (mine != theirs) mine.reset();
    });
}

TextFormat TextFormat::ParagraphPart() const {
    TextFormat p;
    p.align = align;
    p.leftMargin = leftMargin;
    p.rightMargin = rightMargin;
    p.indent = indent;
    p.leading = leading;
    p.blockIndent = blockIndent;
    p.bullet = bullet;
    p.tabStops = tabStops;
    return p;
}

TextFormat DefaultTextFormat() {
    TextFormat f;
    f.font = "Times New Roman";
    f.size = 12;
    f.color = 0;
    f.bold = f.italic = f.underline = false;
    f.url = f.target = std::string();
    f.align = TextAlign::Left;
    f.leftMargin = f.rightMargin = f.indent = f.leading = f.blockIndent = 0;
    f.letterSpacing = 0;
    f.kerning = false;
    f.bullet = false;
    f.tabStops = std::vector<double>();
    return f;
}

}  // namespace velmora::text
