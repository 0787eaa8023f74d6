#include "common/paths.h"

namespace velmora {

std::string ProgramFolderFile(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path += '\\';
    path += name;
    return path;
}

std::string ConfigFilePath(std::string_view folder) {
    std::string path(folder);
    if (path.size() > 3) path += '\\';
    path += "config.ini";
    return path;
}

}  // namespace velmora
