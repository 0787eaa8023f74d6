// The Internet transfer service: synchronous HTTP GET through WinINet whose time-out
// really bounds the whole call (connecting, waiting and receiving).
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::toolkit {

struct TransferLimits {
    std::chrono::milliseconds timeout{60000};
    size_t maxBytes = 8 * 1024 * 1024;
};

// The body's raw bytes, or nothing when the transfer failed: no connection, time-out, an
// HTTP status other than 2xx, a body larger than maxBytes, or a body shorter than its
// Content-Length (a transfer broken off half-way).
std::optional<std::string> DownloadBytes(std::string_view url, const TransferLimits& limits);

// OpenURL: the document as text decoded in the ANSI code page (UTF-8 here).
std::optional<std::string> OpenUrl(std::string_view url, const TransferLimits& limits);

}  // namespace velmora::toolkit
