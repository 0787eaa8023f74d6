// Runs the ActionScript trace corpus through the movie player and the VM and
// reports how many tests print exactly the recorded output. Reports only: the
// exit code is 0 whatever passes, so known gaps never fail the build.
//
//   avm1_corpus <corpus dir> [name filter]   run all, one child process per test
//   avm1_corpus --one <test dir>             run one test, print its trace to stdout
#include <algorithm>
#include <chrono>
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

#include "engine/avm1/corpus/movie_bridge.h"
#include "engine/avm1/vm.h"
#include "engine/movie/player.h"

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

class CorpusHost : public avm1::NullHost {
public:
    void Trace(std::string_view line) override {
        std::cout << line << '\n';
    }
    void FsCommand(std::string_view command, std::string_view) override {
        if (command == "quit") quit = true;
    }
    double Milliseconds() override { return now; }
    double now = 0;
    bool quit = false;
};

int RunOne(const fs::path& dir) {
    std::string swf = ReadFile(dir / "test.swf");
    TestSpec spec = ReadSpec(ReadFile(dir / "test.toml"));
    movie::Player player;
    avm1::MovieBridge bridge(player);
    CorpusHost host;
    std::unique_ptr<avm1::Vm> vm;
    movie::PlayerCallbacks callbacks;
    callbacks.runActions = [&](const movie::ActionRequest& request) {
        if (!vm || host.quit) return;
        vm->RunActions(request.bytes, request.swfVersion, request.target);
    };
    callbacks.fsCommand = [&](std::string_view command, std::string_view) {
        if (command == "quit") host.quit = true;
    };
    player.SetCallbacks(callbacks);
    auto bytes = std::vector<uint8_t>(swf.begin(), swf.end());
    // The VM must exist before the first frame's actions run inside Load.
    int version = bytes.size() > 3 ? bytes[3] : 8;
    vm = std::make_unique<avm1::Vm>(host, &bridge, version);
    bridge.SetVm(vm.get());
    player.Load(bytes);
    if (!player.HasMovie()) return 2;
    const double interval = player.FrameIntervalMs();
    auto started = std::chrono::steady_clock::now();
    auto late = [&] { return std::chrono::steady_clock::now() - started > std::chrono::seconds(20); };
    if (spec.ticks >= 0) {
        double tick = spec.tickMs > 0 ? spec.tickMs : interval;
        for (int i = 0; i < spec.ticks && !host.quit && !late(); ++i) {
            host.now += tick;
            player.Advance(tick);
            vm->RunIntervals();
        }
    } else {
        for (int i = 1; i < spec.frames && !host.quit && !late(); ++i) {
            host.now += interval;
            player.RunFrame();
            vm->RunIntervals();
            if (i % 8 == 0) vm->Collect();
        }
    }
    std::cout.flush();
    return 0;
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
