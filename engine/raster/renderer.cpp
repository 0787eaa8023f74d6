#include "engine/raster/renderer.h"

#include <algorithm>
#include <cmath>

#include "engine/raster/blend.h"
#include "engine/raster/paint.h"
#include "engine/raster/path.h"
#include "engine/raster/rasterizer.h"

namespace velmora::raster {

namespace {

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const PixelRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// Composites a paint into the surface, optionally through a mask.
class BlendSink final : public CoverageSink {
public:
    BlendSink(Surface& target, const Paint& paint, const uint8_t* mask, std::vector<uint8_t>& cov,
              std::vector<uint32_t>& colors)
        : m_target(target), m_paint(paint), m_mask(mask), m_cov(cov), m_colors(colors) {}

    void Row(int y, int x0, int x1, const uint8_t* cov) override {
        const int count = x1 - x0;
        if (m_mask) {
            m_cov.resize(static_cast<size_t>(count));
            const uint8_t* m = m_mask + static_cast<size_t>(y) * m_target.Width() + x0;
            for (int i = 0; i < count; ++i) m_cov[i] = static_cast<uint8_t>(MulDiv255(cov[i], m[i]));
            cov = m_cov.data();
        }
        uint32_t* dst = m_target.Row(y) + x0;
        if (m_paint.IsSolid()) {
            const uint32_t color = m_paint.SolidColor();
            const bool opaque = (color >> 24) == 255;
            for (int i = 0; i < count; ++i) {
                const uint32_t c = cov[i];
                if (c == 0) continue;
                if (c == 255 && opaque) dst[i] = color;
                else dst[i] = Over(ScalePixel(color, Factor(c)), dst[i]);
            }
            return;
        }
        m_colors.resize(static_cast<size_t>(count));
        m_paint.Span(x0, y, count, m_colors.data());
        for (int i = 0; i < count; ++i) {
            const uint32_t c = cov[i];
            if (c == 0) continue;
            const uint32_t src = c == 255 ? m_colors[i] : ScalePixel(m_colors[i], Factor(c));
            dst[i] = Over(src, dst[i]);
        }
    }

private:
    Surface& m_target;
    const Paint& m_paint;
    const uint8_t* m_mask;
    std::vector<uint8_t>& m_cov;
    std::vector<uint32_t>& m_colors;
};

// Adds paint * coverage into a layer buffer: fills of one shape layer meet edge to edge,
// and adding their partial coverages there (instead of compositing each over the
// surface) leaves no background showing through along shared edges.
class LayerSink final : public CoverageSink {
public:
    LayerSink(std::vector<uint32_t>& layer, const PixelRect& box, const Paint& paint,
              std::vector<uint32_t>& colors)
        : m_layer(layer), m_box(box), m_paint(paint), m_colors(colors) {}

    void Row(int y, int x0, int x1, const uint8_t* cov) override {
        const int count = x1 - x0;
        const int width = m_box.right - m_box.left;
        uint32_t* dst = m_layer.data() + static_cast<size_t>(y - m_box.top) * width + (x0 - m_box.left);
        m_colors.resize(static_cast<size_t>(count));
        m_paint.Span(x0, y, count, m_colors.data());
        for (int i = 0; i < count; ++i)
            if (cov[i]) dst[i] = AddSaturate(dst[i], ScalePixel(m_colors[i], Factor(cov[i])));
    }

private:
    std::vector<uint32_t>& m_layer;
    const PixelRect& m_box;
    const Paint& m_paint;
    std::vector<uint32_t>& m_colors;
};

// Adds coverage into a mask being built.
class MaskSink final : public CoverageSink {
public:
    MaskSink(uint8_t* mask, int stride) : m_mask(mask), m_stride(stride) {}

    void Row(int y, int x0, int x1, const uint8_t* cov) override {
        uint8_t* m = m_mask + static_cast<size_t>(y) * m_stride + x0;
        for (int i = 0; i < x1 - x0; ++i) m[i] = static_cast<uint8_t>(std::min(255, m[i] + cov[i]));
    }

private:
    uint8_t* m_mask;
    int m_stride;
};

}  // namespace

struct Renderer::Impl {
    struct MaskLevel {
        std::vector<uint8_t> coverage;  // one byte per surface pixel
        bool active = false;            // false while its shapes are being drawn
    };

    Impl(Surface& target, Quality quality, BitmapLookup bitmaps)
        : target(target), quality(quality), bitmaps(std::move(bitmaps)),
          clip{0, 0, target.Width(), target.Height()} {}

    uint8_t* BuildingMask() {
        return depth > 0 && !masks[depth - 1].active ? masks[depth - 1].coverage.data() : nullptr;
    }
    const uint8_t* ActiveMask() const {
        return depth > 0 && masks[depth - 1].active ? masks[depth - 1].coverage.data() : nullptr;
    }

    void DrawLayer(const ShapeLayer& layer, const Matrix& toPixels, const ColorTransform& cx,
                   FillRule rule);
    void FillRegion(const ShapeLayer& layer, uint32_t fill);
    void StrokeLine(const ShapeLayer& layer, uint32_t line, const Matrix& toPixels);
    void Emit(FillRule rule);
    void CompositeLayer();

    Surface& target;
    Quality quality;
    BitmapLookup bitmaps;
    PixelRect clip;
    Rasterizer raster;
    Paint paint;
    // Per layer: each edge's device polyline, start point included.
    std::vector<PointF> points;
    std::vector<size_t> edgeStart;
    std::vector<uint8_t> covScratch;
    std::vector<uint32_t> colorScratch;
    std::vector<uint32_t> layerPixels;
    PixelRect layerBox;
    bool toLayer = false;
    std::vector<MaskLevel> masks;  // grows, reused across pushes
    size_t depth = 0;
};

Renderer::Renderer(Surface& target, Quality quality, BitmapLookup bitmaps)
    : m_impl(new Impl(target, quality, std::move(bitmaps))) {}

Renderer::~Renderer() { delete m_impl; }

void Renderer::SetClip(const PixelRect& clip) {
    m_impl->clip = Intersect(clip, {0, 0, m_impl->target.Width(), m_impl->target.Height()});
}

void Renderer::Clear(Rgba background) {
    const PixelRect& c = m_impl->clip;
    if (IsEmpty(c)) return;
    const uint32_t color = Premultiply(background);
    for (int y = c.top; y < c.bottom; ++y)
        std::fill(m_impl->target.Row(y) + c.left, m_impl->target.Row(y) + c.right, color);
}

void Renderer::DrawShape(const Shape& shape, const Matrix& toPixels, const ColorTransform& cx) {
    Impl& s = *m_impl;
    if (IsEmpty(s.clip) || IsEmpty(Intersect(ShapePixelBounds(shape, toPixels), s.clip))) return;
    const FillRule rule = shape.usesNonZeroWinding ? FillRule::NonZero : FillRule::EvenOdd;
    for (const ShapeLayer& layer : shape.layers) s.DrawLayer(layer, toPixels, cx, rule);
}

void Renderer::Impl::DrawLayer(const ShapeLayer& layer, const Matrix& toPixels,
                               const ColorTransform& cx, FillRule rule) {
    points.clear();
    edgeStart.clear();
    for (const ShapeEdge& e : layer.edges) {
        edgeStart.push_back(points.size());
        points.push_back(Transform(toPixels, e.x0, e.y0));
        FlattenEdge(e, toPixels, kFlattenTolerance, points);
    }
    edgeStart.push_back(points.size());

    std::vector<bool> used(layer.fills.size() + 1, false);
    size_t usedCount = 0;
    for (const ShapeEdge& e : layer.edges) {
        for (uint32_t f : {e.fill0, e.fill1}) {
            if (f == 0 || f > layer.fills.size() || used[f] || e.fill0 == e.fill1) continue;
            used[f] = true;
            ++usedCount;
        }
    }
    const bool smooth = quality == Quality::High;
    toLayer = usedCount > 1 && !BuildingMask();
    if (toLayer) {
        double minX = 0, minY = 0, maxX = -1, maxY = -1;
        for (size_t k = 0; k < layer.edges.size(); ++k) {
            const ShapeEdge& e = layer.edges[k];
            if (e.fill0 == e.fill1 || (e.fill0 == 0 && e.fill1 == 0)) continue;
            for (size_t i = edgeStart[k]; i < edgeStart[k + 1]; ++i) {
                const PointF& p = points[i];
                if (maxX < minX) minX = maxX = p.x, minY = maxY = p.y;
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
            }
        }
        auto toInt = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
        layerBox = Intersect({toInt(std::floor(minX)), toInt(std::floor(minY)),
                              toInt(std::ceil(maxX)) + 1, toInt(std::ceil(maxY)) + 1},
                             clip);
        toLayer = !IsEmpty(layerBox);
        if (toLayer)
            layerPixels.assign(static_cast<size_t>(layerBox.right - layerBox.left) *
                                   (layerBox.bottom - layerBox.top),
                               0);
    }
    for (uint32_t f = 1; f < used.size(); ++f) {
        if (!used[f]) continue;
        if (!BuildingMask() && !paint.Setup(layer.fills[f - 1], toPixels, cx, bitmaps, smooth))
            continue;
        FillRegion(layer, f);
        Emit(rule);
    }
    if (toLayer) CompositeLayer();
    toLayer = false;

    for (uint32_t line = 1; line <= layer.lines.size(); ++line) {
        const LineStyle& style = layer.lines[line - 1];
        if (!BuildingMask()) {
            const bool ok = style.hasFill ? paint.Setup(style.fill, toPixels, cx, bitmaps, smooth)
                                          : paint.Setup(FillStyle{FillKind::Solid, style.color},
                                                        toPixels, cx, bitmaps, smooth);
            if (!ok) continue;
        }
        StrokeLine(layer, line, toPixels);
        Emit(FillRule::NonZero);
    }
}

void Renderer::Impl::FillRegion(const ShapeLayer& layer, uint32_t fill) {
    raster.Reset(clip, quality == Quality::High);
    // Each fill's region: its edges with the fill on their left as drawn, and those with
    // it on their right reversed, so the winding is consistent for the non-zero rule.
    for (size_t k = 0; k < layer.edges.size(); ++k) {
        const ShapeEdge& e = layer.edges[k];
        const bool left = e.fill0 == fill, right = e.fill1 == fill;
        if (left == right) continue;
        for (size_t i = edgeStart[k] + 1; i < edgeStart[k + 1]; ++i) {
            const PointF& a = points[i - 1];
            const PointF& b = points[i];
            if (left) raster.AddLine(a.x, a.y, b.x, b.y);
            else raster.AddLine(b.x, b.y, a.x, a.y);
        }
    }
}

void Renderer::Impl::StrokeLine(const ShapeLayer& layer, uint32_t line, const Matrix& toPixels) {
    raster.Reset(clip, quality == Quality::High);
    const LineStyle& style = layer.lines[line - 1];
    StrokeStyle stroke;
    stroke.halfWidth = StrokePixelWidth(style, toPixels) / 2;
    stroke.startCap = style.startCap;
    stroke.endCap = style.endCap;
    stroke.join = style.join;
    stroke.miterLimit = style.miterLimit;
    std::vector<PointF> run;
    const ShapeEdge* first = nullptr;
    const ShapeEdge* prev = nullptr;
    auto flush = [&] {
        const bool closed = first && !style.noClose && first->x0 == prev->x1 && first->y0 == prev->y1;
        if (!run.empty()) StrokePolyline(run.data(), run.size(), closed, stroke, raster);
        run.clear();
        first = nullptr;
    };
    for (size_t k = 0; k < layer.edges.size(); ++k) {
        const ShapeEdge& e = layer.edges[k];
        if (e.line != line) continue;
        const bool continues = prev && first && prev == &e - 1 && prev->x1 == e.x0 && prev->y1 == e.y0;
        if (!continues) flush();
        if (!first) first = &e;
        const size_t from = run.empty() ? edgeStart[k] : edgeStart[k] + 1;
        run.insert(run.end(), points.begin() + static_cast<std::ptrdiff_t>(from),
                   points.begin() + static_cast<std::ptrdiff_t>(edgeStart[k + 1]));
        prev = &e;
    }
    if (first) flush();
}

void Renderer::Impl::Emit(FillRule rule) {
    if (raster.Empty()) return;
    if (uint8_t* mask = BuildingMask()) {
        MaskSink sink(mask, target.Width());
        raster.Sweep(rule, sink);
    } else if (toLayer) {
        LayerSink sink(layerPixels, layerBox, paint, colorScratch);
        raster.Sweep(rule, sink);
    } else {
        BlendSink sink(target, paint, ActiveMask(), covScratch, colorScratch);
        raster.Sweep(rule, sink);
    }
}

void Renderer::Impl::CompositeLayer() {
    const int width = layerBox.right - layerBox.left;
    const uint8_t* mask = ActiveMask();
    for (int y = layerBox.top; y < layerBox.bottom; ++y) {
        const uint32_t* src = layerPixels.data() + static_cast<size_t>(y - layerBox.top) * width;
        uint32_t* dst = target.Row(y) + layerBox.left;
        const uint8_t* m = mask ? mask + static_cast<size_t>(y) * target.Width() + layerBox.left : nullptr;
        for (int i = 0; i < width; ++i) {
            uint32_t c = src[i];
            if (c == 0) continue;
            // Saturated sums can leave a channel above alpha; keep the pixel valid.
            const uint32_t a = c >> 24;
            const uint32_t r = std::min((c >> 16) & 255, a), g = std::min((c >> 8) & 255, a),
                           b = std::min(c & 255, a);
            c = a << 24 | r << 16 | g << 8 | b;
            if (m) c = ScalePixel(c, Factor(m[i]));
            dst[i] = a == 255 && !m ? c : Over(c, dst[i]);
        }
    }
}

void Renderer::PushMask() {
    Impl& s = *m_impl;
    if (s.masks.size() <= s.depth) s.masks.emplace_back();
    Impl::MaskLevel& level = s.masks[s.depth++];
    level.active = false;
    const size_t size = static_cast<size_t>(s.target.Width()) * s.target.Height();
    if (level.coverage.size() != size) {
        level.coverage.assign(size, 0);
        return;
    }
    for (int y = s.clip.top; y < s.clip.bottom; ++y)
        std::fill_n(level.coverage.data() + static_cast<size_t>(y) * s.target.Width() + s.clip.left,
                    s.clip.right - s.clip.left, uint8_t{0});
}

void Renderer::BeginMasked() {
    Impl& s = *m_impl;
    if (s.depth == 0 || s.masks[s.depth - 1].active) return;
    Impl::MaskLevel& level = s.masks[s.depth - 1];
    // A nested mask only shows what its enclosing mask lets through.
    if (s.depth > 1 && s.masks[s.depth - 2].active) {
        const uint8_t* outer = s.masks[s.depth - 2].coverage.data();
        for (int y = s.clip.top; y < s.clip.bottom; ++y) {
            const size_t row = static_cast<size_t>(y) * s.target.Width();
            for (int x = s.clip.left; x < s.clip.right; ++x)
                level.coverage[row + x] = static_cast<uint8_t>(MulDiv255(level.coverage[row + x], outer[row + x]));
        }
    }
    level.active = true;
}

void Renderer::PopMask() {
    if (m_impl->depth > 0) --m_impl->depth;
}

}  // namespace velmora::raster
