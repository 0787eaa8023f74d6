#include "engine/raster/path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/raster/rasterizer.h"

namespace velmora::raster {

namespace {

// A curve from a hostile file can be huge; beyond this many pieces nobody sees more detail.
constexpr int kMaxCurvePieces = 512;
constexpr double kArcTolerance = 0.1;

PointF operator+(PointF a, PointF b) { return {a.x + b.x, a.y + b.y}; }
PointF operator-(PointF a, PointF b) { return {a.x - b.x, a.y - b.y}; }
PointF operator-(PointF a) { return {-a.x, -a.y}; }
PointF operator*(PointF a, double s) { return {a.x * s, a.y * s}; }
double Dot(PointF a, PointF b) { return a.x * b.x + a.y * b.y; }
double Cross(PointF a, PointF b) { return a.x * b.y - a.y * b.x; }
double Length(PointF a) { return std::sqrt(Dot(a, a)); }

class Outline {
public:
    explicit Outline(const StrokeStyle& style)
        : m_style(style),
          m_step(style.halfWidth > kArcTolerance ? 2 * std::acos(1 - kArcTolerance / style.halfWidth) : 1.0),
          m_cosStep(std::cos(m_step)) {}

    void Add(PointF p) { m_points.push_back(p); }

    // Arc around `centre` from offset `from`, turning by `sweep` radians. The inner
    // vertices sit slightly outside the circle so the polygon keeps the sector's area.
    void Arc(PointF centre, PointF from, double sweep) {
        const double wanted = std::ceil(std::fabs(sweep) / m_step);  // inf for a huge radius
        const int pieces = wanted >= 256 || !(wanted == wanted) ? 256 : std::max(1, static_cast<int>(wanted));
        if (pieces < 2) return;
        const double theta = sweep / pieces;
        const double excess = std::fabs(theta) / std::sin(std::fabs(theta)) * pieces;  // n theta / sin theta
        const double k = pieces == 2 ? excess / 2
                                     : (std::sqrt(1 + (pieces - 2) * excess) - 1) / (pieces - 2);
        // Step the offset round by theta at a time.
        const double c = std::cos(theta), s = std::sin(theta);
        PointF d = from * k;
        for (int i = 1; i < pieces; ++i) {
            d = {d.x * c - d.y * s, d.x * s + d.y * c};
            Add(centre + d);
        }
    }

    // Half-turn from offset `from` to `-from` bulging towards `towards` (a round end).
    void HalfTurn(PointF centre, PointF from, PointF towards) {
        const PointF rotated{-from.y, from.x};
        Arc(centre, from, Dot(rotated, towards) > 0 ? std::numbers::pi : -std::numbers::pi);
    }

    // Connects offset u (end of the incoming piece) to offset v (start of the outgoing one)
    // around vertex p; inDir/outDir are the travel directions of the two pieces, reach the
    // shorter piece's length.
    void Join(PointF p, PointF u, PointF v, PointF inDir, PointF outDir, double reach) {
        const double r2 = m_style.halfWidth * m_style.halfWidth;
        const double cosTurn = Dot(u, v) / r2, sinTurn = Cross(u, v) / r2;
        const double cosHalf = std::sqrt(std::max(0.0, (1 + cosTurn) / 2));
        const PointF mid = u + v;
        const double midLength = Length(mid);
        if (Dot(outDir, u) > 1e-12) {
            // Inner side. Where the offset lines meet within both pieces, that point is the
            // corner; otherwise go through the vertex: the overlap this makes lies inside
            // the stroke and vanishes under the non-zero rule.
            if (cosHalf > 0.1 && midLength > 1e-12 &&
                m_style.halfWidth * std::fabs(sinTurn) <= reach * (1 + cosTurn)) {  // r tan(turn/2)
                Add(p + mid * (m_style.halfWidth / cosHalf / midLength));
            } else {
                Add(p + u);
                Add(p);
                Add(p + v);
            }
            return;
        }
        Add(p + u);
        switch (m_style.join) {
        case JoinStyle::Round:
            // Turns within one arc step need no points between the offsets.
            if (cosTurn < m_cosStep) {
                const double sweep = std::atan2(sinTurn, cosTurn);
                if (std::fabs(sweep) > std::numbers::pi - 1e-6) HalfTurn(p, u, inDir);
                else Arc(p, u, sweep);
            }
            break;
        case JoinStyle::Miter:
            if (cosHalf > 1e-9 && 1 / cosHalf <= m_style.miterLimit && midLength > 1e-12)
                Add(p + mid * (m_style.halfWidth / cosHalf / midLength));
            break;
        case JoinStyle::Bevel:
            break;
        }
        Add(p + v);
    }

    // Cap at `p` leaving along `dir`, from offset n to -n.
    void Cap(PointF p, PointF n, PointF dir, CapStyle cap) {
        Add(p + n);
        if (cap == CapStyle::Round) {
            HalfTurn(p, n, dir);
        } else if (cap == CapStyle::Square) {
            const PointF ext = dir * m_style.halfWidth;
            Add(p + n + ext);
            Add(p - n + ext);
        }
        Add(p - n);
    }

    void Flush(Rasterizer& raster) {
        AddPolygon(m_points, raster);
        m_points.clear();
    }

private:
    const StrokeStyle& m_style;
    const double m_step, m_cosStep;  // angle per arc piece within tolerance
    std::vector<PointF> m_points;
};

}  // namespace

void FlattenEdge(const ShapeEdge& edge, const Matrix& m, double tolerance,
                 std::vector<PointF>& out) {
    const PointF p1 = Transform(m, edge.x1, edge.y1);
    if (!edge.curved) {
        out.push_back(p1);
        return;
    }
    const PointF p0 = Transform(m, edge.x0, edge.y0);
    const PointF c = Transform(m, edge.cx, edge.cy);
    // A quadratic's deviation from n chords is at most |p0 - 2c + p1| / (8 n^2).
    const double dd = Length(p0 - c * 2 + p1);
    const double wanted = std::ceil(std::sqrt(dd / (8 * tolerance)));
    const int pieces = std::isfinite(wanted) ? std::clamp(static_cast<int>(std::min(wanted, 1e6)), 1, kMaxCurvePieces) : 1;
    for (int i = 1; i < pieces; ++i) {
        const double t = static_cast<double>(i) / pieces, s = 1 - t;
        out.push_back(p0 * (s * s) + c * (2 * s * t) + p1 * (t * t));
    }
    out.push_back(p1);
}

double StrokePixelWidth(const LineStyle& style, const Matrix& toPixels) {
    const double sx = std::hypot(toPixels.a, toPixels.b), sy = std::hypot(toPixels.c, toPixels.d);
    double scale = (sx + sy) / 2;
    // Without the object's scale a twip is a twentieth of a pixel.
    if (style.noHScale && style.noVScale) scale = 1.0 / 20;
    else if (style.noHScale) scale = sy;
    else if (style.noVScale) scale = sx;
    const double width = style.width * scale;
    return std::isfinite(width) ? std::max(width, 1.0) : 1.0;
}

void AddPolygon(const std::vector<PointF>& polygon, Rasterizer& raster) {
    if (polygon.size() < 3) return;
    PointF prev = polygon.back();
    for (const PointF& p : polygon) {
        raster.AddLine(prev.x, prev.y, p.x, p.y);
        prev = p;
    }
}

void StrokePolyline(const PointF* points, size_t count, bool closed, const StrokeStyle& style,
                    Rasterizer& raster) {
    std::vector<PointF> pts;
    pts.reserve(count);
    for (size_t i = 0; i < count; ++i)
        if (pts.empty() || Length(points[i] - pts.back()) > 1e-9) pts.push_back(points[i]);
    if (closed && pts.size() > 2 && Length(pts.front() - pts.back()) <= 1e-9) pts.pop_back();
    const double hw = style.halfWidth;
    Outline outline(style);
    if (pts.size() == 1) {
        // A zero-length stroke shows as its caps.
        const PointF p = pts[0];
        if (style.startCap == CapStyle::Round) {
            outline.Add(p + PointF{hw, 0});
            outline.Arc(p, {hw, 0}, 2 * std::numbers::pi);
        } else if (style.startCap == CapStyle::Square) {
            for (PointF corner : {PointF{-hw, -hw}, PointF{hw, -hw}, PointF{hw, hw}, PointF{-hw, hw}})
                outline.Add(p + corner);
        }
        outline.Flush(raster);
        return;
    }
    if (pts.size() < 2) return;
    closed = closed && pts.size() > 2;
    const size_t n = pts.size();
    const size_t pieces = closed ? n : n - 1;
    std::vector<PointF> dirs(pieces), normals(pieces);
    std::vector<double> lengths(pieces);
    for (size_t i = 0; i < pieces; ++i) {
        const PointF d = pts[(i + 1) % n] - pts[i];
        lengths[i] = Length(d);
        dirs[i] = d * (1 / lengths[i]);
        normals[i] = PointF{-dirs[i].y, dirs[i].x} * hw;
    }
    if (closed) {
        for (size_t k = 0; k < n; ++k) {
            const size_t in = (k + pieces - 1) % pieces;
            outline.Join(pts[k], normals[in], normals[k], dirs[in], dirs[k],
                         std::min(lengths[in], lengths[k]));
        }
        outline.Flush(raster);
        for (size_t k = n; k-- > 0;) {
            const size_t in = (k + pieces - 1) % pieces;
            outline.Join(pts[k], -normals[k], -normals[in], -dirs[k], -dirs[in],
                         std::min(lengths[in], lengths[k]));
        }
        outline.Flush(raster);
        return;
    }
    outline.Add(pts[0] + normals[0]);
    for (size_t k = 1; k < pieces; ++k)
        outline.Join(pts[k], normals[k - 1], normals[k], dirs[k - 1], dirs[k],
                     std::min(lengths[k - 1], lengths[k]));
    outline.Cap(pts[n - 1], normals[pieces - 1], dirs[pieces - 1], style.endCap);
    for (size_t k = pieces - 1; k > 0; --k)
        outline.Join(pts[k], -normals[k], -normals[k - 1], -dirs[k], -dirs[k - 1],
                     std::min(lengths[k - 1], lengths[k]));
    outline.Cap(pts[0], -normals[0], -dirs[0], style.startCap);
    outline.Flush(raster);
}

}  // namespace velmora::raster
