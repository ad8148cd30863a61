// A small HTTP/1.1 server for tests: listens on 127.0.0.1 on a port the system picks, serves
// one connection at a time in a background thread, records every request and answers each
// with the configured status and body, then closes the connection. Requests are bounded in
// size and time. The destructor stops the server.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace kpatest {

class LoopbackHttpServer {
public:
    struct Request {
        std::string Method;
        std::string Path;
        std::vector<std::pair<std::string, std::string>> Headers;
        std::string Body;
        // The first header of that name (without regard to case); empty when absent.
        std::string Header(std::string_view name) const;
    };

    explicit LoopbackHttpServer(int status = 200, std::string body = {},
                                std::string contentType = "text/xml; charset=UTF-8");
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int Port() const noexcept { return port_; }
    // "http://127.0.0.1:<port>" followed by path.
    std::string Url(std::string_view path = "/") const;

    void SetResponse(int status, std::string body);
    std::vector<Request> Requests() const;

    static constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
    static constexpr std::size_t kMaxBodyBytes = 16 * 1024 * 1024;

private:
    void Run();
    void Serve(int fd);
    bool WaitReadable(int fd) const;

    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};  // a pipe: writing to it stops the loop
    int port_ = 0;
    mutable std::mutex mutex_;
    int status_;
    std::string body_;
    std::string contentType_;
    std::vector<Request> requests_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace kpatest
