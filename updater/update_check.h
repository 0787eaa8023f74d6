// What the updater asks the maker's server and what it tells the user, apart from the
// window: the program-version check, the list-version check and the list download.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::updater {

// The program's own version, the player's major and minor number.
constexpr double kProgramVersion = 2.1;

struct UpdateServices {
    // One of the server's files ("softver.txt", "nlstver.txt", "nlst.txt") as text;
    // nothing when the transfer failed.
    std::function<std::optional<std::string>(std::string_view file)> fetch;
    // Section VERSION of config.ini.
    std::function<std::string(std::string_view key)> readVersion;
    std::function<void(std::string_view key, std::string_view value)> writeVersion;
    // Writes network.nlst; false when the file could not be written.
    std::function<bool(std::string_view text)> writeList;
    // A number in [0, 1), drawn from a generator seeded from the clock.
    std::function<double()> random;
};

enum class ListUpdate { Done, Failed };

class UpdateCheck {
public:
    explicit UpdateCheck(UpdateServices services) : m_services(std::move(services)) {}

    // True when a newer program version is to be announced; writes the program notice.
    bool DetectSoftUpdate();
    // True when a newer network list is on the server; appends the list notice.
    bool DetectNlstVer();
    // Downloads the list, writes network.nlst and stores the list version.
    ListUpdate UpdateList();

    // The notices for the window's text box.
    const std::string& Info() const { return m_info; }

private:
    std::string Fetch(std::string_view file) const;

    UpdateServices m_services;
    std::string m_info;
    std::string m_serverListVersion;
};

}  // namespace velmora::updater
