// The playback controller: starting, halting, stepping, seeking and closing the movie of
// the main window, the walk through the local list, the frame display and the title.
#include <windows.h>

#include <commctrl.h>

#include "common/flst.h"
#include "common/paths.h"
#include "player/shell/main_window.h"

namespace velmora::player {

namespace {
bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(toolkit::Widen(path).c_str());
    return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

void MainForm::SetTitle(const std::string& title) {
    m_titleText = title;
    if (!m_fullScreen) SetWindowTextW(Handle(), toolkit::Widen(title).c_str());
}

std::string MainForm::WelcomePath() const { return ProgramFolderFile(ProgramFolder(), "UIwel.dll"); }

void MainForm::PlayFlash() {
    const int32_t count = m_list.Count();
    if (count == 0) return;
    if (m_list.Selected() > count) m_list.SetSelected(count);
    if (m_list.Selected() == 0) m_list.SetSelected(1);
    const lists::CItem* item = m_list.Item(m_list.Selected());
    const auto parts = item ? flst::SplitCaption(toolkit::Narrow(item->Caption)) : std::nullopt;
    if (!parts) {
        PlaybackError();
        return;
    }
    if (parts->path == m_player.Movie()) {
        m_player.Play();
        return;
    }
    if (!FileExists(parts->path)) {
        const int answer = toolkit::ShowMessage(Handle(), toolkit::Widen(MissingFileQuestion(parts->path)),
                                                toolkit::MessageIcon::Exclamation, toolkit::MessageButtons::YesNo);
        if (answer == IDYES) {
            m_list.Remove(m_list.Selected());
            if (m_list.Selected() > m_list.Count()) m_list.SetSelected(m_list.Count());
            StatusList();
        }
        return;
    }
    m_list.SetTag(toolkit::Widen(parts->path));
    SetTitle(PlayingTitle(parts->path));
    ResetFlashOptions();
    m_player.SetMovie(parts->path);
    m_player.Play();
    // A file the player refused leaves it without frames.
    if (m_player.TotalFrames() == 0 && m_player.PercentLoaded() == 0) {
        PlaybackError();
        return;
    }
    SendMessageW(m_slider, TBM_SETRANGEMAX, TRUE, m_player.TotalFrames());
    EnableWindow(m_slider, TRUE);
    m_frameTimer.Start(1000, [this] { FrameTick(); });
    EnableFlashCommands();
}

void MainForm::PlaybackError() {
    toolkit::ShowMessage(Handle(), toolkit::Widen(PlaybackErrorText(toolkit::Narrow(m_list.Tag()))), toolkit::MessageIcon::Stop);
    CloseFlash();
}

void MainForm::PauseFlash() { m_player.Stop(); }

void MainForm::PlayFlashPrev() {
    if (ListName() == lists::kNetworkListName) return;  // the tree's walk comes with it
    if (m_list.Count() == 0) return;
    if (m_list.Selected() == 0) m_list.SetSelected(1);
    m_list.SetSelected(PreviousItem(m_list.Selected(), m_list.Count()));
    PlayFlash();
}

void MainForm::PlayFlashNext() {
    if (ListName() == lists::kNetworkListName) return;
    if (m_list.Count() == 0) return;
    if (m_list.Selected() == 0) m_list.SetSelected(1);
    m_list.SetSelected(NextItem(m_list.Selected(), m_list.Count()));
    PlayFlash();
}

void MainForm::ReplayFlash() {
    m_player.Rewind();
    m_player.Play();
}

void MainForm::PrevFrame() {
    m_player.Stop();
    if (const auto frame = player::PreviousFrame(m_player.FrameNum())) m_player.SetFrameNum(*frame);
}

void MainForm::NextFrame() {
    m_player.Stop();
    if (const auto frame = player::NextFrame(m_player.FrameNum(), m_player.TotalFrames())) m_player.SetFrameNum(*frame);
}

void MainForm::SeekPercent(bool forward) {
    m_player.GotoFrame(SeekTarget(m_player.FrameNum(), m_player.TotalFrames(), forward));
    m_player.Play();
}

void MainForm::CloseFlash() {
    m_player.SetMovie("-1");
    m_frameTimer.Stop();
    SetWindowTextW(m_frameLabel, L"0/0");
    SetWindowTextW(m_percentLabel, L"已加载：");
    SendMessageW(m_slider, TBM_SETPOS, TRUE, 0);
    EnableWindow(m_slider, FALSE);
    SetTitle(IdleTitle());
    m_list.SetTag(L"");
    DisableFlashCommands();
    ShowWelcome();
}

void MainForm::ResetFlashOptions() {
    m_player.SetScaleMode(m_settings.NoScale == 1 ? 3 : 0);
    m_player.SetAlignMode(0);
    m_player.SetWMode("Window");
    m_player.SetQuality(1);
    m_player.SetBGColor("");
}

void MainForm::ShowWelcome() {
    m_player.SetBackgroundColor(0xEEEEE9);
    m_player.SetScaleMode(3);
    ApplyWelcomeAlignment(true);
    if (m_settings.WelcomeOff == 0) m_player.SetMovie(WelcomePath());
}

void MainForm::FrameTick() {
    SetWindowTextW(m_percentLabel, toolkit::Widen(PercentText(m_player.PercentLoaded())).c_str());
    SendMessageW(m_slider, TBM_SETPOS, TRUE, m_player.FrameNum());
    SetWindowTextW(m_frameLabel, toolkit::Widen(FrameText(m_player.FrameNum(), m_player.TotalFrames())).c_str());
}

void MainForm::SliderClicked() {
    m_player.SetFrameNum(static_cast<int32_t>(SendMessageW(m_slider, TBM_GETPOS, 0, 0)));
    m_player.Play();
}

}  // namespace velmora::player
