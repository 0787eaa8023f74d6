#include "updater/update_check.h"

#include "common/vb_number.h"

namespace velmora::updater {

namespace {

// A version file ends in a line break more often than not; the break must not reach
// config.ini, where it would start a line of its own.
std::string TrimmedVersion(std::string text) {
    const char* space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

}  // namespace

std::string UpdateCheck::Fetch(std::string_view file) const {
    return m_services.fetch(file).value_or(std::string());
}

bool UpdateCheck::DetectSoftUpdate() {
    const std::string received = TrimmedVersion(Fetch("softver.txt"));
    if (received.empty()) return false;
    const double version = LeadingNumber(received);
    if (!(version > kProgramVersion)) return false;
    // An unchanged announcement is repeated at about one start in ten.
    if (version == LeadingNumber(m_services.readVersion("DetectSoftVer")) && m_services.random() > 0.1)
        return false;
    m_info = "· 本软件已经发布更新的版本，推荐下载使用！\r\n   版本号：Ver" + received + "\r\n\r\n";
    m_services.writeVersion("DetectSoftVer", received);
    return true;
}

bool UpdateCheck::DetectNlstVer() {
    m_serverListVersion = TrimmedVersion(Fetch("nlstver.txt"));
    if (m_serverListVersion.empty()) return false;
    if (LeadingNumber(m_services.readVersion("DetectNlstVer")) >= LeadingNumber(m_serverListVersion))
        return false;
    m_info +=
        "· 已经发布更新的网络影片列表，推荐升级使用！\r\n"
        "   注意：1. 更新前请关闭播放软件，否则将会导致更新无效！\r\n"
        "         2. 有必须要的话，请导出您的播放列表，因为升级后原列表将会被替换。";
    return true;
}

ListUpdate UpdateCheck::UpdateList() {
    // A failed or oversized transfer comes back empty: never write a truncated list.
    const std::string list = Fetch("nlst.txt");
    if (list.empty() || !m_services.writeList(list)) return ListUpdate::Failed;
    m_services.writeVersion("DetectNlstVer", m_serverListVersion);
    return ListUpdate::Done;
}

}  // namespace velmora::updater
