#include "engine/raster/rasterizer.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace velmora::raster {
namespace {

// Collects coverage into a dense map so tests can read any pixel.
class Collect final : public CoverageSink {
public:
    void Row(int y, int x0, int x1, const uint8_t* cov) override {
        for (int x = x0; x < x1; ++x) {
            EXPECT_EQ(m_pixels.count({x, y}), 0u) << "pixel emitted twice";
            m_pixels[{x, y}] = cov[x - x0];
        }
    }
    void Span(int y, int x0, int x1, uint8_t cov) override {
        EXPECT_NE(cov, 0);
        for (int x = x0; x < x1; ++x) {
            EXPECT_EQ(m_pixels.count({x, y}), 0u) << "pixel emitted twice";
            m_pixels[{x, y}] = cov;
        }
    }
    int At(int x, int y) const {
        auto it = m_pixels.find({x, y});
        return it == m_pixels.end() ? 0 : it->second;
    }
    double Area() const {
        double sum = 0;
        for (const auto& [p, c] : m_pixels) sum += c;
        return sum / 255;
    }
    bool OnlyFullOrEmpty() const {
        for (const auto& [p, c] : m_pixels)
            if (c != 0 && c != 255) return false;
        return true;
    }

private:
    std::map<std::pair<int, int>, int> m_pixels;
};

struct Pt {
    double x, y;
};

Collect Fill(const std::vector<std::vector<Pt>>& polygons, FillRule rule, bool aa = true,
             PixelRect clip = {0, 0, 64, 64}) {
    Rasterizer r;
    r.Reset(clip, aa);
    for (const auto& poly : polygons)
        for (size_t i = 0; i < poly.size(); ++i) {
            const Pt& a = poly[i];
            const Pt& b = poly[(i + 1) % poly.size()];
            r.AddLine(a.x, a.y, b.x, b.y);
        }
    Collect c;
    r.Sweep(rule, c);
    return c;
}

std::vector<Pt> Rect(double x0, double y0, double x1, double y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

TEST(Rasterizer, ExactPixelCoverageOfRectangleWithFractionalEdges) {
    // x 1.25..3.5, y 2.5..4: first column covers 0.75 of width, last 0.5; top row half.
    const Collect c = Fill({Rect(1.25, 2.5, 3.5, 4)}, FillRule::NonZero);
    struct Case { int x, y; double coverage; };
    for (const Case& k : {Case{0, 3, 0}, Case{1, 2, 0.75 * 0.5}, Case{2, 2, 0.5}, Case{3, 2, 0.25},
                          Case{1, 3, 0.75}, Case{2, 3, 1}, Case{3, 3, 0.5}, Case{2, 4, 0}}) {
        EXPECT_NEAR(c.At(k.x, k.y), k.coverage * 255, 1) << k.x << "," << k.y;
    }
    EXPECT_NEAR(c.Area(), 2.25 * 1.5, 0.02);
}

TEST(Rasterizer, AreaOfPolygonsIsExact) {
    struct Case { const char* name; std::vector<Pt> poly; double area; };
    const std::vector<Case> cases = {
        {"triangle", {{2, 2}, {12.5, 3}, {5, 11.25}}, 0.5 * std::abs((12.5 - 2) * (11.25 - 2) - (5 - 2) * (3 - 2))},
        {"thin sliver", {{1, 1}, {40, 1.3}, {40, 1.5}}, 0.5 * 39 * 0.2},
        {"diamond", {{10, 0.5}, {19.5, 10}, {10, 19.5}, {0.5, 10}}, 2 * 9.5 * 9.5},
        {"reversed square", {{3, 3}, {3, 9}, {9, 9}, {9, 3}}, 36},
    };
    for (const Case& k : cases) {
        EXPECT_NEAR(Fill({k.poly}, FillRule::NonZero).Area(), k.area, 0.02) << k.name;
        EXPECT_NEAR(Fill({k.poly}, FillRule::EvenOdd).Area(), k.area, 0.02) << k.name;
    }
}

TEST(Rasterizer, FillRulesDifferOnOverlapOnly) {
    // Two squares drawn the same way round overlap in a 2x2 area.
    const std::vector<std::vector<Pt>> squares = {Rect(2, 2, 6, 6), Rect(4, 4, 8, 8)};
    const Collect nonZero = Fill(squares, FillRule::NonZero);
    const Collect evenOdd = Fill(squares, FillRule::EvenOdd);
    EXPECT_EQ(nonZero.At(4, 4), 255);
    EXPECT_EQ(evenOdd.At(4, 4), 0);
    EXPECT_EQ(evenOdd.At(2, 2), 255);
    EXPECT_NEAR(nonZero.Area(), 28, 0.02);
    EXPECT_NEAR(evenOdd.Area(), 24, 0.02);
    // A hole drawn the other way round is empty under both rules.
    std::vector<Pt> hole = Rect(4, 4, 6, 6);
    std::swap(hole[1], hole[3]);
    EXPECT_EQ(Fill({Rect(2, 2, 8, 8), hole}, FillRule::NonZero).At(4, 5), 0);
}

TEST(Rasterizer, ClipKeepsWindingOfGeometryLeftOfIt) {
    // A square mostly left of and above the clip: only the clipped part is emitted, full.
    const Collect c = Fill({Rect(-100, -50, 10.5, 10)}, FillRule::NonZero, true, {5, 3, 20, 20});
    EXPECT_EQ(c.At(5, 3), 255);
    EXPECT_EQ(c.At(9, 9), 255);
    EXPECT_NEAR(c.At(10, 5), 127, 1);
    EXPECT_EQ(c.At(4, 5), 0);
    EXPECT_NEAR(c.Area(), 5.5 * 7, 0.02);
}

TEST(Rasterizer, GeometryRightOfTheClipKeepsTheRowInside) {
    // The right side of the rectangle lies beyond the clip, in both quality modes.
    for (bool aa : {true, false}) {
        const Collect c = Fill({Rect(4.5, 2, 100, 12)}, FillRule::EvenOdd, aa, {0, 0, 20, 20});
        for (int x = 5; x < 20; ++x) ASSERT_EQ(c.At(x, 6), 255) << x << (aa ? " high" : " low");
        EXPECT_EQ(c.At(6, 12), 0);
        EXPECT_NEAR(c.Area(), 15.5 * 10, aa ? 0.02 : 5.01);
    }
}

TEST(Rasterizer, AliasedSamplesPixelCentres) {
    // Edges at 1.4 and 3.6: centres 1.5, 2.5, 3.5 inside; row 2.6..4.4 holds centres 3.5.
    const Collect c = Fill({Rect(1.4, 2.6, 3.6, 4.4)}, FillRule::NonZero, false);
    EXPECT_TRUE(c.OnlyFullOrEmpty());
    EXPECT_EQ(c.At(1, 3), 255);
    EXPECT_EQ(c.At(3, 3), 255);
    EXPECT_EQ(c.At(0, 3), 0);
    EXPECT_EQ(c.At(1, 2), 0);
    EXPECT_EQ(c.At(2, 4), 0);
    EXPECT_DOUBLE_EQ(c.Area(), 3);
    const Collect evenOdd = Fill({Rect(2, 2, 6, 6), Rect(4, 4, 8, 8)}, FillRule::EvenOdd, false);
    EXPECT_EQ(evenOdd.At(4, 4), 0);
    EXPECT_DOUBLE_EQ(evenOdd.Area(), 24);
}

TEST(Rasterizer, HostileCoordinatesStayBounded) {
    const double inf = std::numeric_limits<double>::infinity();
    const Collect c = Fill({{{1e30, -1e30}, {-1e30, 1e30}, {inf, 3}}, Rect(1, 1, 2, 2)},
                           FillRule::EvenOdd);
    EXPECT_GE(c.Area(), 0);
}

}  // namespace
}  // namespace velmora::raster
