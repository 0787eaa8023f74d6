// The host's own small menu, shown on a right click when nobody hooks the window.
#include "moviehost/movie_host.h"

namespace velmora::moviehost {

namespace {
enum HostCommand : int {
    kZoomIn = 1,
    kZoomOut,
    kShowAll,
    kQualityLow,
    kQualityHigh,
    kPlay,
    kRewind,
    kForward,
    kBack,
};
}  // namespace

void MovieHost::ShowHostMenu(POINT screen) {
    const bool loaded = TotalFrames() > 0;
    const UINT enabled = loaded ? MF_ENABLED : MF_GRAYED;
    toolkit::MenuHandle quality(CreatePopupMenu());
    const bool high = m_quality2 != "low" && m_quality2 != "autolow";
    AppendMenuW(quality.get(), MF_STRING | (high ? 0 : MF_CHECKED), kQualityLow, L"低(&L)");
    AppendMenuW(quality.get(), MF_STRING | (high ? MF_CHECKED : 0), kQualityHigh, L"高(&H)");

    toolkit::MenuHandle menu(CreatePopupMenu());
    AppendMenuW(menu.get(), MF_STRING | enabled, kZoomIn, L"放大(&I)");
    AppendMenuW(menu.get(), MF_STRING | enabled, kZoomOut, L"缩小(&O)");
    AppendMenuW(menu.get(), MF_STRING | enabled, kShowAll, L"全部显示(&S)");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_POPUP | enabled, reinterpret_cast<UINT_PTR>(quality.release()), L"品质(&Q)");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING | enabled | (IsPlaying() ? MF_CHECKED : 0), kPlay, L"播放(&P)");
    AppendMenuW(menu.get(), MF_STRING | enabled, kRewind, L"倒带(&R)");
    AppendMenuW(menu.get(), MF_STRING | enabled, kForward, L"前进(&F)");
    AppendMenuW(menu.get(), MF_STRING | enabled, kBack, L"后退(&B)");
    const int command = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                                       Handle(), nullptr);
    OnMenuCommand(command);
}

void MovieHost::OnMenuCommand(int command) {
    switch (command) {
    case kZoomIn: Zoom(50); break;
    case kZoomOut: Zoom(200); break;
    case kShowAll: Zoom(0); break;
    case kQualityLow: SetQuality2("low"); break;
    case kQualityHigh: SetQuality2("high"); break;
    case kPlay: IsPlaying() ? Stop() : Play(); break;
    case kRewind: Rewind(); break;
    case kForward:
        Stop();
        GotoFrame(FrameNum() + 1);
        break;
    case kBack:
        Stop();
        if (FrameNum() > 0) GotoFrame(FrameNum() - 1);
        break;
    default: break;
    }
}

}  // namespace velmora::moviehost
