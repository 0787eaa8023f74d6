#include "player/shell/shell_rules.h"

#include <cctype>

namespace velmora::player {

std::string IdleTitle() {
    return "Ostrel" + std::string(kApplicationTitle) + " Ver" + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor);
}

std::string PlayingTitle(std::string_view movieText) { return IdleTitle() + "  - (" + std::string(movieText) + ")"; }

std::string VersionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

StartMode StartModeOf(std::string_view commandLine) {
    if (commandLine.size() < 2 || commandLine[0] != '/') return StartMode::MainWindow;
    const char second = static_cast<char>(std::tolower(static_cast<unsigned char>(commandLine[1])));
    if (second == 's') return StartMode::LocalSearch;
    if (second == 'n') return StartMode::CacheSearch;
    return StartMode::MainWindow;
}

int32_t PreviousItem(int32_t selected, int32_t count) {
    if (count <= 0) return 0;
    if (selected <= 0) selected = 1;
    return selected <= 1 ? count : selected - 1;
}

int32_t NextItem(int32_t selected, int32_t count) {
    if (count <= 0) return 0;
    if (selected <= 0) selected = 1;
    return selected >= count ? 1 : selected + 1;
}

int32_t SeekTarget(int32_t current, int32_t totalFrames, bool forward) {
    const int32_t step = totalFrames / 10;
    if (forward) return current + step > totalFrames ? totalFrames : current + step;
    return current - step < 1 ? 1 : current - step;
}

std::optional<int32_t> PreviousFrame(int32_t current) {
    if (current > 0) return current - 1;
    return std::nullopt;
}

std::optional<int32_t> NextFrame(int32_t current, int32_t totalFrames) {
    if (current < totalFrames) return current + 1;
    return std::nullopt;
}

std::string MissingFileQuestion(std::string_view path) {
    return "文件 " + std::string(path) + "\r\n被删除或存放位置被更改，无法播放！\r\n\r\n是否从播放列表中删除？";
}

std::string PlaybackErrorText(std::string_view tag) {
    return "播放“" + std::string(tag) + "”时出现错误，可能是如下原因造成的：\r\n1：是一个被损坏的FLASH文件\r\n"
           "2：文件存放位置已经更改\r\n";
}

std::string FrameText(int32_t frame, int32_t totalFrames) {
    return std::to_string(frame) + "/" + std::to_string(totalFrames);
}

std::string PercentText(int32_t percent) { return "已加载：" + std::to_string(percent) + "%"; }

}  // namespace velmora::player
