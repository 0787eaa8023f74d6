// Where the programs keep their files: beside the program.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// A file beside the program: the folder, a backslash unless the folder already ends in
// one, then the name.
std::string ProgramFolderFile(std::string_view folder, std::string_view name);

// config.ini: the folder, a backslash when the folder path is longer than three characters
// (a drive root such as C:\ already ends in one), then "config.ini".
std::string ConfigFilePath(std::string_view folder);

// The folder of the running program without a trailing backslash, except for a drive root
// ("C:\"). Windows only.
std::string ProgramFolder();

}  // namespace velmora
