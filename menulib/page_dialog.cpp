#include "menulib/page_dialog.h"

#include <cwchar>

namespace ostrel {

std::vector<WORD> PageTemplate(const wchar_t* caption, int width, int height) {
    std::vector<WORD> t;
    auto dword = [&t](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    auto text = [&t](const wchar_t* s) {
        for (; *s; ++s) t.push_back(static_cast<WORD>(*s));
        t.push_back(0);
    };
    dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    dword(0);
    t.push_back(0);  // no controls: they are created on WM_INITDIALOG
    t.push_back(0);
    t.push_back(0);
    t.push_back(static_cast<WORD>(width));
    t.push_back(static_cast<WORD>(height));
    t.push_back(0);  // no menu
    t.push_back(0);  // the standard dialog class
    text(caption);
    t.push_back(9);  // points
    text(L"宋体");
    return t;
}

HWND AddControl(HWND dialog, const wchar_t* className, const wchar_t* text, int id, DWORD style, int x, int y, int w,
                int h, DWORD exStyle) {
    RECT r{x, y, x + w, y + h};
    MapDialogRect(dialog, &r);
    HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

void AddPageButtons(HWND dialog, int width, int height, bool withApply) {
    int x = width - (withApply ? 3 : 2) * 56;
    AddControl(dialog, L"BUTTON", L"确定", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, x, height - 20, 50, 14);
    AddControl(dialog, L"BUTTON", L"取消", IDCANCEL, WS_TABSTOP, x + 56, height - 20, 50, 14);
    if (withApply) AddControl(dialog, L"BUTTON", L"应用(&A)", kApplyId, WS_TABSTOP, x + 112, height - 20, 50, 14);
}

}  // namespace ostrel
