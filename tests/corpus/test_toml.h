// A lenient reader of the corpus's test.toml: only what the runners need (run length,
// image comparisons, renderer quality), tolerant of newer TOML forms it does not know.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::corpus {

inline constexpr char kQuotedDot = '\x1F';

// Flat view: "section.key" (quotes dropped; [[array]] tables numbered "name#0", "name#1";
// inline tables flattened into "key.inner"; a dot inside a quoted name is kQuotedDot)
// -> raw value text (strings unquoted).
std::map<std::string, std::string> ParseToml(std::string_view text);

struct ImageCheck {
    int tolerance = 0;
    int maxOutliers = 0;
};

struct ImageComparison {
    std::string name;
    std::optional<int> triggerFrame;  // default: after the last frame
    std::vector<ImageCheck> checks;   // all must pass
};

struct TestSpec {
    int numFrames = 1;
    std::optional<int> numTicks;
    std::optional<double> tickRateMs;
    bool qualityLow = false;
    int viewportWidth = 0, viewportHeight = 0;  // 0: the stage size
    std::vector<ImageComparison> images;
};

TestSpec ReadTestSpec(std::string_view text);

}  // namespace velmora::corpus
