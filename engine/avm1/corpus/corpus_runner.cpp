// Runs the ActionScript trace corpus through the movie player and the VM and
// reports how many tests print exactly the recorded output. Reports only: the
// exit code is 0 whatever passes, so known gaps never fail the build.
//
//   avm1_corpus <corpus dir> [name filter]   run all, one child process per test
//   avm1_corpus --one <test dir>             run one test, print its trace to stdout
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tools/swfrun/run_movie.h"

namespace fs = std::filesystem;
using namespace velmora;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The few test.toml keys the runner needs, read leniently.
struct TestSpec {
    int frames = 1;
    int ticks = -1;
    double tickMs = 0;
    bool approximate = false;
    double epsilon = 0;
    double maxRelative = 0;
    int viewportWidth = 0, viewportHeight = 0;  // 0: the movie's size
};

TestSpec ReadSpec(const std::string& toml) {
    TestSpec spec;
    std::istringstream in(toml);
    std::string line, section;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        if (line.empty()) continue;
        if (line[0] == '[') {
            section = line;
            if (line.find("[approximations]") != std::string::npos) spec.approximate = true;
            continue;
        }
        if (section.find("[player_options]") != std::string::npos && line.find("viewport_dimensions") != std::string::npos) {
            auto number = [&line](const char* key) {
                size_t at = line.find(key);
                return at == std::string::npos ? 0 : std::atoi(line.c_str() + line.find('=', at) + 1);
            };
            spec.viewportWidth = number("width");
            spec.viewportHeight = number("height");
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        key.erase(std::remove_if(key.begin(), key.end(), ::isspace), key.end());
        double value = std::atof(line.c_str() + eq + 1);
        if (section.empty() || section.find("[approximations]") == std::string::npos) {
            if (key == "num_frames") spec.frames = static_cast<int>(value);
            if (key == "num_ticks") spec.ticks = static_cast<int>(value);
            if (key == "tick_rate") spec.tickMs = value;
        } else {
            if (key == "epsilon") spec.epsilon = value;
            if (key == "max_relative") spec.maxRelative = value;
        }
    }
    return spec;
}

int RunOne(const fs::path& dir) {
    std::string swf = ReadFile(dir / "test.swf");
    TestSpec spec = ReadSpec(ReadFile(dir / "test.toml"));
    swfrun::RunOptions options;
    options.frames = spec.frames;
    options.ticks = spec.ticks;
    options.tickMs = spec.tickMs;
    // The picture is not compared here, but its size is the viewport scripts see.
    options.width = spec.viewportWidth;
    options.height = spec.viewportHeight;
    options.movieFolder = dir.string();
    movie::PlayerCallbacks callbacks;
    // The recorded logs break lines at a carriage return too (text fields end paragraphs with one).
    callbacks.trace = [](std::string_view line) {
        std::string text(line);
        std::replace(text.begin(), text.end(), '\r', '\n');
        std::cout << text << '\n';
    };
    std::vector<uint8_t> bytes(swf.begin(), swf.end());
    swfrun::RunResult result = swfrun::RunMovie(bytes, options, std::move(callbacks));
    std::cout.flush();
    return result.ok ? 0 : 2;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

// With [approximations], numbers in a line may differ by epsilon / max_relative.
bool SameLine(const std::string& got, const std::string& want, const TestSpec& spec) {
    if (got == want) return true;
    if (!spec.approximate) return false;
    static const std::regex number(R"(-?\d+(\.\d+)?(e[-+]?\d+)?)");
    auto strip = [](const std::string& s) { return std::regex_replace(s, number, "#"); };
    if (strip(got) != strip(want)) return false;
    std::sregex_iterator a(got.begin(), got.end(), number), b(want.begin(), want.end(), number), end;
    for (; a != end && b != end; ++a, ++b) {
        double x = std::stod(a->str()), y = std::stod(b->str());
        double diff = std::fabs(x - y);
        if (diff <= spec.epsilon || diff <= spec.maxRelative * std::max(std::fabs(x), std::fabs(y))) continue;
        return false;
    }
    return true;
}

int RunAll(const fs::path& corpus, const std::string& filter, const std::string& self) {
    std::vector<fs::path> tests;
    for (const auto& entry : fs::directory_iterator(corpus))
        if (fs::exists(entry.path() / "test.swf") && fs::exists(entry.path() / "output.txt")) tests.push_back(entry.path());
    std::sort(tests.begin(), tests.end());
    int passed = 0, total = 0;
    std::vector<std::string> failures;
    for (const fs::path& dir : tests) {
        std::string name = dir.filename().string();
        if (!filter.empty() && name.find(filter) == std::string::npos) continue;
        ++total;
        std::string command = "timeout 30 \"" + self + "\" --one \"" + dir.string() + "\" 2>/dev/null";
        std::string output;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buf[4096];
            size_t n;
            while ((n = fread(buf, 1, sizeof buf, pipe)) > 0 && output.size() < (8u << 20)) output.append(buf, n);
            int status = pclose(pipe);
            if (status != 0 && output.empty()) output = "<exit status " + std::to_string(status) + ">\n";
        }
        TestSpec spec = ReadSpec(ReadFile(dir / "test.toml"));
        std::vector<std::string> got = Lines(output), want = Lines(ReadFile(dir / "output.txt"));
        bool ok = got.size() == want.size();
        size_t firstDiff = 0;
        for (; ok && firstDiff < got.size(); ++firstDiff) ok = SameLine(got[firstDiff], want[firstDiff], spec);
        if (ok) {
            ++passed;
            continue;
        }
        size_t i = 0;
        while (i < got.size() && i < want.size() && SameLine(got[i], want[i], spec)) ++i;
        std::string detail = name + "  line " + std::to_string(i + 1) + ": got \"" +
                             (i < got.size() ? got[i].substr(0, 80) : "<end>") + "\" want \"" +
                             (i < want.size() ? want[i].substr(0, 80) : "<end>") + "\"";
        failures.push_back(detail);
    }
    for (const std::string& f : failures) std::cout << "FAIL " << f << '\n';
    std::cout << "avm1 corpus: " << passed << " of " << total << " pass\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--one") return RunOne(argv[2]);
    if (argc < 2) {
        std::cerr << "usage: avm1_corpus <corpus dir> [filter] | --one <test dir>\n";
        return 0;
    }
    return RunAll(argv[1], argc > 2 ? argv[2] : "", fs::absolute(argv[0]).string());
}
