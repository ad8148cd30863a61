#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kpatest {

namespace {

constexpr int kIoTimeoutMs = 5000;  // a silent client is dropped after this

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

const char* Reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 400: return "Bad Request";
        case 404: return "Not Found";
        case 413: return "Payload Too Large";
        case 500: return "Internal Server Error";
        case 503: return "Service Unavailable";
        default: return "Status";
    }
}

void SendAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string Response(int status, std::string_view contentType, std::string_view body) {
    std::string r = "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\n";
    r += "Content-Type: " + std::string(contentType) + "\r\n";
    r += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    r += "Connection: close\r\n\r\n";
    r += body;
    return r;
}

}  // namespace

std::string LoopbackHttpServer::Request::Header(std::string_view name) const {
    std::string key = Lower(name);
    for (const auto& [n, v] : Headers)
        if (Lower(n) == key) return v;
    return {};
}

LoopbackHttpServer::LoopbackHttpServer(int status, std::string body, std::string contentType)
    : status_(status), body_(std::move(body)), contentType_(std::move(contentType)) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listenFd_, 16) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0 || ::pipe2(wakeFds_, O_CLOEXEC) != 0) {
        int err = errno;
        ::close(listenFd_);
        if (wakeFds_[0] >= 0) ::close(wakeFds_[0]);
        if (wakeFds_[1] >= 0) ::close(wakeFds_[1]);
        throw std::runtime_error(std::string("loopback server: ") + std::strerror(err));
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    char c = 'x';
    while (::write(wakeFds_[1], &c, 1) < 0 && errno == EINTR) {
    }
    if (thread_.joinable()) thread_.join();
    ::close(listenFd_);
    ::close(wakeFds_[0]);
    ::close(wakeFds_[1]);
}

std::string LoopbackHttpServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void LoopbackHttpServer::SetResponse(int status, std::string body) {
    std::lock_guard lock(mutex_);
    status_ = status;
    body_ = std::move(body);
}

std::vector<LoopbackHttpServer::Request> LoopbackHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool LoopbackHttpServer::WaitReadable(int fd) const {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
    for (;;) {
        int n = ::poll(fds, 2, kIoTimeoutMs);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || stopping_ || (fds[1].revents & POLLIN)) return false;
        return (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    }
}

void LoopbackHttpServer::Run() {
    while (!stopping_) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        int n = ::poll(fds, 2, -1);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (stopping_ || (fds[1].revents & POLLIN)) return;
        if (!(fds[0].revents & POLLIN)) continue;
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        Serve(fd);
        ::close(fd);
    }
}

void LoopbackHttpServer::Serve(int fd) {
    std::string data;
    char buf[8192];
    auto readMore = [&]() -> bool {
        if (!WaitReadable(fd)) return false;
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return false;
        data.append(buf, static_cast<std::size_t>(n));
        return true;
    };

    std::size_t headerEnd;
    while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos) {
        if (data.size() > kMaxHeaderBytes) {
            SendAll(fd, Response(413, "text/plain", ""));
            return;
        }
        if (!readMore()) return;
    }

    Request request;
    std::string_view head(data.data(), headerEnd);
    std::size_t lineEnd = head.find("\r\n");
    std::string_view requestLine = head.substr(0, lineEnd);
    std::size_t sp1 = requestLine.find(' ');
    std::size_t sp2 = sp1 == std::string_view::npos ? sp1 : requestLine.find(' ', sp1 + 1);
    if (sp2 == std::string_view::npos) {
        SendAll(fd, Response(400, "text/plain", ""));
        return;
    }
    request.Method = std::string(requestLine.substr(0, sp1));
    request.Path = std::string(requestLine.substr(sp1 + 1, sp2 - sp1 - 1));
    std::string_view rest = lineEnd == std::string_view::npos ? std::string_view() : head.substr(lineEnd + 2);
    while (!rest.empty()) {
        std::size_t e = rest.find("\r\n");
        std::string_view line = rest.substr(0, e);
        rest = e == std::string_view::npos ? std::string_view() : rest.substr(e + 2);
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        request.Headers.emplace_back(TrimBlanks(line.substr(0, colon)), TrimBlanks(line.substr(colon + 1)));
    }

    std::size_t length = 0;
    if (std::string cl = request.Header("Content-Length"); !cl.empty()) {
        try {
            length = std::stoull(cl);
        } catch (...) {
            SendAll(fd, Response(400, "text/plain", ""));
            return;
        }
    }
    if (length > kMaxBodyBytes) {
        SendAll(fd, Response(413, "text/plain", ""));
        return;
    }
    if (Lower(request.Header("Expect")) == "100-continue") SendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n");
    data.erase(0, headerEnd + 4);
    while (data.size() < length)
        if (!readMore()) return;
    request.Body = data.substr(0, length);

    std::string response;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(std::move(request));
        response = Response(status_, contentType_, body_);
    }
    SendAll(fd, response);
}

}  // namespace kpatest
