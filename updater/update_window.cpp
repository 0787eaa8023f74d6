#include "updater/update_window.h"

#include <shellapi.h>

#include "toolkit/app.h"
#include "updater/resource.h"

namespace velmora::updater {

using toolkit::ControlKind;

UpdateWindow::UpdateWindow(UpdateCheck& check, bool softUpdate, bool listUpdate)
    : Form({L"VelmoraUpdateForm", kUpdateCaption, 6120, 3090, toolkit::FormBorder::FixedSingle, false,
            true, kIconUpdater},
           {
               {kFrame1, ControlKind::Frame, 240, 180, 5655, 2055, L""},
               {kTxtInfo, ControlKind::MultiLineReadOnly, 120, 210, 5415, 1695, L"", kFrame1},
               {kCmdSoftUpdate, ControlKind::Button, 240, 2400, 1215, 495, L"&S.软件更新"},
               {kCmdNlstUpdate, ControlKind::Button, 1560, 2400, 1575, 495, L"&N.播放列表更新"},
               {kCmdClose, ControlKind::Button, 4680, 2400, 1215, 495, L"&C.关闭"},
           }),
      m_check(check),
      m_softUpdate(softUpdate),
      m_listUpdate(listUpdate) {}

bool UpdateWindow::Open() {
    if (!Create()) return false;
    SetQuitOnDestroy(true);
    SetControlText(kTxtInfo, toolkit::Widen(m_check.Info()));
    EnableControl(kCmdSoftUpdate, m_softUpdate);
    EnableControl(kCmdNlstUpdate, m_listUpdate);
    OnClick(kCmdSoftUpdate, [this] { SoftUpdateClick(); });
    OnClick(kCmdNlstUpdate, [this] { NlstUpdateClick(); });
    OnClick(kCmdClose, [this] { Close(); });
    Show();
    SetFocus(Control(m_softUpdate ? kCmdSoftUpdate : kCmdNlstUpdate));
    return true;
}

void UpdateWindow::SoftUpdateClick() {
    const std::wstring site = toolkit::Widen(kMakerSite);
    const int answer = toolkit::ShowMessage(Handle(), L"请至Ostrel软件官方网站 " + site + L" 下载！是否打开该网站？ ",
                                            toolkit::MessageIcon::Exclamation, toolkit::MessageButtons::YesNo);
    if (answer == IDYES) ShellExecuteW(Handle(), L"open", site.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void UpdateWindow::NlstUpdateClick() {
    const bool done = m_check.UpdateList() == ListUpdate::Done;
    toolkit::ShowMessage(Handle(), done ? L"更新完成！  " : L"升级失败！   ", toolkit::MessageIcon::Exclamation);
}

}  // namespace velmora::updater
