// First cut: the interface compiles; the operations follow.
#include "player/lists/local_list_panel.h"

namespace velmora::lists {

LocalListPanel::LocalListPanel(IList& list, LocalListHost& host, std::wstring listFolder)
    : m_list(list), m_host(host), m_listFolder(std::move(listFolder)) {}

std::wstring LocalListPanel::DefaultListFile() const { return m_listFolder + L"default.flst"; }
std::wstring LocalListPanel::FavoriteListFile() const { return m_listFolder + L"favorite.flst"; }
void LocalListPanel::StartUp(std::string_view, std::wstring_view) {}
std::string LocalListPanel::ListSetting() const { return "default"; }
void LocalListPanel::LoadLocalList(const std::wstring&) {}
void LocalListPanel::SaveLocalList() {}
void LocalListPanel::ExportLocalList() {}
void LocalListPanel::ImportLocalList() {}
void LocalListPanel::AddToFavourites() {}
void LocalListPanel::AppendCommandLineMovies(const std::wstring&, std::wstring_view) {}
void LocalListPanel::ListButtonClick(ShownList) {}
void LocalListPanel::ShowListView() {}
void LocalListPanel::OpenMovieFiles(bool) {}
void LocalListPanel::AddWholeFolder() {}
void LocalListPanel::AddFolderFiles(const std::wstring&) {}
void LocalListPanel::AddFolderTree(const std::wstring&) {}
void LocalListPanel::DropFiles(const std::vector<std::wstring>&) {}
void LocalListPanel::RemoveCommand(int) {}

}  // namespace velmora::lists
