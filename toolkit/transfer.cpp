#include "toolkit/transfer.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "common/text.h"
#include "toolkit/window.h"

namespace velmora::toolkit {

namespace {

// Shared by the caller and the worker: the caller may give up and leave while the worker
// still waits inside WinINet.
struct Transfer {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::optional<std::string> body;
    std::atomic<HINTERNET> session{nullptr};
};

void CloseSession(Transfer& transfer) {
    if (HINTERNET session = transfer.session.exchange(nullptr)) InternetCloseHandle(session);
}

std::optional<std::string> Fetch(Transfer& transfer, const std::wstring& url, const TransferLimits& limits) {
    HINTERNET session = InternetOpenW(L"VelmoraPlayer", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return std::nullopt;
    transfer.session = session;
    DWORD ms = static_cast<DWORD>(limits.timeout.count());
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                         INTERNET_OPTION_SEND_TIMEOUT})
        InternetSetOptionW(session, option, &ms, sizeof ms);

    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                        INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_PRAGMA_NOCACHE;
    HINTERNET request = InternetOpenUrlW(session, url.c_str(), nullptr, 0, flags, 0);
    if (!request) return std::nullopt;

    std::optional<std::string> result;
    DWORD status = 0, length = 0, size = sizeof status;
    const bool isHttp = HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                                       &status, &size, nullptr);
    size = sizeof length;
    const bool hasLength = isHttp && HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                                                    &length, &size, nullptr);
    if (!isHttp || (status >= 200 && status < 300)) {
        std::string body;
        char buffer[16384];
        DWORD read = 0;
        bool ok = true;
        while ((ok = InternetReadFile(request, buffer, sizeof buffer, &read)) && read > 0) {
            if (body.size() + read > limits.maxBytes) {
                ok = false;
                break;
            }
            body.append(buffer, read);
        }
        if (ok && (!hasLength || body.size() == length)) result = std::move(body);
    }
    InternetCloseHandle(request);
    return result;
}

}  // namespace

std::optional<std::string> DownloadBytes(std::string_view url, const TransferLimits& limits) {
    auto transfer = std::make_shared<Transfer>();
    const std::wstring wideUrl = Widen(url);
    std::thread worker([transfer, wideUrl, limits] {
        std::optional<std::string> body = Fetch(*transfer, wideUrl, limits);
        CloseSession(*transfer);
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
    CloseSession(*transfer);
    worker.detach();
    return std::nullopt;
}

std::optional<std::string> OpenUrl(std::string_view url, const TransferLimits& limits) {
    std::optional<std::string> bytes = DownloadBytes(url, limits);
    if (!bytes) return std::nullopt;
    return AnsiToUtf8(*bytes);
}

}  // namespace velmora::toolkit
