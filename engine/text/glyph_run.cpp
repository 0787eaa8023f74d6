#include "engine/text/glyph_run.h"

#include <algorithm>
#include <cmath>

#include "engine/raster/path.h"

namespace velmora::text {

namespace {

using raster::Transform;

// Grows the picture's ink box by a rectangle of piece units mapped by `m`.
void AddInk(TextPicture& out, const Matrix& m, double x0, double y0, double x1, double y1) {
    for (PointF p : {Transform(m, x0, y0), Transform(m, x1, y0), Transform(m, x0, y1), Transform(m, x1, y1)}) {
        if (out.inkMinX > out.inkMaxX) {
            out.inkMinX = out.inkMaxX = p.x;
            out.inkMinY = out.inkMaxY = p.y;
        }
        out.inkMinX = std::min(out.inkMinX, p.x), out.inkMaxX = std::max(out.inkMaxX, p.x);
        out.inkMinY = std::min(out.inkMinY, p.y), out.inkMaxY = std::max(out.inkMaxY, p.y);
    }
}

// Extent of an outline's edges (control points included: a curve stays inside them).
bool OutlineBox(const Shape& shape, double& x0, double& y0, double& x1, double& y1) {
    bool any = false;
    for (const ShapeLayer& layer : shape.layers) {
        for (const ShapeEdge& e : layer.edges) {
            for (auto [x, y] : {std::pair{e.x0, e.y0}, {e.x1, e.y1}, {e.curved ? e.cx : e.x0, e.curved ? e.cy : e.y0}}) {
                if (!any) x0 = x1 = x, y0 = y1 = y;
                any = true;
                x0 = std::min<double>(x0, x), x1 = std::max<double>(x1, x);
                y0 = std::min<double>(y0, y), y1 = std::max<double>(y1, y);
            }
        }
    }
    return any;
}

}  // namespace

ColorTransform TintFor(Rgba color) {
    ColorTransform t;
    t.rMul = t.gMul = t.bMul = 0;
    t.rAdd = color.r;
    t.gAdd = color.g;
    t.bAdd = color.b;
    t.aMul = color.a / 255.0f;
    return t;
}

std::vector<GlyphEntry> LayoutGlyphs(const Font& font, double size, std::u32string_view text, bool kerning) {
    std::vector<GlyphEntry> out;
    const double scale = font.Scale(size);
    char32_t previous = 0;
    for (char32_t cp : text) {
        std::optional<uint32_t> index = font.GlyphIndex(cp);
        if (!index) continue;
        if (kerning && previous && !out.empty()) out.back().advance += font.Kerning(previous, cp) * scale;
        out.push_back({*index, font.Advance(*index) * scale});
        previous = cp;
    }
    return out;
}

void AppendGlyphRun(const GlyphRun& run, TextPicture& out) {
    if (!run.font) return;
    const double scale = run.font->Scale(run.size);
    const ColorTransform tint = TintFor(run.color);
    double pen = run.x;
    bool used = false;
    for (const GlyphEntry& entry : run.glyphs) {
        const Glyph* glyph = run.font->GlyphAt(entry.index);
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        if (glyph && OutlineBox(glyph->outline, x0, y0, x1, y1)) {
            const Matrix m = run.matrix * Matrix{scale, 0, 0, scale, pen, run.y};
            out.pieces.push_back({&glyph->outline, m, tint});
            AddInk(out, m, x0, y0, x1, y1);
            used = true;
        }
        pen += entry.advance;
    }
    if (used && std::find(out.fonts.begin(), out.fonts.end(), run.font) == out.fonts.end())
        out.fonts.push_back(run.font);
}

void AppendShape(std::shared_ptr<const Shape> shape, const Matrix& matrix, TextPicture& out) {
    if (!shape) return;
    const RectTwips& b = shape->bounds;
    AddInk(out, matrix, b.xMin, b.yMin, b.xMax, b.yMax);
    out.pieces.push_back({shape.get(), matrix, ColorTransform{}});
    out.shapes.push_back(std::move(shape));
}

void DrawTextPicture(raster::Renderer& renderer, const TextPicture& picture, const Matrix& toPixels,
                     const ColorTransform& cx) {
    for (const TextPicture::Piece& piece : picture.pieces)
        renderer.DrawShape(*piece.shape, toPixels * piece.matrix, cx * piece.tint);
}

raster::PixelRect TextPixelBounds(const TextPicture& picture, const Matrix& toPixels) {
    if (picture.inkMinX > picture.inkMaxX) return {};
    double minX = 0, minY = 0, maxX = -1, maxY = -1;
    for (PointF p : {Transform(toPixels, picture.inkMinX, picture.inkMinY), Transform(toPixels, picture.inkMaxX, picture.inkMinY),
                     Transform(toPixels, picture.inkMinX, picture.inkMaxY), Transform(toPixels, picture.inkMaxX, picture.inkMaxY)}) {
        if (maxX < minX) minX = maxX = p.x, minY = maxY = p.y;
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    // Anti-aliasing touches one pixel more.
    using raster::ToPixel;
    return {ToPixel(std::floor(minX - 1)), ToPixel(std::floor(minY - 1)), ToPixel(std::ceil(maxX + 1)),
            ToPixel(std::ceil(maxY + 1))};
}

bool HitTestText(const TextPicture& picture, PointF p) {
    const RectTwips& b = picture.bounds;
    return p.x >= b.xMin && p.x <= b.xMax && p.y >= b.yMin && p.y <= b.yMax;
}

}  // namespace velmora::text
