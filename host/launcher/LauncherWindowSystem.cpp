// The process's window system, provided to every library the launcher loads. It is the
// headless one, plus a record of which object owns each window: the launcher knows the
// controller's form only by its window handle (GetHandle) and must reach the form itself to
// act on it and dump it.
#include "LauncherWindowSystem.h"

#include <unordered_map>

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

namespace launcher {

namespace {

class TrackingWindowSystem final : public ui::IWindowSystem {
public:
    uintptr_t CreateWindowHandle(ui::IWindowTarget* target) override {
        const uintptr_t h = base_.CreateWindowHandle(target);
        targets_[h] = target;
        return h;
    }
    void DestroyWindowHandle(uintptr_t handle) override {
        targets_.erase(handle);
        base_.DestroyWindowHandle(handle);
    }
    bool IsWindow(uintptr_t handle) override { return base_.IsWindow(handle); }
    intptr_t SendMessage(uintptr_t handle, uint32_t msg, intptr_t w, intptr_t l) override {
        return base_.SendMessage(handle, msg, w, l);
    }
    bool PostMessage(uintptr_t handle, uint32_t msg, intptr_t w, intptr_t l) override {
        return base_.PostMessage(handle, msg, w, l);
    }
    void ProcessMessages() override { base_.ProcessMessages(); }
    size_t PendingMessages() override { return base_.PendingMessages(); }
    void SetForegroundWindow(uintptr_t handle) override { base_.SetForegroundWindow(handle); }
    uintptr_t ForegroundWindow() override { return base_.ForegroundWindow(); }
    void RunModal(ui::TCustomForm& form) override { base_.RunModal(form); }
    void SetModalRunner(ui::ModalRunner runner) override { base_.SetModalRunner(std::move(runner)); }

    ui::IWindowTarget* Target(uintptr_t handle) const {
        auto it = targets_.find(handle);
        return it == targets_.end() ? nullptr : it->second;
    }

private:
    ui::IWindowSystem& base_ = ui::HeadlessWindowSystem();
    std::unordered_map<uintptr_t, ui::IWindowTarget*> targets_;
};

TrackingWindowSystem& Tracker() {
    static TrackingWindowSystem instance;
    return instance;
}

}  // namespace

ui::TCustomForm* FormOfWindow(uintptr_t handle) {
    ui::IWindowTarget* target = Tracker().Target(handle);
    if (!target) return nullptr;
    // Every window belongs to a window control; whether it is a form is asked by class name.
    auto* control = static_cast<ui::TWinControl*>(target);
    return control->InheritsFrom("TCustomForm") ? static_cast<ui::TCustomForm*>(control) : nullptr;
}

}  // namespace launcher

extern "C" __attribute__((visibility("default"))) ui::IWindowSystem* KpaWindowSystem() { return &launcher::Tracker(); }
