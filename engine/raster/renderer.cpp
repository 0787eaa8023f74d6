#include "engine/raster/renderer.h"

#include <algorithm>
#include <cmath>

#include "engine/raster/blend.h"
#include "engine/raster/compose.h"
#include "engine/raster/filters.h"
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
            const uint8_t* m = MaskRow(y, x0);
            for (int i = 0; i < count; ++i) m_cov[i] = static_cast<uint8_t>(MulDiv255(cov[i], m[i]));
            cov = m_cov.data();
        }
        Blend(y, x0, x1, cov);
    }

    void Span(int y, int x0, int x1, uint8_t cov) override {
        if (m_mask) {
            m_cov.resize(static_cast<size_t>(x1 - x0));
            const uint8_t* m = MaskRow(y, x0);
            for (int i = 0; i < x1 - x0; ++i) m_cov[i] = static_cast<uint8_t>(MulDiv255(cov, m[i]));
            Blend(y, x0, x1, m_cov.data());
            return;
        }
        uint32_t* dst = m_target.Row(y) + x0;
        const int count = x1 - x0;
        if (cov == 255 && m_paint.IsOpaque() && !m_paint.IsSolid()) {
            m_paint.Span(x0, y, count, dst);  // covers what is there completely
            return;
        }
        const uint32_t* src = Colors(y, x0, count);
        if (!src) {
            const uint32_t color = m_paint.SolidColor();
            if (cov == 255 && (color >> 24) == 255) {
                std::fill_n(dst, count, color);
                return;
            }
            const uint32_t scaled = cov == 255 ? color : ScalePixel(color, Factor(cov));
            const uint32_t keep = Factor(255 - (scaled >> 24));
            for (int i = 0; i < count; ++i) dst[i] = scaled + ScalePixel(dst[i], keep);
            return;
        }
        for (int i = 0; i < count; ++i) {
            const uint32_t color = cov == 255 ? src[i] : ScalePixel(src[i], Factor(cov));
            dst[i] = (color >> 24) == 255 ? color : Over(color, dst[i]);
        }
    }

private:
    void Blend(int y, int x0, int x1, const uint8_t* cov) {
        const int count = x1 - x0;
        uint32_t* dst = m_target.Row(y) + x0;
        const uint32_t* src = Colors(y, x0, count);
        for (int i = 0; i < count; ++i) {
            const uint32_t c = cov[i];
            if (c == 0) continue;
            const uint32_t color = src ? src[i] : m_paint.SolidColor();
            dst[i] = c == 255 && (color >> 24) == 255 ? color : Over(ScalePixel(color, Factor(c)), dst[i]);
        }
    }

    const uint8_t* MaskRow(int y, int x0) const {
        return m_mask + static_cast<size_t>(y) * m_target.Width() + x0;
    }
    // The paint's colours for the pixels, or nullptr for a solid paint.
    const uint32_t* Colors(int y, int x0, int count) {
        if (m_paint.IsSolid()) return nullptr;
        m_colors.resize(static_cast<size_t>(count));
        m_paint.Span(x0, y, count, m_colors.data());
        return m_colors.data();
    }

    Surface& m_target;
    const Paint& m_paint;
    const uint8_t* m_mask;
    std::vector<uint8_t>& m_cov;
    std::vector<uint32_t>& m_colors;
};

// Pixels that a layer's fills only partly cover, gathered before compositing: fills of one
// shape layer meet edge to edge, and adding their partial coverages (instead of
// compositing each over the surface) leaves no background showing along shared edges.
// Fully covered pixels go straight to the surface.
class EdgeLayer {
public:
    void Begin(const PixelRect& box) {
        m_box = box;
        const size_t size = static_cast<size_t>(box.right - box.left) * (box.bottom - box.top);
        if (m_pixels.size() < size) m_pixels.resize(size, 0);  // stays zero between uses
        m_runs.clear();
    }

    // Adds colours (or `solid` when colors is null) scaled by per-pixel coverage `cov`
    // (or `constant` when cov is null).
    void Add(int y, int x0, int x1, const uint32_t* colors, uint32_t solid, const uint8_t* cov,
             uint8_t constant) {
        // Cells just right of the last edge may be reported; they hold no coverage.
        x1 = std::min(x1, m_box.right);
        if (x1 <= x0) return;
        m_runs.push_back({y, x0, x1});
        uint32_t* dst = Row(y);
        for (int x = x0; x < x1; ++x) {
            const uint32_t c = cov ? cov[x - x0] : constant;
            if (c) dst[x] = AddSaturate(dst[x], ScalePixel(colors ? colors[x - x0] : solid, Factor(c)));
        }
    }

    // Composites what was gathered over the surface and clears it for the next layer.
    // Runs of several fills overlap; a pixel is composited on its first visit.
    void Composite(Surface& target, const uint8_t* mask) {
        for (const Run& run : m_runs) {
            uint32_t* src = Row(run.y);
            uint32_t* dst = target.Row(run.y);
            const uint8_t* m = mask ? mask + static_cast<size_t>(run.y) * target.Width() : nullptr;
            for (int x = run.x0; x < run.x1; ++x) {
                uint32_t c = src[x];
                if (c == 0) continue;
                src[x] = 0;
                // Saturated sums can leave a channel above alpha; keep the pixel valid.
                const uint32_t a = c >> 24;
                c = a << 24 | std::min((c >> 16) & 255, a) << 16 | std::min((c >> 8) & 255, a) << 8 |
                    std::min(c & 255, a);
                if (m) c = ScalePixel(c, Factor(m[x]));
                dst[x] = Over(c, dst[x]);
            }
        }
    }

private:
    struct Run {
        int y, x0, x1;
    };

    // Row y of the gathered pixels, indexed by surface x.
    uint32_t* Row(int y) {
        const int width = m_box.right - m_box.left;
        return m_pixels.data() + static_cast<ptrdiff_t>(y - m_box.top) * width - m_box.left;
    }

    PixelRect m_box;
    std::vector<uint32_t> m_pixels;
    std::vector<Run> m_runs;
};

// A fill of a multi-fill layer: partial coverage to the edge layer, full to the surface.
class LayerSink final : public CoverageSink {
public:
    LayerSink(EdgeLayer& layer, BlendSink& direct, const Paint& paint, std::vector<uint32_t>& colors)
        : m_layer(layer), m_direct(direct), m_paint(paint), m_colors(colors) {}

    void Row(int y, int x0, int x1, const uint8_t* cov) override {
        m_layer.Add(y, x0, x1, Colors(y, x0, x1), m_paint.SolidColor(), cov, 0);
    }
    void Span(int y, int x0, int x1, uint8_t cov) override {
        if (cov == 255) m_direct.Span(y, x0, x1, cov);
        else m_layer.Add(y, x0, x1, Colors(y, x0, x1), m_paint.SolidColor(), nullptr, cov);
    }

private:
    const uint32_t* Colors(int y, int x0, int x1) {
        if (m_paint.IsSolid()) return nullptr;
        m_colors.resize(static_cast<size_t>(x1 - x0));
        m_paint.Span(x0, y, x1 - x0, m_colors.data());
        return m_colors.data();
    }

    EdgeLayer& m_layer;
    BlendSink& m_direct;
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
    void Span(int y, int x0, int x1, uint8_t cov) override {
        uint8_t* m = m_mask + static_cast<size_t>(y) * m_stride + x0;
        for (int i = 0; i < x1 - x0; ++i) m[i] = static_cast<uint8_t>(std::min(255, m[i] + cov));
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

    // An open layer: its picture and what to restore when it closes.
    struct Layer {
        Surface picture;
        PixelRect outerClip;
        PixelRect area;
        size_t maskBase = 0;  // masks below this index belong to what is outside the layer
    };

    Impl(Surface& base, Quality quality, BitmapLookup bitmaps)
        : base(base), target(&base), quality(quality), bitmaps(std::move(bitmaps)),
          clip{0, 0, base.Width(), base.Height()} {}

    uint8_t* BuildingMask() {
        return depth > 0 && !masks[depth - 1].active ? masks[depth - 1].coverage.data() : nullptr;
    }
    size_t MaskBase() const { return layerDepth > 0 ? layers[layerDepth - 1].maskBase : 0; }
    const uint8_t* ActiveMask() const {
        return depth > MaskBase() && masks[depth - 1].active ? masks[depth - 1].coverage.data() : nullptr;
    }

    void DrawLayer(const ShapeLayer& layer, const Matrix& toPixels, const ColorTransform& cx,
                   FillRule rule);
    void FillRegion(const ShapeLayer& layer, uint32_t fill);
    void StrokeLine(const ShapeLayer& layer, uint32_t line, const Matrix& toPixels);
    void Emit(FillRule rule);

    Surface& base;
    Surface* target;  // the base surface or the innermost layer's picture
    Quality quality;
    BitmapLookup bitmaps;
    PixelRect clip;
    Rasterizer raster;
    Paint paint;
    // Per layer: each edge's device polyline, start point included.
    std::vector<PointF> points;
    std::vector<size_t> edgeStart;
    std::vector<uint8_t> usedFills;  // per fill index of the current layer: has edges
    std::vector<uint8_t> covScratch;
    std::vector<uint32_t> colorScratch, layerColorScratch;
    EdgeLayer edgeLayer;
    PixelRect layerBox;
    bool toLayer = false;
    std::vector<MaskLevel> masks;  // grows, reused across pushes
    size_t depth = 0;
    std::vector<Layer> layers;     // grows, pictures reused across pushes
    size_t layerDepth = 0;
};

Renderer::Renderer(Surface& target, Quality quality, BitmapLookup bitmaps)
    : m_impl(new Impl(target, quality, std::move(bitmaps))) {}

Renderer::~Renderer() { delete m_impl; }

void Renderer::SetClip(const PixelRect& clip) {
    m_impl->clip = Intersect(clip, {0, 0, m_impl->base.Width(), m_impl->base.Height()});
}

void Renderer::Clear(Rgba background) {
    const PixelRect& c = m_impl->clip;
    if (IsEmpty(c)) return;
    const uint32_t color = Premultiply(background);
    for (int y = c.top; y < c.bottom; ++y)
        std::fill(m_impl->target->Row(y) + c.left, m_impl->target->Row(y) + c.right, color);
}

void Renderer::DrawShape(const Shape& shape, const Matrix& toPixels, const ColorTransform& cx) {
    Impl& s = *m_impl;
    if (IsEmpty(s.clip) || IsEmpty(Intersect(ShapePixelBounds(shape, toPixels), s.clip))) return;
    const FillRule rule = shape.usesNonZeroWinding ? FillRule::NonZero : FillRule::EvenOdd;
    for (const ShapeLayer& layer : shape.layers) s.DrawLayer(layer, toPixels, cx, rule);
}

void Renderer::DrawBitmap(const Bitmap& bitmap, const Matrix& toPixels, const ColorTransform& cx, bool smooth) {
    Impl& s = *m_impl;
    if (bitmap.width <= 0 || bitmap.height <= 0) return;
    // A rectangle filled with the picture, found through a lookup of its own.
    constexpr uint16_t kOwnBitmap = 1;
    const int w = bitmap.width * 20, h = bitmap.height * 20;
    Shape rect;
    ShapeLayer layer;
    FillStyle fill;
    fill.kind = smooth ? FillKind::ClippedBitmap : FillKind::ClippedBitmapNearest;
    fill.bitmapId = kOwnBitmap;
    fill.matrix = {20, 0, 0, 20, 0, 0};
    layer.fills.push_back(fill);
    const std::pair<int, int> corners[] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    for (size_t i = 0; i < 4; ++i) {
        ShapeEdge e;
        e.x0 = corners[i].first, e.y0 = corners[i].second;
        e.x1 = corners[(i + 1) % 4].first, e.y1 = corners[(i + 1) % 4].second;
        e.fill0 = 1;
        layer.edges.push_back(e);
    }
    rect.layers.push_back(std::move(layer));
    rect.bounds = rect.edgeBounds = {0, w, 0, h};
    BitmapLookup outer = std::move(s.bitmaps);
    s.bitmaps = [&bitmap](uint16_t) { return &bitmap; };
    DrawShape(rect, toPixels, cx);
    s.bitmaps = std::move(outer);
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

    usedFills.assign(layer.fills.size() + 1, 0);
    std::vector<uint8_t>& used = usedFills;
    size_t usedCount = 0;
    for (const ShapeEdge& e : layer.edges) {
        for (uint32_t f : {e.fill0, e.fill1}) {
            if (f == 0 || f > layer.fills.size() || used[f] || e.fill0 == e.fill1) continue;
            used[f] = 1;
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
        layerBox = Intersect({ToPixel(std::floor(minX)), ToPixel(std::floor(minY)),
                              ToPixel(std::ceil(maxX)) + 1, ToPixel(std::ceil(maxY)) + 1},
                             clip);
        toLayer = !IsEmpty(layerBox);
        if (toLayer) edgeLayer.Begin(layerBox);
    }
    for (uint32_t f = 1; f < used.size(); ++f) {
        if (!used[f]) continue;
        if (!BuildingMask() && !paint.Setup(layer.fills[f - 1], toPixels, cx, bitmaps, smooth))
            continue;
        FillRegion(layer, f);
        Emit(rule);
    }
    if (toLayer) edgeLayer.Composite(*target, ActiveMask());
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
        MaskSink sink(mask, base.Width());
        raster.Sweep(rule, sink);
    } else if (toLayer) {
        BlendSink direct(*target, paint, ActiveMask(), covScratch, colorScratch);
        LayerSink sink(edgeLayer, direct, paint, layerColorScratch);
        raster.Sweep(rule, sink);
    } else {
        BlendSink sink(*target, paint, ActiveMask(), covScratch, colorScratch);
        raster.Sweep(rule, sink);
    }
}

void Renderer::PushMask() {
    Impl& s = *m_impl;
    if (s.masks.size() <= s.depth) s.masks.emplace_back();
    Impl::MaskLevel& level = s.masks[s.depth++];
    level.active = false;
    const size_t size = static_cast<size_t>(s.base.Width()) * s.base.Height();
    if (level.coverage.size() != size) {
        level.coverage.assign(size, 0);
        return;
    }
    for (int y = s.clip.top; y < s.clip.bottom; ++y)
        std::fill_n(level.coverage.data() + static_cast<size_t>(y) * s.base.Width() + s.clip.left,
                    s.clip.right - s.clip.left, uint8_t{0});
}

void Renderer::BeginMasked() {
    Impl& s = *m_impl;
    if (s.depth == 0 || s.masks[s.depth - 1].active) return;
    Impl::MaskLevel& level = s.masks[s.depth - 1];
    // A nested mask only shows what its enclosing mask lets through.
    if (s.depth > s.MaskBase() + 1 && s.masks[s.depth - 2].active) {
        const uint8_t* outer = s.masks[s.depth - 2].coverage.data();
        for (int y = s.clip.top; y < s.clip.bottom; ++y) {
            const size_t row = static_cast<size_t>(y) * s.base.Width();
            for (int x = s.clip.left; x < s.clip.right; ++x)
                level.coverage[row + x] = static_cast<uint8_t>(MulDiv255(level.coverage[row + x], outer[row + x]));
        }
    }
    level.active = true;
}

void Renderer::PopMask() {
    if (m_impl->depth > m_impl->MaskBase()) --m_impl->depth;
}

void Renderer::PushLayer(int margin, const PixelRect& area) {
    Impl& s = *m_impl;
    if (s.layers.size() <= s.layerDepth) s.layers.emplace_back();
    Impl::Layer& layer = s.layers[s.layerDepth++];
    layer.outerClip = s.clip;
    layer.maskBase = s.depth;
    if (layer.picture.Width() != s.base.Width() || layer.picture.Height() != s.base.Height())
        layer.picture.Resize(s.base.Width(), s.base.Height());
    s.clip = Intersect(Intersect({s.clip.left - margin, s.clip.top - margin, s.clip.right + margin,
                                  s.clip.bottom + margin},
                                 {0, 0, s.base.Width(), s.base.Height()}),
                       area);
    layer.area = area;
    for (int y = s.clip.top; y < s.clip.bottom; ++y)
        std::fill(layer.picture.Row(y) + s.clip.left, layer.picture.Row(y) + s.clip.right, 0u);
    s.target = &layer.picture;
}

void Renderer::PopLayer(const LayerEffect& effect) {
    Impl& s = *m_impl;
    if (s.layerDepth == 0) return;
    Impl::Layer& layer = s.layers[--s.layerDepth];
    s.depth = layer.maskBase;  // masks left open inside the layer end with it
    const PixelRect drawn = s.clip;
    s.clip = layer.outerClip;
    s.target = s.layerDepth > 0 ? &s.layers[s.layerDepth - 1].picture : &s.base;
    const PixelRect shown = Intersect(s.clip, layer.area);
    if (IsEmpty(shown) || IsEmpty(drawn)) return;
    ApplyFilters(layer.picture, drawn, effect.filters, effect.filterScale);
    TransformPixels(layer.picture, shown, effect.colorTransform);
    CompositeLayer(layer.picture, *s.target, shown, effect.blend, s.ActiveMask());
}

}  // namespace velmora::raster
