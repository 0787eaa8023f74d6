// A small HTTP server on 127.0.0.1 for tests: fixed answers per path, and the bad
// behaviours real servers show (never answering, breaking off, answering slowly).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::testing {

struct HttpAnswer {
    enum class Kind {
        Body,      // 200 with the body
        NotFound,  // 404 with a small HTML page
        Hang,      // accepts, reads the request, never answers
        BreakOff,  // announces the full length, sends half, closes
    };
    Kind kind = Kind::Body;
    std::string body;
    size_t chunkBytes = 0;      // with chunkDelayMs: send the body in pieces
    unsigned chunkDelayMs = 0;  // pause after each piece
};

class HttpServer {
public:
    HttpServer();  // listens on 127.0.0.1 at a free port
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    uint16_t Port() const { return m_port; }
    std::string BaseUrl() const;  // "http://127.0.0.1:PORT"
    // An unknown path answers 404.
    void Answer(const std::string& path, HttpAnswer answer);
    void Answer(const std::string& path, const std::string& body) { Answer(path, HttpAnswer{HttpAnswer::Kind::Body, body}); }
    int Requests(const std::string& path) const;

private:
    void AcceptLoop();
    void Serve(uintptr_t client);

    uintptr_t m_listener;
    uint16_t m_port = 0;
    std::thread m_acceptor;
    mutable std::mutex m_mutex;
    std::map<std::string, HttpAnswer> m_answers;
    std::map<std::string, int> m_requests;
    std::vector<std::thread> m_clients;
    void* m_stopEvent;
};

}  // namespace velmora::testing
