#include "WindowSystem.h"

#include <dlfcn.h>

#include <deque>
#include <mutex>
#include <unordered_map>

#include "Forms.h"

namespace ui {

namespace {

class Headless final : public IWindowSystem {
public:
    uintptr_t CreateWindowHandle(IWindowTarget* target) override {
        const uintptr_t h = next_++;
        windows_[h] = target;
        return h;
    }
    void DestroyWindowHandle(uintptr_t handle) override {
        windows_.erase(handle);
        if (foreground_ == handle) foreground_ = 0;
    }
    bool IsWindow(uintptr_t handle) override { return windows_.count(handle) > 0; }
    intptr_t SendMessage(uintptr_t handle, uint32_t msg, intptr_t w, intptr_t l) override {
        auto it = windows_.find(handle);
        return it == windows_.end() ? 0 : it->second->HandleMessage(msg, w, l);
    }
    bool PostMessage(uintptr_t handle, uint32_t msg, intptr_t w, intptr_t l) override {
        if (!IsWindow(handle)) return false;
        queue_.push_back(Posted{handle, msg, w, l});
        return true;
    }
    void ProcessMessages() override {
        while (!queue_.empty()) {
            const Posted m = queue_.front();
            queue_.pop_front();
            SendMessage(m.handle, m.msg, m.w, m.l);
        }
    }
    size_t PendingMessages() override { return queue_.size(); }
    void SetForegroundWindow(uintptr_t handle) override { foreground_ = handle; }
    uintptr_t ForegroundWindow() override { return foreground_; }
    void RunModal(TCustomForm& form) override {
        if (runner_) {
            runner_(form);
        }
        if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
    }
    void SetModalRunner(ModalRunner runner) override { runner_ = std::move(runner); }
    IWindowTarget* WindowTarget(uintptr_t handle) override {
        auto it = windows_.find(handle);
        return it == windows_.end() ? nullptr : it->second;
    }

private:
    struct Posted {
        uintptr_t handle;
        uint32_t msg;
        intptr_t w, l;
    };
    uintptr_t next_ = 0x10000;  // handles look like handles; 0 is no window
    std::unordered_map<uintptr_t, IWindowTarget*> windows_;
    std::deque<Posted> queue_;
    uintptr_t foreground_ = 0;
    ModalRunner runner_;
};

}  // namespace

IWindowSystem& HeadlessWindowSystem() {
    static Headless instance;
    return instance;
}

IWindowSystem& WindowSystem() {
    static IWindowSystem* const ws = [] {
        using Provider = IWindowSystem* (*)();
        if (auto provider = reinterpret_cast<Provider>(dlsym(RTLD_DEFAULT, "KpaWindowSystem"))) {
            if (IWindowSystem* host = provider()) return host;
        }
        return &HeadlessWindowSystem();
    }();
    return *ws;
}

}  // namespace ui
