// Building the design pages: a dialog frame from an in-memory template, and child controls
// laid out in dialog units. Library-internal.
#pragma once

#include <windows.h>

#include <vector>

namespace ostrel {

// A template of an empty dialog, width x height dialog units, in the page font.
std::vector<WORD> PageTemplate(const wchar_t* caption, int width, int height);

// Creates a child in dialog units, in the dialog's font.
HWND AddControl(HWND dialog, const wchar_t* className, const wchar_t* text, int id, DWORD style, int x, int y, int w,
                int h, DWORD exStyle = 0);

// Control ids of the two pages.
enum : int { kTreeId = 0x3101 };
enum : int {
    kSizeBox = 0x3201, kOffice, kSystemFont, kDisabled, kList, kAdd, kRemove, kClear, kOpen, kPanel,
    kMenuBox, kMaskBox, kPreviewFrame, kPreview, kCount, kPanelLabel1, kPanelLabel2, kPanelLabel3
};

// The page's state: handed over with WM_INITDIALOG and kept in the dialog's user data.
template <typename Page>
Page* PageData(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return reinterpret_cast<Page*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The OK, Cancel and (when asked) Apply buttons along the bottom.
constexpr int kApplyId = 0x3021;
void AddPageButtons(HWND dialog, int width, int height, bool withApply);

}  // namespace ostrel
