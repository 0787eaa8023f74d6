// frmUpdate: the updater's only window, shown when there is news.
#pragma once

#include "toolkit/form.h"
#include "updater/update_check.h"

namespace velmora::updater {

// Control ids, also used by the end-to-end tests to read the window back.
enum UpdateControl : int {
    kFrame1 = 101,
    kTxtInfo = 102,
    kCmdSoftUpdate = 103,
    kCmdNlstUpdate = 104,
    kCmdClose = 105,
};

inline constexpr wchar_t kUpdateCaption[] = L"VelmoraPlayer - 更新程序";
inline constexpr wchar_t kUpdaterTitle[] = L"VelmoraFlash播放软件更新程序";
inline constexpr char kMakerSite[] = "http://www.velmoraplayer.com/";

class UpdateWindow : public toolkit::Form {
public:
    UpdateWindow(UpdateCheck& check, bool softUpdate, bool listUpdate);
    bool Open();

private:
    void SoftUpdateClick();
    void NlstUpdateClick();

    UpdateCheck& m_check;
    bool m_softUpdate, m_listUpdate;
};

}  // namespace velmora::updater
