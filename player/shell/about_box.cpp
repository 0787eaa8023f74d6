#include "player/shell/about_box.h"

#include <shellapi.h>

#include "common/paths.h"
#include "moviehost/movie_host.h"
#include "player/shell/mod_normal.h"
#include "toolkit/form.h"

namespace velmora::player {

namespace {
enum : int { kTitle = 1, kVersion, kRights, kAuthor, kQq, kMail, kWeb, kQqLink, kMailLink, kWebLink, kLine, kNotice, kOk };
constexpr wchar_t kSite[] = L"http://www.velmora.cn/";

}  // namespace

void AboutBox::ShowModal(HWND owner) {
    const std::wstring title = toolkit::Widen(kApplicationTitle);
    const std::wstring caption = L"关于 " + title;
    const std::wstring version = L"版本：" + toolkit::Widen(VersionText());
    toolkit::Form form({L"VelmoraAbout", caption.c_str(), 5955, 3480, toolkit::FormBorder::FixedSingle, false, false},
                       {
                           {kTitle, toolkit::ControlKind::Label, 1500, 180, 4200, 240, title.c_str()},
                           {kVersion, toolkit::ControlKind::Label, 1500, 480, 4200, 240, version.c_str()},
                           {kRights, toolkit::ControlKind::Label, 1500, 780, 4200, 240, L"版权所有 (C) Ostrel 工作室"},
                           {kAuthor, toolkit::ControlKind::Label, 1500, 1080, 4200, 240, L"作者：Ostrel"},
                           {kQq, toolkit::ControlKind::Label, 1500, 1380, 700, 240, L"QQ  :"},
                           {kQqLink, toolkit::ControlKind::Label, 2200, 1380, 3000, 240, L"留言板"},
                           {kMail, toolkit::ControlKind::Label, 1500, 1680, 700, 240, L"邮箱: "},
                           {kMailLink, toolkit::ControlKind::Label, 2200, 1680, 3000, 240, L"author@velmora.cn"},
                           {kWeb, toolkit::ControlKind::Label, 1500, 1980, 700, 240, L"网址: "},
                           {kWebLink, toolkit::ControlKind::Label, 2200, 1980, 3000, 240, kSite},
                           {kLine, toolkit::ControlKind::Frame, 120, 2340, 5715, 30, L""},
                           {kNotice, toolkit::ControlKind::Label, 180, 2520, 4200, 600,
                            L"本软件为免费软件，欢迎使用与传播。"},
                           {kOk, toolkit::ControlKind::Button, 4560, 2880, 1215, 420, L"&O.确定"},
                       });
    if (!form.Create(owner)) return;
    if (m_settings.OnTop == 1) SetTopMost(form.Handle());
    // picIcon with swfStar: the small movie, left of the texts.
    moviehost::MovieHost star;
    const int side = toolkit::TwipsToPixelsX(1200);
    star.Create(form.Handle(), {toolkit::TwipsToPixelsX(180), toolkit::TwipsToPixelsY(240),
                                toolkit::TwipsToPixelsX(180) + side, toolkit::TwipsToPixelsY(240) + side});
    star.SetBackgroundColor(static_cast<int32_t>(0xF0F0F0));
    star.SetMovie(ProgramFolderFile(ProgramFolder(), "uistar.dll"));
    star.Play();
    EnableWindow(star.Handle(), FALSE);
    bool open = true;
    form.OnClick(kOk, [&] { form.Close(); });
    form.OnClick(kWebLink, [&] { ShellExecuteW(form.Handle(), L"open", kSite, nullptr, nullptr, SW_SHOWNORMAL); });
    form.Show();
    EnableWindow(owner, FALSE);
    MSG message;
    while (open && IsWindow(form.Handle()) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(form.Handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        open = IsWindow(form.Handle());
    }
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
}

}  // namespace velmora::player
