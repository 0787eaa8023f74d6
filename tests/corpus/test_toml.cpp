#include "tests/corpus/test_toml.h"

#include <algorithm>
#include <cstdlib>
#include <set>

namespace velmora::corpus {

namespace {

std::string Trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string_view::npos ? std::string() : std::string(s.substr(b, e - b + 1));
}

std::string StripComment(std::string_view line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == '#' && !quoted) return std::string(line.substr(0, i));
    }
    return std::string(line);
}

std::string Unquote(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '"'), s.end());
    return Trim(s);
}

// A dotted key with its quotes dropped; dots inside a quoted part become kQuotedDot so
// that a table named "output.5" stays one name.
std::string NormalizeKey(std::string_view key) {
    std::string out;
    bool quoted = false;
    for (char c : key) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '.' && quoted) {
            out += kQuotedDot;
        } else if (quoted || (c != ' ' && c != '\t')) {
            out += c;
        }
    }
    return out;
}

// Splits at top-level commas (not inside braces, brackets or quotes).
std::vector<std::string> SplitTopLevel(std::string_view s) {
    std::vector<std::string> parts;
    int nesting = 0;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '{' || c == '[') ++nesting;
        if (c == '}' || c == ']') --nesting;
        if (c == ',' && nesting == 0) {
            parts.push_back(std::string(s.substr(start, i - start)));
            start = i + 1;
        }
    }
    parts.push_back(std::string(s.substr(start)));
    return parts;
}

void Assign(std::map<std::string, std::string>& out, const std::string& key, std::string value) {
    value = Trim(value);
    if (value.size() >= 2 && value.front() == '{' && value.back() == '}') {
        for (const auto& part : SplitTopLevel(std::string_view(value).substr(1, value.size() - 2))) {
            size_t eq = part.find('=');
            if (eq == std::string::npos) continue;
            Assign(out, key + "." + NormalizeKey(part.substr(0, eq)), part.substr(eq + 1));
        }
        return;
    }
    out[key] = value.size() >= 2 && value.front() == '"' ? Unquote(value) : value;
}

int ToInt(const std::string& s, int fallback) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    return end == s.c_str() ? fallback : static_cast<int>(v);
}

}  // namespace

std::map<std::string, std::string> ParseToml(std::string_view text) {
    std::map<std::string, std::string> out;
    std::map<std::string, int> arrayCounts;
    std::string section, pending;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string line = Trim(StripComment(text.substr(pos, eol - pos)));
        pos = eol + 1;
        if (!pending.empty()) {
            // An inline table continued over several lines.
            pending += " " + line;
            if (std::count(pending.begin(), pending.end(), '{') > std::count(pending.begin(), pending.end(), '}'))
                continue;
            line = pending;
            pending.clear();
        }
        if (line.empty()) continue;
        if (line.rfind("[[", 0) == 0) {
            std::string name = NormalizeKey(line.substr(2, line.find("]]") - 2));
            section = name + "#" + std::to_string(arrayCounts[name]++);
            continue;
        }
        if (line.front() == '[') {
            section = NormalizeKey(line.substr(1, line.find(']') - 1));
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string value = line.substr(eq + 1);
        if (std::count(value.begin(), value.end(), '{') > std::count(value.begin(), value.end(), '}')) {
            pending = line;
            continue;
        }
        std::string key = NormalizeKey(line.substr(0, eq));
        Assign(out, section.empty() ? key : section + "." + key, value);
    }
    return out;
}

TestSpec ReadTestSpec(std::string_view text) {
    auto toml = ParseToml(text);
    TestSpec spec;
    auto get = [&](const std::string& key) -> const std::string* {
        auto it = toml.find(key);
        return it == toml.end() ? nullptr : &it->second;
    };
    if (auto* v = get("num_frames")) spec.numFrames = std::max(1, ToInt(*v, 1));
    if (auto* v = get("num_ticks")) spec.numTicks = std::max(0, ToInt(*v, 1));
    if (auto* v = get("tick_rate")) spec.tickRateMs = std::strtod(v->c_str(), nullptr);
    if (auto* v = get("player_options.with_renderer.quality")) spec.qualityLow = *v == "low";
    if (auto* v = get("player_options.viewport_dimensions.width")) spec.viewportWidth = ToInt(*v, 0);
    if (auto* v = get("player_options.viewport_dimensions.height")) spec.viewportHeight = ToInt(*v, 0);

    // Comparison names, in order of appearance of their keys.
    const std::string prefix = "image_comparisons.";
    std::set<std::string> seen;
    for (const auto& [key, value] : toml) {
        if (key.rfind(prefix, 0) != 0) continue;
        std::string rest = key.substr(prefix.size());
        std::string name = rest.substr(0, rest.find('.'));
        if (!seen.insert(name).second) continue;
        ImageComparison cmp;
        cmp.name = name;
        std::replace(cmp.name.begin(), cmp.name.end(), kQuotedDot, '.');
        const std::string base = prefix + name + ".";
        if (auto* v = get(base + "trigger")) {
            int frame = ToInt(*v, 0);
            if (frame > 0) cmp.triggerFrame = frame;
        }
        for (int i = 0;; ++i) {
            const std::string check = base + "checks#" + std::to_string(i) + ".";
            if (!get(check + "tolerance") && !get(check + "max_outliers")) break;
            ImageCheck c;
            if (auto* v = get(check + "tolerance")) c.tolerance = ToInt(*v, 0);
            if (auto* v = get(check + "max_outliers")) c.maxOutliers = ToInt(*v, 0);
            cmp.checks.push_back(c);
        }
        if (cmp.checks.empty()) {
            ImageCheck c;
            if (auto* v = get(base + "tolerance")) c.tolerance = ToInt(*v, 0);
            if (auto* v = get(base + "max_outliers")) c.maxOutliers = ToInt(*v, 0);
            cmp.checks.push_back(c);
        }
        spec.images.push_back(std::move(cmp));
    }
    return spec;
}

}  // namespace velmora::corpus
