// The movie host window created for real, movies loaded from files and from a local
// server, pixels read back from the presented frame.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <variant>

#include "moviehost/movie_host.h"
#include "toolkit/app.h"
#include "toolkit/form.h"
#include "toolkit/test_support/http_server.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/samples.h"
#include "tools/swfgen/shape_builder.h"
#include "tools/swfgen/sound_writer.h"

namespace velmora::moviehost {
namespace {

using namespace std::chrono_literals;

constexpr int kStageWidth = 200, kStageHeight = 100;  // pixels
constexpr COLORREF kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0);

// Five frames on blue; frame k (1-based) shows a red bar from x = 20k to 20k + 20 px.
// `padding` adds an unused bitmap so the file is large enough to arrive slowly;
// `actions` (raw action bytes) run on frame 1.
std::vector<uint8_t> BarsMovie(float frameRate = 12, int paddingPixels = 0, std::span<const uint8_t> actions = {}) {
    swfgen::MovieBuilder movie(6, {0, kStageWidth * 20, 0, kStageHeight * 20}, frameRate);
    movie.SetBackground({0, 0, 255, 255});
    if (paddingPixels > 0) {
        Bitmap noise{paddingPixels, paddingPixels, {}};
        uint32_t seed = 1;
        for (int i = 0; i < paddingPixels * paddingPixels; ++i) {
            seed = seed * 1103515245 + 12345;
            noise.pixels.push_back(0xFF000000u | (seed >> 8));
        }
        movie.DefineBitmap(100, noise);
    }
    swfgen::ShapeBuilder bar;
    bar.SetStyles(bar.AddFill(swfgen::SolidFill({255, 0, 0, 255})), 0, 0);
    bar.Rect(0, 0, 20 * 20, kStageHeight * 20);
    movie.DefineShape(1, bar.Build());
    for (int frame = 1; frame <= 5; ++frame) {
        Matrix at;
        at.tx = frame * 20 * 20;
        if (frame == 1)
            movie.Place(1, 1, at);
        else
            movie.Move(1, at);
        if (frame == 1 && !actions.empty()) movie.DoAction(actions);
        movie.ShowFrame();
    }
    return movie.Build();
}

// ActionGetURL with its two strings.
std::vector<uint8_t> GetUrlAction(std::string_view url, std::string_view target) {
    const size_t length = url.size() + target.size() + 2;
    std::vector<uint8_t> out = {0x83, static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8)};
    out.insert(out.end(), url.begin(), url.end());
    out.push_back(0);
    out.insert(out.end(), target.begin(), target.end());
    out.push_back(0);
    return out;
}

// Frame actions: x = new XML(); x.onData = function (s) { fscommand("got", s); };
// x.load(url); stop();
std::vector<uint8_t> XmlLoadActions(std::string_view url) {
    std::vector<uint8_t> out;
    auto push = [&out](std::initializer_list<std::variant<std::string_view, int32_t>> items) {
        std::vector<uint8_t> data;
        for (const auto& item : items) {
            if (const auto* text = std::get_if<std::string_view>(&item)) {
                data.push_back(0);
                data.insert(data.end(), text->begin(), text->end());
                data.push_back(0);
            } else {
                const auto value = static_cast<uint32_t>(std::get<int32_t>(item));
                data.insert(data.end(), {7, static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                         static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)});
            }
        }
        out.insert(out.end(), {0x96, static_cast<uint8_t>(data.size()), static_cast<uint8_t>(data.size() >> 8)});
        out.insert(out.end(), data.begin(), data.end());
    };
    push({"x", 0, "XML"});
    out.insert(out.end(), {0x40, 0x1D});  // new, setVariable
    push({"x"});
    out.push_back(0x1C);  // getVariable
    push({"onData"});
    const std::vector<uint8_t> body = {0x96, 0x0F, 0x00, 0x00, 'F', 'S', 'C', 'o', 'm', 'm', 'a', 'n', 'd', ':',
                                       'g', 'o', 't', 0x00, 0x96, 0x03, 0x00, 0x00, 's', 0x00, 0x1C,
                                       0x9A, 0x01, 0x00, 0x00};  // getURL2("FSCommand:got", s)
    // defineFunction "" (s), then setMember
    out.insert(out.end(), {0x9B, 0x07, 0x00, 0x00, 0x01, 0x00, 's', 0x00, static_cast<uint8_t>(body.size()), 0x00});
    out.insert(out.end(), body.begin(), body.end());
    out.push_back(0x4F);
    push({url, 1, "x"});
    out.push_back(0x1C);
    push({"load"});
    out.insert(out.end(), {0x52, 0x17, 0x07, 0x00});  // callMethod, pop, stop, end
    return out;
}

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

void PumpFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        toolkit::PumpPendingMessages();
        Sleep(5);
    }
}

template <typename Condition>
bool PumpUntil(Condition done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        toolkit::PumpPendingMessages();
        Sleep(5);
    }
    return done();
}

class MovieHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_parent.Create());
        ASSERT_TRUE(m_host.Create(m_parent.Handle(), {0, 0, kStageWidth, kStageHeight}));
        m_path = WriteTemp("velmora_bars.swf", BarsMovie());
    }
    // The host's presented frame at a pixel.
    COLORREF At(int x, int y) const { return m_host.PixelAt(x, y); }
    // Which bar is shown: the frame whose red bar covers the middle of its slot.
    int ShownBar() const {
        for (int frame = 1; frame <= 5; ++frame)
            if (At(frame * 20 + 10, 50) == kRed) return frame;
        return 0;
    }

    toolkit::Form m_parent{{L"VelmoraHostTestParent", L"host", 6000, 4000}, {}};
    MovieHost m_host;
    std::string m_path;
};

TEST_F(MovieHostTest, RegistersTheClassTheShellLooksFor) {
    wchar_t name[64];
    GetClassNameW(m_host.Handle(), name, 64);
    EXPECT_STREQ(name, L"MacromediaFlashPlayerActiveX");
}

TEST_F(MovieHostTest, LocalMovieLoadsAtOnceAndShowsItsFirstFrame) {
    m_host.SetMovie(m_path);
    EXPECT_EQ(m_host.Movie(), m_path);
    EXPECT_EQ(m_host.TotalFrames(), 5);
    EXPECT_EQ(m_host.PercentLoaded(), 100);
    EXPECT_EQ(m_host.FrameNum(), 0);
    EXPECT_EQ(At(5, 50), kBlue);
    EXPECT_EQ(ShownBar(), 1);
}

TEST_F(MovieHostTest, GotoFrameCountsFromZeroAndStopsAtTheLastFrame) {
    m_host.SetMovie(m_path);
    m_host.Stop();
    m_host.GotoFrame(2);
    EXPECT_EQ(m_host.FrameNum(), 2);
    EXPECT_EQ(ShownBar(), 3);
    m_host.SetFrameNum(99);
    EXPECT_EQ(m_host.FrameNum(), 4);
    EXPECT_EQ(ShownBar(), 5);
    m_host.Rewind();
    EXPECT_EQ(m_host.FrameNum(), 0);
    EXPECT_EQ(ShownBar(), 1);
    EXPECT_FALSE(m_host.IsPlaying());
}

TEST_F(MovieHostTest, PlaysAtTheFrameRateAndStopHolds) {
    m_host.SetMovie(WriteTemp("velmora_fast.swf", BarsMovie(30)));
    m_host.Play();
    ASSERT_TRUE(PumpUntil([&] { return m_host.FrameNum() >= 2; }, 5s)) << "the timeline does not advance";
    m_host.Stop();
    const int32_t held = m_host.FrameNum();
    PumpFor(300ms);
    EXPECT_EQ(m_host.FrameNum(), held);
    EXPECT_EQ(ShownBar(), held + 1);
}

TEST_F(MovieHostTest, ZoomChangesTheVisibleAreaAndZeroShowsAllAgain) {
    m_host.SetMovie(m_path);
    m_host.Stop();
    m_host.GotoFrame(0);  // bar at 20..40 px
    ASSERT_EQ(At(30, 50), kRed);
    m_host.Zoom(50);  // twice as large around the centre: the bar moves left, out of x = 30
    EXPECT_EQ(At(30, 50), kBlue);
    m_host.Zoom(0);
    EXPECT_EQ(At(30, 50), kRed);
    m_host.Zoom(200);  // half as large around the centre: the bar spans 60..70 px
    EXPECT_EQ(At(30, 50), kBlue);
    EXPECT_EQ(At(65, 50), kRed);
    EXPECT_EQ(At(75, 50), kBlue);
}

TEST_F(MovieHostTest, ScaleAndAlignModes) {
    m_host.SetBounds({0, 0, 400, 300});
    m_host.SetMovie(m_path);
    m_host.Stop();
    m_host.RenderNow();
    // Fitted: 400 x 200 centred vertically; the bar of frame 1 spans 40..80 px.
    EXPECT_EQ(At(60, 150), kRed);
    m_host.SetScaleMode(3);  // own size, centred: the stage spans 100..300 x 100..200
    EXPECT_EQ(At(130, 150), kRed);
    EXPECT_EQ(At(60, 150), kBlue);
    m_host.SetAlignMode(5);  // own size, top left: the bar spans 20..40 px
    EXPECT_EQ(At(30, 50), kRed);
    EXPECT_EQ(At(130, 150), kBlue);
}

TEST_F(MovieHostTest, BackgroundColourAndBackToTheMoviesOwn) {
    m_host.SetMovie(m_path);
    m_host.SetBackgroundColor(0x00FF00);
    EXPECT_EQ(At(5, 50), kGreen);
    m_host.SetBGColor("");
    EXPECT_EQ(At(5, 50), kBlue);
}

TEST_F(MovieHostTest, QualityNamesAreKept) {
    m_host.SetMovie(m_path);
    m_host.SetQuality2("low");
    EXPECT_EQ(m_host.Quality2(), "low");
    m_host.SetQuality(1);
    EXPECT_EQ(m_host.Quality2(), "high");
    m_host.SetQuality2("nonsense");
    EXPECT_EQ(m_host.Quality2(), "high");
    EXPECT_EQ(ShownBar(), 1);
}

TEST_F(MovieHostTest, FrameScriptsRunFSCommandAndStop) {
    std::vector<std::pair<std::string, std::string>> commands;
    m_host.onFSCommand = [&](const std::string& command, const std::string& args) {
        commands.emplace_back(command, args);
    };
    std::vector<uint8_t> actions = GetUrlAction("FSCommand:hello", "world");
    actions.push_back(0x07);  // stop
    actions.push_back(0x00);
    m_host.SetMovie(WriteTemp("velmora_script.swf", BarsMovie(12, 0, actions)));
    PumpFor(400ms);  // about five frame intervals
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].first, "hello");
    EXPECT_EQ(commands[0].second, "world");
    EXPECT_EQ(m_host.FrameNum(), 0);
    EXPECT_FALSE(m_host.IsPlaying());
    EXPECT_EQ(ShownBar(), 1);
}

TEST_F(MovieHostTest, MissingBrokenOrUnloadedMovieLeavesTheHostEmpty) {
    const std::string garbage = WriteTemp("velmora_garbage.swf", {'F', 'W', 'S', 6, 0xFF, 0xFF, 0, 0, 1, 2, 3});
    for (const std::string& movie : {std::string("C:\\no\\such\\movie.swf"), garbage}) {
        m_host.SetMovie(movie);
        EXPECT_EQ(m_host.Movie(), movie);
        EXPECT_EQ(m_host.TotalFrames(), 0) << movie;
        EXPECT_EQ(ShownBar(), 0) << movie;
    }
    m_host.SetMovie(m_path);
    ASSERT_EQ(ShownBar(), 1);
    m_host.SetMovie("-1");
    EXPECT_EQ(m_host.TotalFrames(), 0);
    EXPECT_EQ(ShownBar(), 0) << "only the background shows";
}

TEST_F(MovieHostTest, MouseReachesTheMoviesButtons) {
    // A button at 60..140 x 50..100 px: red up, green over, blue down.
    m_host.SetBounds({0, 0, 200, 150});
    m_host.SetMovie(WriteTemp("velmora_button.swf", swfgen::FindSample("button")->build(swf::Compression::None)));
    const auto mouse = [&](UINT message, int x, int y) {
        SendMessageW(m_host.Handle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
        m_host.RenderNow();
        return At(100, 75);
    };
    EXPECT_EQ(mouse(WM_MOUSEMOVE, 10, 10), RGB(220, 40, 40));
    EXPECT_EQ(mouse(WM_MOUSEMOVE, 100, 75), RGB(40, 180, 60));
    EXPECT_EQ(mouse(WM_LBUTTONDOWN, 100, 75), RGB(40, 80, 220));
    EXPECT_EQ(mouse(WM_LBUTTONUP, 100, 75), RGB(40, 180, 60));
    EXPECT_EQ(mouse(WM_MOUSEMOVE, 10, 10), RGB(220, 40, 40));
}

TEST_F(MovieHostTest, FocusIsReported) {
    int focused = 0;
    m_host.onGotFocus = [&] { ++focused; };
    SetFocus(m_parent.Handle());
    SetFocus(m_host.Handle());
    EXPECT_EQ(focused, 1);
}

TEST_F(MovieHostTest, WebMoviePlaysWhileItLoads) {
    const std::vector<uint8_t> bytes = BarsMovie(12, 160);  // about 100 KB of bitmap first
    testing::HttpServer server;
    server.Answer("/bars.swf", testing::HttpAnswer{testing::HttpAnswer::Kind::Body,
                                                   std::string(bytes.begin(), bytes.end()), 8000, 150});
    m_host.SetMovie(server.BaseUrl() + "/bars.swf");
    EXPECT_EQ(m_host.TotalFrames(), 0);
    ASSERT_TRUE(PumpUntil([&] { return m_host.PercentLoaded() > 0; }, 10s));
    EXPECT_EQ(m_host.TotalFrames(), 5) << "the frame count is known from the header";
    EXPECT_LT(m_host.PercentLoaded(), 100) << "still loading";
    ASSERT_TRUE(PumpUntil([&] { return m_host.PercentLoaded() == 100; }, 20s));
    PumpUntil([&] { return ShownBar() != 0; }, 2s);
    EXPECT_NE(ShownBar(), 0);
}

TEST_F(MovieHostTest, UnreachableAddressLeavesTheHostEmpty) {
    m_host.SetMovie("http://127.0.0.1:1/none.swf");
    PumpFor(1500ms);
    EXPECT_EQ(m_host.TotalFrames(), 0);
    EXPECT_EQ(m_host.PercentLoaded(), 0);
}

// Static text in a font without outlines is drawn with the system's fonts.
TEST_F(MovieHostTest, DeviceTextIsDrawnWithSystemFonts) {
    swfgen::MovieBuilder movie(8, {0, kStageWidth * 20, 0, kStageHeight * 20}, 12);
    movie.SetBackground({255, 255, 255, 255});
    text::Font codesOnly;
    codesOnly.SetName("宋体");
    for (char32_t cp : U"中文") codesOnly.AddGlyph(text::Glyph{}, cp);
    movie.DefineFont(1, codesOnly, swf::kTagDefineFont2);
    text::StaticText line;
    line.bounds = {0, 1600, -800, 200};
    line.records.push_back({1, Rgba{0, 0, 0, 255}, 800, 0, 0, {{0, 800}, {1, 800}}});
    movie.DefineText(2, line);
    movie.Place(2, 1, {1, 0, 0, 1, 400, 1200});
    movie.ShowFrame();
    m_host.SetMovieData(movie.Build(), "text.swf");
    m_host.RenderNow();
    // Two 40-pixel characters from x = 20 on the baseline at y = 60.
    int dark[2] = {0, 0};
    for (int y = 0; y < kStageHeight; ++y)
        for (int x = 0; x < kStageWidth; ++x)
            if (GetRValue(At(x, y)) < 128) ++(x < 60 ? dark[0] : dark[1]);
    EXPECT_GT(dark[0], 150);
    EXPECT_GT(dark[1], 150);
}

TEST_F(MovieHostTest, ScriptsLoadDataBesideTheirMovie) {
    std::vector<std::pair<std::string, std::string>> commands;
    m_host.onFSCommand = [&](const std::string& command, const std::string& args) {
        commands.emplace_back(command, args);
    };
    WriteTemp("velmora_vars.txt", {'a', '=', '1'});
    m_host.SetMovie(WriteTemp("velmora_load.swf", BarsMovie(12, 0, XmlLoadActions("velmora_vars.txt"))));
    ASSERT_TRUE(PumpUntil([&] { return !commands.empty(); }, 3s)) << "the local file never arrived";
    EXPECT_EQ(commands[0], std::make_pair(std::string("got"), std::string("a=1")));

    commands.clear();
    testing::HttpServer server;
    server.Answer("/games/vars.txt", "score=10");
    const std::vector<uint8_t> bytes = BarsMovie(12, 0, XmlLoadActions("vars.txt"));
    server.Answer("/games/load.swf", std::string(bytes.begin(), bytes.end()));
    m_host.SetMovie(server.BaseUrl() + "/games/load.swf");
    ASSERT_TRUE(PumpUntil([&] { return !commands.empty(); }, 10s)) << "the web load never arrived";
    EXPECT_EQ(commands[0], std::make_pair(std::string("got"), std::string("score=10")));
}

TEST_F(MovieHostTest, LocalMoviesCannotReadOutsideTheirFolder) {
    std::vector<std::string> answers;
    m_host.onFSCommand = [&](const std::string&, const std::string& args) { answers.push_back(args); };
    const std::string secret = WriteTemp("velmora_secret.txt", {'p', 'w'});
    const std::string folder = secret.substr(0, secret.find_last_of('\\') + 1) + "velmora_sandbox";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::vector<uint8_t> movie = BarsMovie(12, 0, XmlLoadActions("..\\velmora_secret.txt"));
    const std::string path = folder + "\\escape.swf";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(movie.data()),
                                                static_cast<std::streamsize>(movie.size()));
    m_host.SetMovie(path);
    // onData hears of the failure with undefined instead of the file's text.
    ASSERT_TRUE(PumpUntil([&] { return !answers.empty(); }, 3s));
    EXPECT_NE(answers[0], "pw");
}

// Wine runs without a sound device here: the soundtrack cannot be the clock, so the movie
// must keep to its frame rate instead of waiting for sound that never plays.
TEST_F(MovieHostTest, MovieWithASoundtrackPlaysInTimeWithoutASoundDevice) {
    constexpr int kFps = 20, kRate = 22050;
    swfgen::MovieBuilder movie(6, {0, kStageWidth * 20, 0, kStageHeight * 20}, kFps);
    audio::StreamHead head;
    head.playback = head.stream = {audio::SoundFormat::PcmLittle, kRate, true, false};
    head.samplesPerBlock = kRate / kFps;
    movie.Tag(audio::kTagSoundStreamHead2, swfgen::StreamHeadBody(head));
    for (int frame = 0; frame < 10 * kFps; ++frame) {
        std::vector<int16_t> block(head.samplesPerBlock);
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<int16_t>(8000 * std::sin(static_cast<double>(i) * 440 * 6.283 / kRate));
        movie.Tag(audio::kTagSoundStreamBlock, swfgen::Pcm16Bytes(block));
        movie.ShowFrame();
    }
    m_host.SetMovie(WriteTemp("velmora_soundtrack.swf", movie.Build()));
    m_host.Play();
    const auto start = std::chrono::steady_clock::now();
    PumpFor(1500ms);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double expected = seconds * kFps;
    EXPECT_GT(m_host.FrameNum(), expected * 0.5) << "the picture waits for sound that never plays";
    EXPECT_LT(m_host.FrameNum(), expected * 1.5 + 2);
    m_host.SetMovie("");  // closes whatever output was opened; must not hang
    EXPECT_EQ(m_host.TotalFrames(), 0);
}

}  // namespace
}  // namespace velmora::moviehost
