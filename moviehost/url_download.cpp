#include "moviehost/url_download.h"

#include <mutex>
#include <thread>

#include "toolkit/transfer.h"

namespace velmora::moviehost {

namespace {
// Each connect and each read may take this long before the transfer counts as failed.
constexpr std::chrono::seconds kStallTimeout{30};
}  // namespace

struct UrlDownload::State {
    std::mutex mutex;
    HWND window;  // nullptr once the owner is gone
    UINT message;
    Progress pending;
    bool notified = false;  // a message is on its way; no need for another
    toolkit::UrlStream stream;

    void Notify() {  // with the mutex held
        if (window && !notified) notified = PostMessageW(window, message, 0, 0) != FALSE;
    }
};

UrlDownload::UrlDownload(HWND window, UINT message, const std::string& url)
    : m_state(std::make_shared<State>()) {
    m_state->window = window;
    m_state->message = message;
    std::thread([state = m_state, url] {
        const bool ok = state->stream.Run(url, kStallTimeout, [&](std::string_view piece) {
            std::lock_guard lock(state->mutex);
            if (!state->window) return false;
            state->pending.bytes.append(piece);
            state->Notify();
            return true;
        });
        std::lock_guard lock(state->mutex);
        state->pending.finished = true;
        state->pending.succeeded = ok;
        state->Notify();
    }).detach();
}

UrlDownload::~UrlDownload() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->window = nullptr;
    }
    m_state->stream.Abort();
}

UrlDownload::Progress UrlDownload::Take() {
    std::lock_guard lock(m_state->mutex);
    Progress progress = std::move(m_state->pending);
    m_state->pending = {};
    m_state->pending.finished = progress.finished;
    m_state->pending.succeeded = progress.succeeded;
    m_state->notified = false;
    return progress;
}

}  // namespace velmora::moviehost
