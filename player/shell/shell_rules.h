// The player's rules that need no window: identity and titles, the command line, the
// settings record, list captions, and the arithmetic of stepping through lists and frames.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::player {

inline constexpr std::string_view kApplicationTitle = "VelmoraFlash播放软件";
inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 129;

// "OstrelVelmoraFlash播放软件 Ver2.1".
std::string IdleTitle();
// The idle title, "  - (", the movie text, ")".
std::string PlayingTitle(std::string_view movieText);
// "2.1.129", as the about box shows it.
std::string VersionText();

enum class StartMode { MainWindow, LocalSearch, CacheSearch };
// By the first two characters of the command line, lower-cased.
StartMode StartModeOf(std::string_view commandLine);

// The settings record: 0/1 flags mirroring section CONFIG.
struct Settings {
    int16_t UIStyle = 0;
    int16_t RightPanelHidden = 0;
    int16_t ToolBarHidden = 0;
    int16_t NoScale = 0;
    int16_t WelcomeOff = 0;
    int16_t OnTop = 0;
};
// A CONFIG view key counts as set only when it holds exactly "1".
inline int16_t ConfigFlag(std::string_view value) { return value == "1" ? 1 : 0; }

// Reads and writes the six view keys through the given accessors, in the order they are
// written at exit (UI, RightPanel, ToolBar, ScaleMode, OnTop, Welcome).
template <typename Read>
Settings ReadSettings(Read&& read) {
    Settings s;
    s.UIStyle = ConfigFlag(read("UI"));
    s.RightPanelHidden = ConfigFlag(read("RightPanel"));
    s.ToolBarHidden = ConfigFlag(read("ToolBar"));
    s.NoScale = ConfigFlag(read("ScaleMode"));
    s.OnTop = ConfigFlag(read("OnTop"));
    s.WelcomeOff = ConfigFlag(read("Welcome"));
    return s;
}
// `welcomeChecked` is the check mark of the welcome menu item, which Welcome is taken from.
template <typename Write>
void WriteSettings(const Settings& s, bool welcomeChecked, Write&& write) {
    write("UI", std::to_string(s.UIStyle));
    write("RightPanel", std::to_string(s.RightPanelHidden));
    write("ToolBar", std::to_string(s.ToolBarHidden));
    write("ScaleMode", std::to_string(s.NoScale));
    write("OnTop", std::to_string(s.OnTop));
    write("Welcome", welcomeChecked ? "0" : "1");
}

// Previous and next in a local list of `count` items (positions from 1), wrapping at the
// ends; `selected` 0 counts as item 1. 0 for an empty list.
int32_t PreviousItem(int32_t selected, int32_t count);
int32_t NextItem(int32_t selected, int32_t count);

// The 10 % jumps: the frame to go to (frame numbers as the player counts them).
int32_t SeekTarget(int32_t current, int32_t totalFrames, bool forward);
// The frame steps; nothing when the step would leave 0..totalFrames.
std::optional<int32_t> PreviousFrame(int32_t current);
std::optional<int32_t> NextFrame(int32_t current, int32_t totalFrames);

// Message texts of the playback controller.
std::string MissingFileQuestion(std::string_view path);
std::string PlaybackErrorText(std::string_view tag);
// "当前帧/总帧数" and "已加载：N%".
std::string FrameText(int32_t frame, int32_t totalFrames);
std::string PercentText(int32_t percent);

}  // namespace velmora::player
