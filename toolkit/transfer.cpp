#include "toolkit/transfer.h"

#include <windows.h>
#include <wininet.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "common/text.h"
#include "toolkit/window.h"

namespace velmora::toolkit {

bool UrlStream::Run(std::string_view url, std::chrono::milliseconds timeout, const Sink& sink) {
    HINTERNET session = InternetOpenW(L"VelmoraPlayer", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return false;
    m_session = session;
    if (m_aborted) {
        Abort();
        return false;
    }
    DWORD ms = static_cast<DWORD>(timeout.count());
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                         INTERNET_OPTION_SEND_TIMEOUT})
        InternetSetOptionW(session, option, &ms, sizeof ms);

    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                        INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_PRAGMA_NOCACHE;
    bool complete = false;
    if (HINTERNET request = InternetOpenUrlW(session, Widen(url).c_str(), nullptr, 0, flags, 0)) {
        DWORD status = 0, length = 0, size = sizeof status;
        const bool isHttp = HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                                           &status, &size, nullptr);
        size = sizeof length;
        const bool hasLength = isHttp && HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                                                        &length, &size, nullptr);
        if (!isHttp || (status >= 200 && status < 300)) {
            char buffer[16384];
            DWORD read = 0;
            size_t total = 0;
            bool ok;
            while ((ok = InternetReadFile(request, buffer, sizeof buffer, &read)) && read > 0) {
                total += read;
                if (!sink(std::string_view(buffer, read))) {
                    ok = false;
                    break;
                }
            }
            // A closed connection reads as the end: only the announced length tells a body
            // broken off half-way from a whole one.
            complete = ok && !m_aborted && (!hasLength || total == length);
        }
        InternetCloseHandle(request);
    }
    Abort();
    return complete;
}

void UrlStream::Abort() {
    m_aborted = true;
    if (void* session = m_session.exchange(nullptr)) InternetCloseHandle(session);
}

namespace {

// Shared by the caller and the worker: the caller may give up and leave while the worker
// still waits inside WinINet.
struct Transfer {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::optional<std::string> body;
    UrlStream stream;
};

}  // namespace

std::optional<std::string> DownloadBytes(std::string_view url, const TransferLimits& limits) {
    auto transfer = std::make_shared<Transfer>();
    std::thread worker([transfer, url = std::string(url), limits] {
        std::string bytes;
        const bool complete = transfer->stream.Run(url, limits.timeout, [&](std::string_view piece) {
            if (bytes.size() + piece.size() > limits.maxBytes) return false;
            bytes.append(piece);
            return true;
        });
        std::optional<std::string> body;
        if (complete) body = std::move(bytes);
        std::lock_guard lock(transfer->mutex);
        transfer->body = std::move(body);
        transfer->finished = true;
        transfer->done.notify_all();
    });
    std::unique_lock lock(transfer->mutex);
    if (transfer->done.wait_for(lock, limits.timeout, [&] { return transfer->finished; })) {
        lock.unlock();
        worker.join();
        return std::move(transfer->body);
    }
    lock.unlock();
    // Time-out: closing the session aborts the worker's pending call; it finishes on its own.
    transfer->stream.Abort();
    worker.detach();
    return std::nullopt;
}

std::optional<std::string> OpenUrl(std::string_view url, const TransferLimits& limits) {
    std::optional<std::string> bytes = DownloadBytes(url, limits);
    if (!bytes) return std::nullopt;
    return AnsiToUtf8(*bytes);
}

}  // namespace velmora::toolkit
