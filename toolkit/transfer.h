// The Internet transfer service: synchronous HTTP GET through WinINet whose time-out
// really bounds the whole call (connecting, waiting and receiving).
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::toolkit {

struct TransferLimits {
    std::chrono::milliseconds timeout{60000};
    size_t maxBytes = 8 * 1024 * 1024;
};

// One streamed GET: the body arrives piece by piece on the calling thread; Abort() from
// any thread ends a pending connect or read at once.
class UrlStream {
public:
    // Receives each piece of the body; returning false stops the transfer.
    using Sink = std::function<bool(std::string_view piece)>;

    UrlStream() = default;
    UrlStream(const UrlStream&) = delete;
    UrlStream& operator=(const UrlStream&) = delete;

    // True when the whole body arrived: a 2xx status (or a non-HTTP URL), as many bytes as
    // Content-Length announced, and the sink took every piece.
    bool Run(std::string_view url, std::chrono::milliseconds timeout, const Sink& sink);
    void Abort();

private:
    std::atomic<void*> m_session{nullptr};
    std::atomic<bool> m_aborted{false};
};

// The body's raw bytes, or nothing when the transfer failed: no connection, time-out, an
// HTTP status other than 2xx, a body larger than maxBytes, or a body shorter than its
// Content-Length (a transfer broken off half-way).
std::optional<std::string> DownloadBytes(std::string_view url, const TransferLimits& limits);

// OpenURL: the document as text decoded in the ANSI code page (UTF-8 here).
std::optional<std::string> OpenUrl(std::string_view url, const TransferLimits& limits);

}  // namespace velmora::toolkit
