#include "player/lists/test_support/dialog_answerer.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>

namespace velmora::lists::testing {

namespace {

constexpr DWORD kWaitMs = 15000;

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

struct Search {
    const DialogAnswerer::Match* match;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && std::wstring(className) == L"#32770" && IsWindowVisible(window) &&
        (*search->match)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

}  // namespace

DialogAnswerer::DialogAnswerer(Match match, Answer answer) {
    m_thread = std::thread([this, match = std::move(match), answer = std::move(answer)] {
        const DWORD end = GetTickCount() + kWaitMs;
        while (!m_quit && static_cast<int>(end - GetTickCount()) > 0) {
            Search search{&match, nullptr};
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
            if (!search.found) {
                Sleep(20);
                continue;
            }
            // Let the dialog finish its set-up before it is typed into.
            Sleep(200);
            for (HWND child : Children(search.found)) {
                const std::wstring text = TextOf(child);
                if (!text.empty()) m_texts.push_back(text);
                if (const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)))
                    m_icons.push_back(icon);
            }
            answer(search.found);
            m_answered = true;
            return;
        }
    });
}

DialogAnswerer::~DialogAnswerer() {
    m_quit = true;
    if (m_thread.joinable()) m_thread.join();
}

bool DialogAnswerer::Finish() {
    if (m_thread.joinable()) m_thread.join();
    return m_answered;
}

bool DialogAnswerer::Stop() {
    m_quit = true;
    return Finish();
}

bool DialogAnswerer::HadIcon(LPCWSTR systemIcon) const {
    return std::find(m_icons.begin(), m_icons.end(), LoadIconW(nullptr, systemIcon)) != m_icons.end();
}

DialogAnswerer::Match WithCaption(std::wstring caption) {
    return [caption](HWND dialog) { return TextOf(dialog) == caption; };
}

DialogAnswerer::Match WithControlText(std::wstring text) {
    return [text](HWND dialog) {
        const auto children = Children(dialog);
        return std::any_of(children.begin(), children.end(), [&](HWND child) { return TextOf(child) == text; });
    };
}

DialogAnswerer::Answer PressButton(int id) {
    return [id](HWND dialog) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    };
}

namespace {

void EnterFileName(HWND dialog, const std::wstring& name) {
    // The explorer-style dialog's file name box: a combo box (cmb13) or an edit (edt1).
    HWND box = GetDlgItem(dialog, cmb13);
    if (!box) box = GetDlgItem(dialog, edt1);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    // Waits while the dialog acts on it, but not for a box it may open in turn.
    SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)),
                        SMTO_NORMAL, 3000, nullptr);
}

}  // namespace

DialogAnswerer::Answer TypeFileName(std::wstring name) {
    return [name](HWND dialog) { EnterFileName(dialog, name); };
}

DialogAnswerer::Answer TypeFileNamesIn(std::wstring folder, std::wstring names) {
    return [folder, names](HWND dialog) {
        // A folder typed and confirmed opens it; the dialog may start wherever it was last.
        EnterFileName(dialog, folder);
        Sleep(300);
        EnterFileName(dialog, names);
    };
}

namespace {

// The text of the folder tree's selected node ("" when there is none).
std::wstring SelectedFolderName(HWND dialog) {
    for (HWND child : Children(dialog)) {
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        if (std::wstring(className) != WC_TREEVIEWW) continue;
        const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(child, TVM_GETNEXTITEM, TVGN_CARET, 0));
        wchar_t text[MAX_PATH] = {};
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = MAX_PATH;
        if (item && SendMessageW(child, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return text;
    }
    return {};
}

}  // namespace

DialogAnswerer::Answer PickFolder(std::wstring folder) {
    return [folder](HWND dialog) {
        // The dialog may still move its selection to where it starts; set ours until it holds,
        // as OK on another folder would scan that one.
        const std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
        for (int attempt = 0; attempt < 50; ++attempt) {
            SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
            Sleep(100);
            if (SelectedFolderName(dialog) == name) {
                PressButton(IDOK)(dialog);
                return;
            }
        }
        PressButton(IDCANCEL)(dialog);
    };
}

}  // namespace velmora::lists::testing
