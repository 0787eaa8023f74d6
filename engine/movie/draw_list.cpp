#include "engine/movie/draw_list.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "engine/movie/movie_clip.h"
#include "engine/raster/filters.h"

namespace velmora::movie {

namespace {

// What every level of the flattening shares.
struct Build {
    DrawList& out;
    double stageScale;  // device pixels per stage pixel, for filter sizes
    int layers = 0;     // open layers around the object being added
};

void AddObject(DisplayObject& object, const Matrix& parentMatrix, const ColorTransform& parentCx, bool inMask,
               int spread, Build& build);

// Inside a mask's own content every shape only adds coverage: clip depths there do not
// open further masks. `spread` is how far enclosing filters carry a change of any pixel.
void AddList(DisplayList& list, const Matrix& toPixels, const ColorTransform& cx, bool inMask, int spread,
             Build& build) {
    DrawList& out = build.out;
    std::vector<int32_t> masks;  // clip depths of the open masks, innermost last
    for (auto& [depth, object] : list) {
        while (!masks.empty() && depth > masks.back()) {
            out.push_back({DrawCommand::Op::PopMask});
            masks.pop_back();
        }
        if (!object->place.visible || object->retired) continue;
        if (object->place.clipDepth > 0 && !inMask) {
            out.push_back({DrawCommand::Op::PushMask, object->serial});
            AddObject(*object, toPixels, cx, true, spread, build);
            out.push_back({DrawCommand::Op::BeginMasked, object->serial});
            masks.push_back(object->place.clipDepth);
            continue;
        }
        AddObject(*object, toPixels, cx, inMask, spread, build);
    }
    while (!masks.empty()) {
        out.push_back({DrawCommand::Op::PopMask});
        masks.pop_back();
    }
}

// Device pixels per stage pixel (twips per pixel, 20, through the matrix's scale).
double StageScale(const Matrix& toPixels) {
    return 20 * std::sqrt(std::fabs(toPixels.a * toPixels.d - toPixels.b * toPixels.c));
}

// Blend modes, filters and bitmap caching draw the object offscreen first.
bool NeedsLayer(const Placement& place) {
    return place.blendMode != swf::BlendMode::Normal || !place.filters.empty() || place.cacheAsBitmap;
}

void AddContent(DisplayObject& object, const Matrix& m, const ColorTransform& cx, bool inMask, int spread,
                Build& build) {
    if (const Shape* shape = object.DrawnShape()) {
        DrawCommand c;
        c.key = object.serial;
        c.shape = shape;
        c.ratio = object.place.ratio;
        c.toPixels = m;
        c.colorTransform = cx;
        c.bounds = raster::ShapePixelBounds(*shape, m);
        // Anti-aliasing may touch one pixel beyond the geometric bounds.
        const int grow = 1 + spread;
        c.bounds = {c.bounds.left - grow, c.bounds.top - grow, c.bounds.right + grow, c.bounds.bottom + grow};
        build.out.push_back(c);
    }
    if (const text::TextPicture* text = object.DrawnText()) {
        DrawCommand c;
        c.key = object.serial;
        c.text = text;
        c.toPixels = m;
        c.colorTransform = cx;
        const raster::PixelRect b = text::TextPixelBounds(*text, m);
        c.bounds = {b.left - spread, b.top - spread, b.right + spread, b.bottom + spread};
        build.out.push_back(c);
    }
    if (object.bitmap) {
        DrawCommand c;
        c.key = object.serial;
        c.bitmap = object.bitmap.get();
        c.bitmapVersion = object.bitmap->Version();
        c.smooth = object.bitmapSmoothing;
        c.toPixels = m;
        c.colorTransform = cx;
        const raster::PixelRect b = raster::BitmapPixelBounds(object.bitmap->Pixels(), m);
        const int grow = 1 + spread;
        c.bounds = {b.left - grow, b.top - grow, b.right + grow, b.bottom + grow};
        build.out.push_back(c);
    }
    if (object.clip) AddList(object.clip->Children(), m, cx, inMask, spread, build);
    if (!object.buttonChildren.empty()) AddList(object.buttonChildren, m, cx, inMask, spread, build);
}

void AddObject(DisplayObject& object, const Matrix& parentMatrix, const ColorTransform& parentCx, bool inMask,
               int spread, Build& build) {
    const Matrix m = parentMatrix * object.place.matrix;
    const ColorTransform cx = parentCx * object.place.colorTransform;
    if (inMask || !NeedsLayer(object.place)) {
        AddContent(object, m, cx, inMask, spread, build);
        return;
    }
    // Alpha and erase work on the transparency of an enclosing layer; over the opaque
    // stage they leave nothing to see.
    const swf::BlendMode blend = object.place.blendMode;
    if ((blend == swf::BlendMode::Alpha || blend == swf::BlendMode::Erase) && build.layers == 0) return;
    // The layer's colour transform and filters apply to the whole picture, after its
    // content is drawn untransformed in colour.
    const size_t pushAt = build.out.size();
    DrawCommand push{DrawCommand::Op::PushLayer, object.serial};
    push.margin = raster::FilterMargin(object.place.filters, build.stageScale);
    build.out.push_back(push);
    ++build.layers;
    AddContent(object, m, ColorTransform{}, false, spread + push.margin, build);
    --build.layers;
    // The layer covers its content's bounds, which already allow for the effect's spread.
    raster::PixelRect area;
    for (size_t i = pushAt + 1; i < build.out.size(); ++i)
        if (build.out[i].op == DrawCommand::Op::Shape || build.out[i].op == DrawCommand::Op::PopLayer)
            area = Union(area, build.out[i].bounds);
    build.out[pushAt].bounds = area;
    DrawCommand pop{DrawCommand::Op::PopLayer, object.serial};
    pop.effect = {blend, cx, object.place.filters, build.stageScale};
    pop.bounds = area;
    build.out.push_back(std::move(pop));
}

bool SameDraw(const DrawCommand& a, const DrawCommand& b) {
    return a.shape == b.shape && a.text == b.text && a.bitmap == b.bitmap && a.bitmapVersion == b.bitmapVersion &&
           a.ratio == b.ratio && a.toPixels == b.toPixels && a.colorTransform == b.colorTransform;
}

uint64_t OrderKey(const DrawCommand& c) { return (c.key << 3) | static_cast<uint64_t>(c.op); }

}  // namespace

bool IsEmpty(const raster::PixelRect& r) { return r.right <= r.left || r.bottom <= r.top; }

raster::PixelRect Union(const raster::PixelRect& a, const raster::PixelRect& b) {
    if (IsEmpty(a)) return b;
    if (IsEmpty(b)) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

raster::PixelRect Intersection(const raster::PixelRect& a, const raster::PixelRect& b) {
    raster::PixelRect r = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                           std::min(a.bottom, b.bottom)};
    return IsEmpty(r) ? raster::PixelRect{} : r;
}

void BuildDrawList(DisplayList& list, const Matrix& toPixels, const ColorTransform& cx, DrawList& out) {
    Build build{out, StageScale(toPixels)};
    AddList(list, toPixels, cx, false, 0, build);
}

void BuildContentDrawList(DisplayObject& object, const Matrix& toPixels, const ColorTransform& cx, DrawList& out) {
    Build build{out, StageScale(toPixels)};
    AddContent(object, toPixels, cx, false, 0, build);
}

raster::PixelRect ChangedArea(const DrawList& before, const DrawList& after, const raster::PixelRect& whole) {
    // Mask and layer structure, layer effects and stacking order must match; otherwise
    // redraw everything.
    auto structure = [](const DrawList& list) {
        std::vector<const DrawCommand*> ops;
        for (const auto& c : list)
            if (c.op != DrawCommand::Op::Shape) ops.push_back(&c);
        return ops;
    };
    const auto opsBefore = structure(before), opsAfter = structure(after);
    if (!std::equal(opsBefore.begin(), opsBefore.end(), opsAfter.begin(), opsAfter.end(),
                    [](const DrawCommand* a, const DrawCommand* b) {
                        return OrderKey(*a) == OrderKey(*b) && a->margin == b->margin && a->effect == b->effect;
                    }))
        return whole;
    std::unordered_map<uint64_t, size_t> index;
    for (size_t i = 0; i < before.size(); ++i) index[OrderKey(before[i])] = i;
    raster::PixelRect dirty;
    std::vector<bool> seen(before.size());
    size_t lastIndex = 0;
    bool first = true;
    for (const auto& c : after) {
        if (c.op != DrawCommand::Op::Shape) continue;
        auto it = index.find(OrderKey(c));
        if (it == index.end()) {
            dirty = Union(dirty, c.bounds);
            continue;
        }
        if (!first && it->second < lastIndex) return whole;
        first = false;
        lastIndex = it->second;
        seen[it->second] = true;
        const DrawCommand& old = before[it->second];
        if (!SameDraw(old, c)) dirty = Union(dirty, Union(old.bounds, c.bounds));
    }
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i].op == DrawCommand::Op::Shape && !seen[i]) dirty = Union(dirty, before[i].bounds);
    return Intersection(dirty, whole);
}

void Execute(raster::Renderer& renderer, const DrawList& list) {
    for (const auto& c : list) {
        switch (c.op) {
        case DrawCommand::Op::Shape:
            if (c.text) text::DrawTextPicture(renderer, *c.text, c.toPixels, c.colorTransform);
            else if (c.bitmap) renderer.DrawBitmap(c.bitmap->Pixels(), c.toPixels, c.colorTransform, c.smooth);
            else renderer.DrawShape(*c.shape, c.toPixels, c.colorTransform);
            break;
        case DrawCommand::Op::PushMask: renderer.PushMask(); break;
        case DrawCommand::Op::BeginMasked: renderer.BeginMasked(); break;
        case DrawCommand::Op::PopMask: renderer.PopMask(); break;
        case DrawCommand::Op::PushLayer: renderer.PushLayer(c.margin, c.bounds); break;
        case DrawCommand::Op::PopLayer: renderer.PopLayer(c.effect); break;
        }
    }
}

}  // namespace velmora::movie
