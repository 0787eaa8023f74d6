#include <windows.h>

#include "common/paths.h"
#include "common/text.h"

namespace velmora {

std::string ProgramFolder() {
    std::u16string path(MAX_PATH, u'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()),
                                           static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(u"\\/");
    path.resize(slash == std::u16string::npos ? 0 : slash);
    if (path.size() == 2 && path[1] == u':') path += u'\\';  // a drive root keeps its backslash
    return Utf16ToUtf8(path);
}

}  // namespace velmora
