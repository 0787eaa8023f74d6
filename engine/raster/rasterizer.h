// Scanline coverage rasterizer for polygons given as loose line segments.
// Anti-aliased mode computes the exact area of each pixel covered by the region; aliased
// mode samples each pixel at its centre. Output is one coverage row at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/raster/renderer.h"

namespace velmora::raster {

enum class FillRule : uint8_t { EvenOdd, NonZero };

// Receives the coverage of a region row by row, left to right; 255 is full.
class CoverageSink {
public:
    // Pixels [x0, x1) of row y with varying coverage; cov[0] belongs to x0.
    virtual void Row(int y, int x0, int x1, const uint8_t* cov) = 0;
    // Pixels [x0, x1) of row y all with coverage `cov` (never 0).
    virtual void Span(int y, int x0, int x1, uint8_t cov) = 0;

protected:
    ~CoverageSink() = default;
};

class Rasterizer {
public:
    // Starts a new region limited to `clip`; antiAlias false samples pixel centres.
    void Reset(const PixelRect& clip, bool antiAlias);
    // Adds a directed segment in pixel coordinates; its direction sets the winding sign.
    void AddLine(double x0, double y0, double x1, double y1);
    bool Empty() const { return m_segments.empty(); }
    // Bounds of what was added (after clipping), in pixels; empty when nothing was added.
    PixelRect Bounds() const;
    // Emits every row of the region, top to bottom.
    void Sweep(FillRule rule, CoverageSink& sink);

private:
    struct Segment {
        float xTop, yTop, yBottom, dxdy;
        float dir;  // +1 downwards, -1 upwards
    };

    void AddClippedY(double x0, double y0, double x1, double y1);
    void Push(double x0, double y0, double x1, double y1);
    template <FillRule rule>
    void SweepAntiAliased(CoverageSink& sink);
    void SweepAliased(FillRule rule, CoverageSink& sink);
    void AccumulateRow(const Segment& s, float rowTop);
    void AccumulatePiece(float xa, float xb, float height);

    PixelRect m_clip;
    bool m_antiAlias = true;
    std::vector<Segment> m_segments;
    bool m_reachesRight = false;  // parts right of the clip were dropped
    double m_minX = 0, m_maxX = 0, m_minY = 0, m_maxY = 0;
    // Scratch reused across sweeps.
    std::vector<float> m_acc;      // per cell: change of winding area from the cell before
    std::vector<uint8_t> m_marked;  // per cell: listed in m_touched
    std::vector<int> m_touched;     // cells of the current row that pieces reached
    std::vector<uint8_t> m_cov;
    std::vector<const Segment*> m_active;
    std::vector<std::pair<float, float>> m_crossings;
};

}  // namespace velmora::raster
