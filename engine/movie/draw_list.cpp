#include "engine/movie/draw_list.h"

#include <algorithm>
#include <unordered_map>

#include "engine/movie/movie_clip.h"

namespace velmora::movie {

namespace {

void AddObject(DisplayObject& object, const Matrix& parentMatrix, const ColorTransform& parentCx, bool inMask,
               DrawList& out);

// Inside a mask's own content every shape only adds coverage: clip depths there do not
// open further masks.
void AddList(DisplayList& list, const Matrix& toPixels, const ColorTransform& cx, bool inMask, DrawList& out) {
    std::vector<int32_t> masks;  // clip depths of the open masks, innermost last
    for (auto& [depth, object] : list) {
        while (!masks.empty() && depth > masks.back()) {
            out.push_back({DrawCommand::Op::PopMask});
            masks.pop_back();
        }
        if (!object->place.visible) continue;
        if (object->place.clipDepth > 0 && !inMask) {
            out.push_back({DrawCommand::Op::PushMask, object->serial});
            AddObject(*object, toPixels, cx, true, out);
            out.push_back({DrawCommand::Op::BeginMasked, object->serial});
            masks.push_back(object->place.clipDepth);
            continue;
        }
        AddObject(*object, toPixels, cx, inMask, out);
    }
    while (!masks.empty()) {
        out.push_back({DrawCommand::Op::PopMask});
        masks.pop_back();
    }
}

void AddObject(DisplayObject& object, const Matrix& parentMatrix, const ColorTransform& parentCx, bool inMask,
               DrawList& out) {
    Matrix m = parentMatrix * object.place.matrix;
    ColorTransform cx = parentCx * object.place.colorTransform;
    if (const Shape* shape = object.DrawnShape()) {
        DrawCommand c;
        c.key = object.serial;
        c.shape = shape;
        c.ratio = object.place.ratio;
        c.toPixels = m;
        c.colorTransform = cx;
        c.bounds = raster::ShapePixelBounds(*shape, m);
        // Anti-aliasing may touch one pixel beyond the geometric bounds.
        c.bounds = {c.bounds.left - 1, c.bounds.top - 1, c.bounds.right + 1, c.bounds.bottom + 1};
        out.push_back(c);
    }
    if (object.clip) AddList(object.clip->Children(), m, cx, inMask, out);
    if (!object.buttonChildren.empty()) AddList(object.buttonChildren, m, cx, inMask, out);
}

bool SameDraw(const DrawCommand& a, const DrawCommand& b) {
    return a.shape == b.shape && a.ratio == b.ratio && a.toPixels == b.toPixels && a.colorTransform == b.colorTransform;
}

uint64_t OrderKey(const DrawCommand& c) { return (c.key << 2) | static_cast<uint64_t>(c.op); }

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
    AddList(list, toPixels, cx, false, out);
}

raster::PixelRect ChangedArea(const DrawList& before, const DrawList& after, const raster::PixelRect& whole) {
    // Mask structure and stacking order must match; otherwise redraw everything.
    auto maskOps = [](const DrawList& list) {
        std::vector<uint64_t> ops;
        for (const auto& c : list)
            if (c.op != DrawCommand::Op::Shape) ops.push_back(OrderKey(c));
        return ops;
    };
    if (maskOps(before) != maskOps(after)) return whole;
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
        case DrawCommand::Op::Shape: renderer.DrawShape(*c.shape, c.toPixels, c.colorTransform); break;
        case DrawCommand::Op::PushMask: renderer.PushMask(); break;
        case DrawCommand::Op::BeginMasked: renderer.BeginMasked(); break;
        case DrawCommand::Op::PopMask: renderer.PopMask(); break;
        }
    }
}

}  // namespace velmora::movie
