#include "engine/script/movie_bridge.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <numbers>
#include <utility>

#include "engine/raster/renderer.h"

namespace velmora::script {

using avm1::NamesEqual;

namespace {

constexpr double kTwips = 20;
// Script depth 0 is display-list depth 16384: timeline depths sit below it.
constexpr int kDepthOffset = 16384;
constexpr int kMaxScriptDepth = 2130690044;     // the highest depth a script can place at
constexpr int kMaxRemovableDepth = 2130690031;  // above it, removeMovieClip leaves a clip alone

double ScaleX(const Matrix& m) { return std::sqrt(m.a * m.a + m.b * m.b) * 100; }
double ScaleY(const Matrix& m) { return std::sqrt(m.c * m.c + m.d * m.d) * 100; }

struct ScaleRotation {
    double xScale, yScale, rotation;
};

// What a script set, while the timeline has not placed the instance anew; else the matrix's.
ScaleRotation GetScaleRotation(const movie::DisplayObject& o) {
    const Matrix& m = o.place.matrix;
    const auto& cached = o.scriptTransform;
    if (cached.set && cached.made.a == m.a && cached.made.b == m.b && cached.made.c == m.c && cached.made.d == m.d)
        return {cached.xScale, cached.yScale, cached.rotation};
    return {ScaleX(m), ScaleY(m), std::atan2(m.b, m.a) * 180 / std::numbers::pi};
}

// Rebuilds the matrix from scale and rotation, keeping the translation.
void SetScaleRotation(movie::DisplayObject& o, ScaleRotation t) {
    Matrix& m = o.place.matrix;
    double r = t.rotation * std::numbers::pi / 180;
    m.a = std::cos(r) * t.xScale / 100;
    m.b = std::sin(r) * t.xScale / 100;
    m.c = -std::sin(r) * t.yScale / 100;
    m.d = std::cos(r) * t.yScale / 100;
    o.scriptTransform = {t.xScale, t.yScale, t.rotation, m, true};
}

}  // namespace

movie::MovieClip* MovieBridge::Timeline(ClipId clip) {
    movie::DisplayObject* o = Find(clip);
    return o ? o->clip.get() : nullptr;
}

movie::DisplayList* MovieBridge::ChildList(ClipId clip) {
    movie::DisplayObject* o = Find(clip);
    if (!o) return nullptr;
    if (o->clip) return &o->clip->Children();
    return o->character && o->character->AsButton() ? &o->buttonChildren : nullptr;
}

movie::DisplayObject* MovieBridge::Container(movie::DisplayObject* o) {
    if (o->button) return o->button;
    return o->parent ? &o->parent->Owner() : nullptr;
}

ClipId MovieBridge::Level(int level) {
    movie::MovieClip* root = m_player.Root();
    return level == 0 && root ? root->Owner().serial : kNoClip;
}

ClipId MovieBridge::Parent(ClipId clip) {
    movie::DisplayObject* o = Find(clip);
    movie::DisplayObject* up = o ? Container(o) : nullptr;
    return up ? up->serial : kNoClip;
}

ClipId MovieBridge::ChildByName(ClipId clip, std::string_view name, bool caseSensitive) {
    movie::DisplayList* list = ChildList(clip);
    if (!list) return kNoClip;
    for (auto& [depth, child] : *list)
        if (child && !child->place.name.empty() && NamesEqual(child->place.name, name, caseSensitive))
            return child->serial;
    return kNoClip;
}

std::vector<ClipId> MovieBridge::Children(ClipId clip) {
    std::vector<ClipId> out;
    if (movie::DisplayList* list = ChildList(clip))
        for (auto& [depth, child] : *list)
            if (child) out.push_back(child->serial);
    return out;
}

ClipKind MovieBridge::Kind(ClipId clip) {
    movie::DisplayObject* o = Find(clip);
    if (!o) return ClipKind::Other;
    if (o->clip) return ClipKind::MovieClip;
    if (o->character && o->character->AsButton()) return ClipKind::Button;
    if (o->editText) return ClipKind::TextField;
    return ClipKind::Other;
}

HostValue MovieBridge::GetProperty(ClipId clip, ClipProp prop) {
    movie::DisplayObject* o = Find(clip);
    if (!o) return {};
    const Matrix& m = o->place.matrix;
    movie::MovieClip* t = o->clip.get();
    switch (prop) {
    case ClipProp::X: return HostValue::Number(m.tx / kTwips);
    case ClipProp::Y: return HostValue::Number(m.ty / kTwips);
    case ClipProp::XScale: return HostValue::Number(GetScaleRotation(*o).xScale);
    case ClipProp::YScale: return HostValue::Number(GetScaleRotation(*o).yScale);
    case ClipProp::Rotation: return HostValue::Number(GetScaleRotation(*o).rotation);
    case ClipProp::Width: return HostValue::Number(ExtentInParent(*o, true));
    case ClipProp::Height: return HostValue::Number(ExtentInParent(*o, false));
    case ClipProp::Alpha: return HostValue::Number(o->place.colorTransform.aMul * 100);
    case ClipProp::Visible: return HostValue::Boolean(o->place.visible);
    case ClipProp::CurrentFrame: return HostValue::Number(t ? t->CurrentFrame() : 1);
    case ClipProp::TotalFrames: return HostValue::Number(t ? t->TotalFrames() : 1);
    case ClipProp::FramesLoaded: return HostValue::Number(t ? t->FramesLoaded() : 1);
    case ClipProp::Name: return HostValue::String(o->place.name);
    case ClipProp::DropTarget: return HostValue::String("");
    case ClipProp::Url: return HostValue::String("file:///test.swf");
    case ClipProp::Quality: return HostValue::String("HIGH");
    case ClipProp::HighQuality: return HostValue::Number(1);
    case ClipProp::FocusRect: return HostValue::Boolean(true);
    case ClipProp::SoundBufTime: return HostValue::Number(5);
    default: return HostValue::Number(0);
    }
}

void MovieBridge::SetProperty(ClipId clip, ClipProp prop, const HostValue& value) {
    movie::DisplayObject* o = Find(clip);
    if (!o) return;
    Matrix& m = o->place.matrix;
    double v = value.number;
    bool finite = std::isfinite(v);
    const ScaleRotation now = GetScaleRotation(*o);
    switch (prop) {
    case ClipProp::X:
        if (finite) m.tx = v * kTwips;
        break;
    case ClipProp::Y:
        if (finite) m.ty = v * kTwips;
        break;
    case ClipProp::XScale:
        if (finite) SetScaleRotation(*o, {v, now.yScale, now.rotation});
        break;
    case ClipProp::YScale:
        if (finite) SetScaleRotation(*o, {now.xScale, v, now.rotation});
        break;
    case ClipProp::Rotation:
        if (finite) {
            // Kept within a half turn either way, as the player reports it.
            double degrees = std::fmod(v, 360);
            if (degrees > 180) degrees -= 360;
            else if (degrees < -180) degrees += 360;
            SetScaleRotation(*o, {now.xScale, now.yScale, degrees});
        }
        break;
    case ClipProp::Width:
    case ClipProp::Height: {
        // Scales to the new extent; an instance that draws nothing keeps its scale.
        const bool width = prop == ClipProp::Width;
        if (o->editText && finite && v >= 0) {
            // A field's box takes the new size; its scale stays.
            const RectTwips box = o->editText->Box();
            const double w = (box.xMax - box.xMin) / kTwips, h = (box.yMax - box.yMin) / kTwips;
            const double scale = (width ? ScaleX(m) : ScaleY(m)) / 100;
            if (scale > 0) o->editText->SetBoxSize(width ? v / scale : w, width ? h : v / scale);
            break;
        }
        double extent = ExtentInParent(*o, width);
        if (!finite || v < 0 || extent <= 0) return;
        if (width) SetScaleRotation(*o, {now.xScale * v / extent, now.yScale, now.rotation});
        else SetScaleRotation(*o, {now.xScale, now.yScale * v / extent, now.rotation});
        break;
    }
    case ClipProp::Alpha:
        if (finite) o->place.colorTransform.aMul = static_cast<float>(v / 100);
        break;
    case ClipProp::Visible: o->place.visible = v != 0; break;
    case ClipProp::Name: o->place.name = value.text; break;
    default: return;
    }
    o->context.changed = true;
}

void MovieBridge::GotoFrame(ClipId clip, int frame) {
    if (movie::MovieClip* t = Timeline(clip))
        t->GotoFrame(static_cast<uint16_t>(std::clamp(frame + 1, 1, 0xFFFF)), t->IsPlaying());
}

int MovieBridge::FrameOfLabel(ClipId clip, std::string_view label) {
    movie::MovieClip* t = Timeline(clip);
    if (!t) return -1;
    auto frame = t->GetTimeline().FindLabel(label);
    return frame ? *frame - 1 : -1;
}

void MovieBridge::Play(ClipId clip) {
    if (movie::MovieClip* t = Timeline(clip)) t->Play();
}

void MovieBridge::Stop(ClipId clip) {
    if (movie::MovieClip* t = Timeline(clip)) t->Stop();
}

bool MovieBridge::FrameLoaded(ClipId clip, int frame) {
    movie::MovieClip* t = Timeline(clip);
    return t && frame < t->FramesLoaded();
}

void MovieBridge::CallFrame(ClipId clip, int frame) {
    movie::MovieClip* t = Timeline(clip);
    if (!t || !m_vm || frame < 0 || static_cast<size_t>(frame) >= t->GetTimeline().frames.size()) return;
    for (const movie::ActionBlock& block : t->GetTimeline().frames[static_cast<size_t>(frame)].actions)
        m_vm->RunActions(block.bytes, block.swfVersion, clip);
}

std::optional<int32_t> MovieBridge::ListDepth(int depth) {
    if (depth < -kDepthOffset || depth > kMaxScriptDepth) return std::nullopt;
    return static_cast<int32_t>(depth + kDepthOffset);
}

ClipId MovieBridge::Duplicate(ClipId clip, std::string_view name, int depth) {
    movie::DisplayObject* o = Find(clip);
    auto listDepth = ListDepth(depth);
    if (!o || !o->parent || o->button || !listDepth) return kNoClip;
    movie::DisplayObject* copy = o->parent->Duplicate(*o, *listDepth, name);
    return copy ? copy->serial : kNoClip;
}

// Only script depths can be removed; the player ignores removal of timeline instances
// and of the few topmost depths.
void MovieBridge::Remove(ClipId clip) {
    movie::DisplayObject* o = Find(clip);
    if (!o || !o->parent || o->button || o->depth < kDepthOffset || o->depth - kDepthOffset > kMaxRemovableDepth) return;
    o->parent->RemoveAt(o->depth);  // the player tells the VM before the clip goes
}

ClipId MovieBridge::Attach(ClipId parent, std::string_view linkageId, std::string_view name, int depth) {
    movie::MovieClip* t = Timeline(parent);
    const movie::MovieDefinition* def = m_player.Definition();
    auto listDepth = ListDepth(depth);
    if (!t || !def || !listDepth) return kNoClip;
    uint16_t id = 0;
    const movie::Character* character = Exported(linkageId, id);
    if (!character || !character->AsSprite()) return kNoClip;
    movie::DisplayObject* child = t->AttachCharacter(id, *listDepth, name);
    return child ? child->serial : kNoClip;
}

const movie::Character* MovieBridge::Exported(std::string_view linkageId, uint16_t& id) {
    const movie::MovieDefinition* def = m_player.Definition();
    if (!def) return nullptr;
    const auto exported = def->FindExport(linkageId);
    if (!exported) return nullptr;
    id = *exported;
    return def->Find(id);
}

ClipId MovieBridge::AttachBitmap(ClipId parent, std::shared_ptr<raster::BitmapBuffer> pixels, int depth,
                                 bool smoothing) {
    movie::MovieClip* t = Timeline(parent);
    auto listDepth = ListDepth(depth);
    if (!t || !pixels || !listDepth) return kNoClip;
    movie::DisplayObject* child = t->AttachBitmap(*listDepth, std::move(pixels), smoothing);
    return child ? child->serial : kNoClip;
}

void MovieBridge::DrawClip(ClipId clip, raster::BitmapBuffer& into, const Matrix& matrix, const ColorTransform& cx,
                           bool) {
    movie::DisplayObject* o = Find(clip);
    if (!o || into.Width() == 0 || into.Height() == 0) return;
    // The clip's twips through the script's pixel matrix.
    const Matrix toPixels = matrix * Matrix{1.0 / 20, 0, 0, 1.0 / 20, 0, 0};
    into.Draw([&](raster::Surface& surface) { m_player.DrawInstance(*o, surface, toPixels, cx); });
}

std::shared_ptr<raster::BitmapBuffer> MovieBridge::LoadBitmap(std::string_view linkageId) {
    uint16_t id = 0;
    const movie::Character* character = Exported(linkageId, id);
    const Bitmap* bitmap = character ? character->AsBitmap() : nullptr;
    return bitmap ? std::make_shared<raster::BitmapBuffer>(*bitmap, true) : nullptr;
}

ClipId MovieBridge::CreateEmpty(ClipId parent, std::string_view name, int depth) {
    movie::MovieClip* t = Timeline(parent);
    auto listDepth = ListDepth(depth);
    if (!t || !listDepth) return kNoClip;
    movie::DisplayObject* child = t->AttachEmptyClip(*listDepth, name);
    return child ? child->serial : kNoClip;
}

void MovieBridge::SwapDepths(ClipId clip, int depth) {
    movie::DisplayObject* o = Find(clip);
    auto listDepth = ListDepth(depth);
    if (!o || !o->parent || o->button || !listDepth || *listDepth == o->depth) return;
    o->parent->SwapDepths(o->depth, *listDepth);
}

int MovieBridge::Depth(ClipId clip) {
    movie::DisplayObject* o = Find(clip);
    return o ? static_cast<int>(o->depth) - kDepthOffset : 0;
}

int MovieBridge::NextHighestDepth(ClipId clip) {
    movie::MovieClip* t = Timeline(clip);
    if (!t || t->Children().empty()) return 0;
    return std::max(0, static_cast<int>(t->Children().rbegin()->first) - kDepthOffset + 1);
}

double MovieBridge::BytesLoaded(ClipId) {
    const movie::MovieDefinition* d = m_player.Definition();
    return d ? d->header.fileLength : 0;
}

void MovieBridge::LocalToGlobal(ClipId clip, double& x, double& y) {
    for (movie::DisplayObject* o = Find(clip); o && Container(o); o = Container(o)) {
        const Matrix& m = o->place.matrix;
        double nx = m.a * x + m.c * y + m.tx / kTwips;
        double ny = m.b * x + m.d * y + m.ty / kTwips;
        x = nx;
        y = ny;
    }
}

void MovieBridge::GlobalToLocal(ClipId clip, double& x, double& y) {
    std::vector<movie::DisplayObject*> chain;
    for (movie::DisplayObject* o = Find(clip); o && Container(o); o = Container(o)) chain.push_back(o);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Matrix& m = (*it)->place.matrix;
        double det = m.a * m.d - m.b * m.c;
        if (det == 0) return;
        double dx = x - m.tx / kTwips, dy = y - m.ty / kTwips;
        x = (m.d * dx - m.c * dy) / det;
        y = (-m.b * dx + m.a * dy) / det;
    }
}

Matrix MovieBridge::GlobalMatrix(movie::DisplayObject* o) {
    Matrix m;
    for (; o && Container(o); o = Container(o)) m = o->place.matrix * m;
    return m;
}

bool MovieBridge::ContentBounds(movie::DisplayObject& o, const Matrix& m, Bounds& out) {
    bool any = false;
    const Shape* shape = o.DrawnShape();
    const text::TextPicture* text = shape ? nullptr : o.DrawnText();
    if (shape || text) {
        const RectTwips& r = shape ? shape->bounds : text->bounds;
        for (auto [x, y] : {std::pair{r.xMin, r.yMin}, {r.xMax, r.yMin}, {r.xMin, r.yMax}, {r.xMax, r.yMax}}) {
            // Bounds are kept in whole twips, as the player keeps them.
            double px = std::round(m.a * x + m.c * y + m.tx), py = std::round(m.b * x + m.d * y + m.ty);
            if (out.xMin > out.xMax) out = {px, py, px, py};
            out.xMin = std::min(out.xMin, px);
            out.yMin = std::min(out.yMin, py);
            out.xMax = std::max(out.xMax, px);
            out.yMax = std::max(out.yMax, py);
            any = true;
        }
    }
    movie::DisplayList& children = o.clip ? o.clip->Children() : o.buttonChildren;
    for (auto& [depth, child] : children) any |= ContentBounds(*child, m * child->place.matrix, out);
    return any;
}

double MovieBridge::ExtentInParent(movie::DisplayObject& o, bool width) {
    Bounds b{1, 1, 0, 0};
    if (!ContentBounds(o, o.place.matrix, b)) return 0;
    return (width ? b.xMax - b.xMin : b.yMax - b.yMin) / kTwips;
}

Bounds MovieBridge::GetBounds(ClipId clip, ClipId space) {
    // An empty clip reports the player's "nowhere" corner.
    constexpr double kNowhere = 6710886.35;
    movie::DisplayObject* o = Find(clip);
    movie::DisplayObject* target = Find(space);
    Matrix toTarget;
    if (!o || !target || !movie::InvertMatrix(GlobalMatrix(target), toTarget)) return {};
    Bounds b{1, 1, 0, 0};  // empty until the first corner
    if (!ContentBounds(*o, toTarget * GlobalMatrix(o), b)) return {kNowhere, kNowhere, kNowhere, kNowhere};
    return {b.xMin / kTwips, b.yMin / kTwips, b.xMax / kTwips, b.yMax / kTwips};
}

bool MovieBridge::HitTestPoint(ClipId clip, double x, double y, bool shapeFlag) {
    movie::DisplayObject* o = Find(clip);
    if (!o) return false;
    const PointF stage = {static_cast<float>(x * kTwips), static_cast<float>(y * kTwips)};
    if (!shapeFlag) {
        Bounds b{1, 1, 0, 0};
        if (!ContentBounds(*o, GlobalMatrix(o), b)) return false;
        return stage.x >= b.xMin && stage.x <= b.xMax && stage.y >= b.yMin && stage.y <= b.yMax;
    }
    std::function<bool(movie::DisplayObject&, const Matrix&)> hit = [&](movie::DisplayObject& d, const Matrix& m) {
        Matrix inverse;
        const Shape* shape = d.DrawnShape();
        const text::TextPicture* text = shape ? nullptr : d.DrawnText();
        if ((shape || text) && movie::InvertMatrix(m, inverse)) {
            PointF local = {static_cast<float>(inverse.a * stage.x + inverse.c * stage.y + inverse.tx),
                            static_cast<float>(inverse.b * stage.x + inverse.d * stage.y + inverse.ty)};
            // Text is hit anywhere in its bounds.
            if (shape ? raster::HitTestShape(*shape, local) : text::HitTestText(*text, local)) return true;
        }
        movie::DisplayList& children = d.clip ? d.clip->Children() : d.buttonChildren;
        for (auto& [depth, child] : children)
            if (child->place.visible && hit(*child, m * child->place.matrix)) return true;
        return false;
    };
    return hit(*o, GlobalMatrix(o));
}

bool MovieBridge::HitTestClip(ClipId clip, ClipId other) {
    movie::DisplayObject* a = Find(clip);
    movie::DisplayObject* b = Find(other);
    if (!a || !b) return false;
    Bounds ba{1, 1, 0, 0}, bb{1, 1, 0, 0};
    if (!ContentBounds(*a, GlobalMatrix(a), ba) || !ContentBounds(*b, GlobalMatrix(b), bb)) return false;
    return ba.xMin <= bb.xMax && bb.xMin <= ba.xMax && ba.yMin <= bb.yMax && bb.yMin <= ba.yMax;
}

bool MovieBridge::GetEffects(ClipId clip, avm1::DisplayEffects& out) {
    movie::DisplayObject* o = Find(clip);
    if (!o) return false;
    out = {o->place.blendMode, o->place.filters, o->place.cacheAsBitmap};
    return true;
}

void MovieBridge::SetEffects(ClipId clip, const avm1::DisplayEffects& effects) {
    if (movie::DisplayObject* o = Find(clip)) {
        o->place.blendMode = effects.blendMode;
        o->place.filters = effects.filters;
        o->place.cacheAsBitmap = effects.cacheAsBitmap;
        o->context.changed = true;
    }
}

namespace {

// Script pixels -> whole twips; what is not a finite number is 0.
int32_t Twips(const std::vector<double>& n, size_t i) {
    double v = i < n.size() && std::isfinite(n[i]) ? n[i] * kTwips : 0;
    return static_cast<int32_t>(std::clamp(v, -1e9, 1e9));
}

// An RGB number and a 0-100 alpha (100 when absent).
Rgba ColorArg(const std::vector<double>& n, size_t rgb, size_t a) {
    auto c = static_cast<uint32_t>(rgb < n.size() && std::isfinite(n[rgb]) ? static_cast<int64_t>(n[rgb]) : 0);
    double alpha = a < n.size() && std::isfinite(n[a]) ? std::clamp(n[a], 0.0, 100.0) : 100;
    return {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c),
            static_cast<uint8_t>(std::lround(alpha * 2.55))};
}

}  // namespace

void MovieBridge::Draw(ClipId clip, const DrawCommand& command) {
    movie::DisplayObject* o = Find(clip);
    if (!o || !o->clip) return;
    if (!o->drawing) o->drawing = std::make_unique<movie::Drawing>();
    movie::Drawing& d = *o->drawing;
    const std::vector<double>& n = command.numbers;
    using K = DrawCommand::Kind;
    switch (command.kind) {
    case K::Clear: d.Clear(); break;
    case K::MoveTo: d.MoveTo(Twips(n, 0), Twips(n, 1)); break;
    case K::LineTo: d.LineTo(Twips(n, 0), Twips(n, 1)); break;
    case K::CurveTo: d.CurveTo(Twips(n, 0), Twips(n, 1), Twips(n, 2), Twips(n, 3)); break;
    case K::LineStyle: {
        if (n.empty() || !std::isfinite(n[0])) {
            d.SetLine(nullptr);
            break;
        }
        LineStyle style;
        style.width = static_cast<uint16_t>(std::clamp(n[0], 0.0, 255.0) * kTwips);
        style.color = ColorArg(n, 1, 2);
        d.SetLine(&style);
        break;
    }
    case K::BeginFill:
    case K::BeginGradientFill: {
        if (n.empty()) {
            d.SetFill(nullptr);
            break;
        }
        // A gradient fills with its first colour. Its numbers: the colour count, the colours,
        // the alpha count, the alphas, ...
        FillStyle style;
        if (command.kind == K::BeginFill) {
            style.color = ColorArg(n, 0, 1);
        } else {
            const size_t colours = std::isfinite(n[0]) ? static_cast<size_t>(std::clamp(n[0], 0.0, 1e6)) : 0;
            style.color = ColorArg(n, 1, colours + 2);
        }
        d.SetFill(&style);
        break;
    }
    case K::EndFill: d.SetFill(nullptr); break;
    }
    o->context.changed = true;
}

ColorTransform MovieBridge::GetColorTransform(ClipId clip) {
    movie::DisplayObject* o = Find(clip);
    return o ? o->place.colorTransform : ColorTransform{};
}

void MovieBridge::SetColorTransform(ClipId clip, const ColorTransform& transform) {
    if (movie::DisplayObject* o = Find(clip)) {
        o->place.colorTransform = transform;
        o->context.changed = true;
    }
}

// Script matrices carry their translation in pixels; the display list keeps twips.
namespace {

Matrix ToPixels(Matrix m) {
    m.tx /= kTwips;
    m.ty /= kTwips;
    return m;
}

}  // namespace

Matrix MovieBridge::GetMatrix(ClipId clip) {
    movie::DisplayObject* o = Find(clip);
    return o ? ToPixels(o->place.matrix) : Matrix{};
}

void MovieBridge::SetMatrix(ClipId clip, const Matrix& matrix) {
    movie::DisplayObject* o = Find(clip);
    if (!o) return;
    for (double v : {matrix.a, matrix.b, matrix.c, matrix.d, matrix.tx, matrix.ty})
        if (!std::isfinite(v)) return;
    o->place.matrix = matrix;
    o->place.matrix.tx = std::round(matrix.tx * kTwips);
    o->place.matrix.ty = std::round(matrix.ty * kTwips);
    o->context.changed = true;
}

// Down from the stage, with the root's own transform (GlobalMatrix stops below the root).
Matrix MovieBridge::StageMatrix(movie::DisplayObject* o) {
    Matrix m;
    for (; o; o = Container(o)) m = o->place.matrix * m;
    return m;
}

Matrix MovieBridge::GetConcatenatedMatrix(ClipId clip) { return ToPixels(StageMatrix(Find(clip))); }

ColorTransform MovieBridge::GetConcatenatedColorTransform(ClipId clip) {
    ColorTransform t;
    for (movie::DisplayObject* o = Find(clip); o; o = Container(o)) t = o->place.colorTransform * t;
    return t;
}

Bounds MovieBridge::GetPixelBounds(ClipId clip) {
    movie::DisplayObject* o = Find(clip);
    Bounds b{1, 1, 0, 0};
    if (!o || !ContentBounds(*o, StageMatrix(o), b)) return {};
    return {b.xMin / kTwips, b.yMin / kTwips, b.xMax / kTwips, b.yMax / kTwips};
}

}  // namespace velmora::script
