// The list panel's tests: a real list control, a host that records what the panel asks
// of it, and a fresh folder standing for the program folder.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "player/lists/local_list_panel.h"
#include "player/lists/test_support/dialog_answerer.h"
#include "player/lists/test_support/lists_test_support.h"
#include "toolkit/app.h"

namespace velmora::lists::testing {


inline const std::wstring kGap(50, L' ');
inline const std::string kGbkTitle = "\xC6\xAC\xCD\xB7";  // 片头
inline constexpr wchar_t kTitle[] = L"VelmoraFlash播放软件";

// The main window's side, recording what the panel asks of it.
class FakeHost : public LocalListHost {
public:
    HWND MainWindow() const override { return TestHost(); }
    std::wstring ListName() const override { return listName; }
    void SetListName(const std::wstring& caption) override { listName = caption; }
    void PressListButton(ShownList button) override { pressed = button; }
    void StatusList() override { ++statusLists; }
    void EnableAddToFavourites(bool enabled) override { addToFavourites = enabled; }
    void ShowNetworkTree(bool visible) override { treeVisible = visible; }
    void RefreshNetworkView() override { ++networkRefreshes; }
    void PlayFlash() override { played.push_back(list->Selected()); }
    void PopupListMenu(int x, int y) override { popups.push_back({x, y}); }

    IList* list = nullptr;
    std::wstring listName = kDefaultListName;
    ShownList pressed = ShownList::Default;
    int statusLists = 0;
    bool addToFavourites = true;
    bool treeVisible = false;
    int networkRefreshes = 0;
    std::vector<int32_t> played;
    std::vector<POINT> popups;
};

inline std::wstring Caption(const std::wstring& title, const std::wstring& path) { return title + kGap + path; }

// A fresh folder per test under the temporary folder, standing for the program folder.
inline std::wstring MakeFolder() {
    static int serial = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"velmora_lists_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                std::to_wstring(++serial);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

inline void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        toolkit::SetApplicationTitle(kTitle);
        m_folder = MakeFolder();
        m_list = std::make_unique<IList>();
        ASSERT_TRUE(m_list->Create(TestHost(), 0, 0, 200, 200));
        m_list->SetItemHeight(19);
        m_host.list = m_list.get();
        m_panel = std::make_unique<LocalListPanel>(*m_list, m_host, m_folder);
    }
    void TearDown() override {
        m_panel.reset();
        m_list.reset();
        RemoveTree(m_folder);
    }
    std::wstring File(const std::wstring& name) const { return m_folder + L"\\" + name; }
    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> captions;
        for (int32_t i = 1; i <= m_list->Count(); ++i) captions.push_back(m_list->Item(i)->Caption);
        return captions;
    }
    void AddItems(int count) {
        for (int i = 1; i <= count; ++i)
            m_list->AddItem(Caption(L"m" + std::to_wstring(i), L"c:\\m" + std::to_wstring(i) + L".swf"), L"", 1);
        m_list->Redraw();
    }

    std::wstring m_folder;
    FakeHost m_host;
    std::unique_ptr<IList> m_list;
    std::unique_ptr<LocalListPanel> m_panel;
};

// Holds a file open without sharing, so nobody else can read or replace it.
class LockedFile {
public:
    explicit LockedFile(const std::wstring& path)
        : m_file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~LockedFile() { Unlock(); }
    void Unlock() {
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
    bool Locked() const { return m_file != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_file;
};

}  // namespace velmora::lists::testing
