#include "toolkit/test_support/http_server.h"

#include <winsock2.h>
#include <windows.h>

namespace velmora::testing {

namespace {

struct WinsockStartup {
    WinsockStartup() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

void SendAll(SOCKET s, const char* data, size_t size) {
    while (size > 0) {
        const int sent = send(s, data, static_cast<int>(size), 0);
        if (sent <= 0) return;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
}

std::string Header(int status, const char* reason, size_t length) {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nContent-Type: text/plain\r\nConnection: close\r\nContent-Length: " +
           std::to_string(length) + "\r\n\r\n";
}

}  // namespace

HttpServer::HttpServer() {
    static WinsockStartup startup;
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, 16);
    int size = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    m_port = ntohs(address.sin_port);
    m_listener = listener;
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

HttpServer::~HttpServer() {
    SetEvent(m_stopEvent);
    closesocket(static_cast<SOCKET>(m_listener));
    m_acceptor.join();
    for (std::thread& client : m_clients) client.join();
    CloseHandle(m_stopEvent);
}

std::string HttpServer::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }

void HttpServer::Answer(const std::string& path, HttpAnswer answer) {
    std::lock_guard lock(m_mutex);
    m_answers[path] = std::move(answer);
}

int HttpServer::Requests(const std::string& path) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_requests.find(path);
    return found == m_requests.end() ? 0 : found->second;
}

void HttpServer::AcceptLoop() {
    for (;;) {
        const SOCKET client = accept(static_cast<SOCKET>(m_listener), nullptr, nullptr);
        if (client == INVALID_SOCKET) return;  // closed by the destructor
        std::lock_guard lock(m_mutex);
        m_clients.emplace_back([this, client] { Serve(client); });
    }
}

void HttpServer::Serve(uintptr_t clientSocket) {
    const SOCKET client = static_cast<SOCKET>(clientSocket);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<size_t>(got));
    }
    const size_t start = request.find(' ') + 1;
    const size_t end = request.find(' ', start);
    const std::string path = start > 0 && end != std::string::npos ? request.substr(start, end - start) : "";
    HttpAnswer answer{HttpAnswer::Kind::NotFound, {}};
    {
        std::lock_guard lock(m_mutex);
        ++m_requests[path];
        const auto found = m_answers.find(path);
        if (found != m_answers.end()) answer = found->second;
    }
    switch (answer.kind) {
    case HttpAnswer::Kind::Body: {
        const std::string header = Header(200, "OK", answer.body.size());
        SendAll(client, header.data(), header.size());
        const size_t chunk = answer.chunkBytes ? answer.chunkBytes : answer.body.size();
        for (size_t at = 0; at < answer.body.size(); at += chunk) {
            SendAll(client, answer.body.data() + at, std::min(chunk, answer.body.size() - at));
            if (answer.chunkDelayMs && WaitForSingleObject(m_stopEvent, answer.chunkDelayMs) == WAIT_OBJECT_0) break;
        }
        break;
    }
    case HttpAnswer::Kind::NotFound: {
        const std::string page = "<html><body>404 Not Found</body></html>";
        const std::string reply = Header(404, "Not Found", page.size()) + page;
        SendAll(client, reply.data(), reply.size());
        break;
    }
    case HttpAnswer::Kind::Hang: WaitForSingleObject(m_stopEvent, INFINITE); break;
    case HttpAnswer::Kind::BreakOff: {
        const std::string reply = Header(200, "OK", answer.body.size()) + answer.body.substr(0, answer.body.size() / 2);
        SendAll(client, reply.data(), reply.size());
        break;
    }
    }
    shutdown(client, SD_BOTH);
    closesocket(client);
}

}  // namespace velmora::testing
