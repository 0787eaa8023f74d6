// Fetches a movie from a web address on a worker thread, handing the bytes to the UI
// thread as they arrive, so the movie plays the frames it already has.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace velmora::moviehost {

class UrlDownload {
public:
    // Starts at once; `message` is posted to `window` whenever bytes arrived or the
    // transfer ended.
    UrlDownload(HWND window, UINT message, const std::string& url);
    // Abandons the transfer; the worker ends on its own and posts nothing more.
    ~UrlDownload();
    UrlDownload(const UrlDownload&) = delete;
    UrlDownload& operator=(const UrlDownload&) = delete;

    struct Progress {
        std::string bytes;  // what arrived since the last call
        bool finished = false;
        bool succeeded = false;
    };
    Progress Take();

private:
    struct State;
    std::shared_ptr<State> m_state;
};

}  // namespace velmora::moviehost
