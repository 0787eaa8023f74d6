#include "engine/raster/rasterizer.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace velmora::raster {

void Rasterizer::Reset(const PixelRect& clip, bool antiAlias) {
    m_clip = clip;
    m_antiAlias = antiAlias;
    m_segments.clear();
    m_reachesRight = false;
}

void Rasterizer::AddLine(double x0, double y0, double x1, double y1) {
    if (!(y0 != y1) || m_clip.right <= m_clip.left || m_clip.bottom <= m_clip.top) return;
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    const double top = m_clip.top, bottom = m_clip.bottom;
    if (std::max(y0, y1) <= top || std::min(y0, y1) >= bottom) return;
    // Trim to the clip rows; what lies above or below never affects a visible pixel.
    auto xAt = [&](double y) { return x0 + (x1 - x0) * ((y - y0) / (y1 - y0)); };
    double ya = y0, yb = y1, xa = x0, xb = x1;
    if (y0 < y1) {
        if (ya < top) xa = xAt(top), ya = top;
        if (yb > bottom) xb = xAt(bottom), yb = bottom;
    } else {
        if (ya > bottom) xa = xAt(bottom), ya = bottom;
        if (yb < top) xb = xAt(top), yb = top;
    }
    AddClippedY(xa, ya, xb, yb);
}

void Rasterizer::AddClippedY(double x0, double y0, double x1, double y1) {
    const double left = m_clip.left, right = m_clip.right;
    // Right of the clip a segment only affects pixels further right: drop that part.
    if (x0 >= right && x1 >= right) {
        m_reachesRight = true;
        return;
    }
    if (x0 > right || x1 > right) {
        m_reachesRight = true;
        const double y = y0 + (y1 - y0) * ((right - x0) / (x1 - x0));
        if (x0 > right) x0 = right, y0 = y;
        else x1 = right, y1 = y;
    }
    // Left of the clip only the winding matters: fold that part onto the left edge.
    if (x0 <= left && x1 <= left) return Push(left, y0, left, y1);
    if (x0 < left || x1 < left) {
        const double y = y0 + (y1 - y0) * ((left - x0) / (x1 - x0));
        if (x0 < left) {
            Push(left, y0, left, y);
            Push(left, y, x1, y1);
        } else {
            Push(x0, y0, left, y);
            Push(left, y, left, y1);
        }
        return;
    }
    Push(x0, y0, x1, y1);
}

void Rasterizer::Push(double x0, double y0, double x1, double y1) {
    // No height once stored in float: it covers nothing, and its slope would not be finite.
    if (static_cast<float>(y0) == static_cast<float>(y1)) return;
    float dir = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        dir = -1;
    }
    const double lx0 = x0 - m_clip.left, lx1 = x1 - m_clip.left;
    if (m_segments.empty()) {
        m_minX = m_maxX = lx0;
        m_minY = y0;
        m_maxY = y1;
    }
    m_minX = std::min({m_minX, lx0, lx1});
    m_maxX = std::max({m_maxX, lx0, lx1});
    m_minY = std::min(m_minY, y0);
    m_maxY = std::max(m_maxY, y1);
    // A nearly flat segment's slope can exceed float; bounded it still crosses its row.
    const double dxdy = std::clamp((lx1 - lx0) / (y1 - y0), -1e30, 1e30);
    m_segments.push_back({static_cast<float>(lx0), static_cast<float>(y0), static_cast<float>(y1),
                          static_cast<float>(dxdy), dir});
}

PixelRect Rasterizer::Bounds() const {
    if (m_segments.empty()) return {};
    PixelRect r;
    r.left = m_clip.left + static_cast<int>(std::floor(m_minX));
    r.right = m_reachesRight ? m_clip.right
                             : std::min(m_clip.right, m_clip.left + static_cast<int>(std::floor(m_maxX)) + 1);
    r.top = std::max(m_clip.top, static_cast<int>(std::floor(m_minY)));
    r.bottom = std::min(m_clip.bottom, static_cast<int>(std::ceil(m_maxY)));
    return r;
}

void Rasterizer::Sweep(FillRule rule, CoverageSink& sink) {
    if (m_segments.empty()) return;
    std::sort(m_segments.begin(), m_segments.end(),
              [](const Segment& a, const Segment& b) { return a.yTop < b.yTop; });
    if (!m_antiAlias) SweepAliased(rule, sink);
    else if (rule == FillRule::NonZero) SweepAntiAliased<FillRule::NonZero>(sink);
    else SweepAntiAliased<FillRule::EvenOdd>(sink);
}

inline void Rasterizer::AccumulatePiece(float xa, float xb, float height) {
    // A piece inside one cell covers the part of that cell right of it (a trapezoid);
    // the rest of its height carries to every cell further right.
    const int cell = static_cast<int>(xa);
    const float mid = 0.5f * (xa + xb) - static_cast<float>(cell);
    m_acc[cell] += height * (1 - mid);
    m_acc[cell + 1] += height * mid;
    // Only the cell is listed; the sweep visits the one after it too.
    if (!m_marked[cell]) {
        m_marked[cell] = 1;
        m_touched.push_back(cell);
    }
}

inline void Rasterizer::AccumulateRow(const Segment& s, float rowTop) {
    const float ya = std::max(s.yTop, rowTop), yb = std::min(s.yBottom, rowTop + 1);
    if (yb <= ya) return;
    const float width = static_cast<float>(m_clip.right - m_clip.left);
    float xa = std::clamp(s.xTop + (ya - s.yTop) * s.dxdy, 0.f, width);
    float xb = std::clamp(s.xTop + (yb - s.yTop) * s.dxdy, 0.f, width);
    const float height = (yb - ya) * s.dir;
    if (xa > xb) std::swap(xa, xb);
    const int ia = static_cast<int>(xa);
    int ib = static_cast<int>(xb);
    if (ib > ia && static_cast<float>(ib) == xb) --ib;
    if (ia == ib) return AccumulatePiece(xa, xb, height);
    const float perX = height / (xb - xa);
    AccumulatePiece(xa, static_cast<float>(ia + 1), perX * (static_cast<float>(ia + 1) - xa));
    for (int j = ia + 1; j < ib; ++j)
        AccumulatePiece(static_cast<float>(j), static_cast<float>(j + 1), perX);
    AccumulatePiece(static_cast<float>(ib), xb, perX * (xb - static_cast<float>(ib)));
}

namespace {

template <FillRule rule>
uint8_t CoverageOf(float winding) {
    // Bounded first so hostile input cannot overflow the conversion.
    float a = std::min(std::fabs(winding), 1e6f);
    if constexpr (rule == FillRule::NonZero) {
        a = std::min(a, 1.f);
    } else {
        a -= 2 * static_cast<float>(static_cast<int>(a * 0.5f));  // a mod 2, a >= 0
        if (a > 1) a = 2 - a;
    }
    return static_cast<uint8_t>(a * 255 + 0.5f);
}

bool Inside(int winding, FillRule rule) {
    return rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
}

}  // namespace

template <FillRule rule>
void Rasterizer::SweepAntiAliased(CoverageSink& sink) {
    const int width = m_clip.right - m_clip.left;
    // Every cell a sweep touches is zeroed again as it is read, so these stay clear.
    const size_t cells = static_cast<size_t>(width) + 2;
    if (m_acc.size() < cells) {
        m_acc.resize(cells, 0.f);
        m_marked.resize(cells, 0);
        m_cov.resize(cells);
    }
    const PixelRect box = Bounds();
    m_active.clear();
    size_t next = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        const float rowTop = static_cast<float>(y);
        while (next < m_segments.size() && m_segments[next].yTop < rowTop + 1)
            m_active.push_back(&m_segments[next++]);
        m_touched.clear();
        for (size_t i = 0; i < m_active.size();) {
            if (m_active[i]->yBottom <= rowTop) {
                m_active[i] = m_active.back();
                m_active.pop_back();
                continue;
            }
            AccumulateRow(*m_active[i], rowTop);
            ++i;
        }
        if (m_touched.empty()) continue;
        std::sort(m_touched.begin(), m_touched.end());
        // Touched cells and the cell after each get their own coverage; between them it
        // stays constant.
        float winding = 0;
        int runStart = -1;
        const size_t count = m_touched.size();
        m_touched.push_back(INT32_MAX);  // sentinel
        for (size_t i = 0; i < count; ++i) {
            const int x = m_touched[i];
            m_marked[x] = 0;
            const int following = m_touched[i + 1];
            // Cell x, and x + 1 unless it is listed itself.
            const int last = following == x + 1 ? x : x + 1;
            for (int c = x; c <= last; ++c) {
                winding += m_acc[c];
                m_acc[c] = 0;
                m_cov[c] = CoverageOf<rule>(winding);
            }
            if (runStart < 0) runStart = x;
            if (following <= last + 1 && following != INT32_MAX) continue;
            const int end = std::min(last + 1, width);
            if (end > runStart)
                sink.Row(y, m_clip.left + runStart, m_clip.left + end, m_cov.data() + runStart);
            runStart = -1;
            // Past the last cell the winding only matters when geometry was dropped right
            // of the clip: it stays in force up to the edge.
            const uint8_t cov = m_cov[last];
            const int spanEnd = following != INT32_MAX ? std::min(following, width) : m_reachesRight ? width : end;
            if (cov != 0 && spanEnd > end) sink.Span(y, m_clip.left + end, m_clip.left + spanEnd, cov);
        }
    }
}

void Rasterizer::SweepAliased(FillRule rule, CoverageSink& sink) {
    const int width = m_clip.right - m_clip.left;
    const PixelRect box = Bounds();
    m_active.clear();
    size_t next = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        const float centre = static_cast<float>(y) + 0.5f;
        while (next < m_segments.size() && m_segments[next].yTop <= centre)
            m_active.push_back(&m_segments[next++]);
        m_crossings.clear();
        for (size_t i = 0; i < m_active.size();) {
            const Segment& s = *m_active[i];
            if (s.yBottom <= centre) {
                m_active[i] = m_active.back();
                m_active.pop_back();
                continue;
            }
            m_crossings.emplace_back(s.xTop + (centre - s.yTop) * s.dxdy, s.dir);
            ++i;
        }
        if (m_crossings.empty()) continue;
        std::sort(m_crossings.begin(), m_crossings.end());
        // A pixel is inside when its centre lies in an inside interval.
        auto firstPixel = [&](float x) {
            return static_cast<int>(std::ceil(std::clamp(x - 0.5f, 0.f, static_cast<float>(width))));
        };
        int winding = 0, spanStart = 0, spanEnd = -1;
        for (size_t k = 0; k < m_crossings.size(); ++k) {
            winding += static_cast<int>(m_crossings[k].second);
            if (!Inside(winding, rule)) continue;
            // After the last crossing only geometry dropped right of the clip can leave the
            // row inside: it stays so up to the edge.
            const bool last = k + 1 == m_crossings.size();
            if (last && !m_reachesRight) break;
            const int from = firstPixel(m_crossings[k].first);
            const int to = last ? width : firstPixel(m_crossings[k + 1].first);
            if (from >= to) continue;
            if (from > spanEnd) {
                if (spanEnd > spanStart) sink.Span(y, m_clip.left + spanStart, m_clip.left + spanEnd, 255);
                spanStart = from;
            }
            spanEnd = to;
        }
        if (spanEnd > spanStart) sink.Span(y, m_clip.left + spanStart, m_clip.left + spanEnd, 255);
    }
}

}  // namespace velmora::raster
