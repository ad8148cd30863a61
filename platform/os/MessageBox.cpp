#include "MessageBox.h"

#include <unistd.h>

#include <iostream>
#include <mutex>
#include <string>

namespace os {

namespace {
std::mutex& HandlerMutex() {
    static std::mutex m;
    return m;
}
std::function<void(const std::string&)>& Handler() {
    static std::function<void(const std::string&)> h;
    return h;
}
}  // namespace

void ShowMessage(const std::string& text) {
    std::function<void(const std::string&)> h;
    {
        std::lock_guard lock(HandlerMutex());
        h = Handler();
    }
    if (h) {
        h(text);
        return;
    }
    std::cerr << text << std::endl;
    if (isatty(STDIN_FILENO)) {
        std::cerr << "[OK: press Enter]" << std::flush;
        std::string line;
        std::getline(std::cin, line);
    }
}

void SetMessageHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard lock(HandlerMutex());
    Handler() = std::move(handler);
}

}  // namespace os
