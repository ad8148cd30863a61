// The window system: window handles, the posted-message queue, the foreground window and modal
// runs. There is one per process, as there is one desktop: a host program (the launcher, a test
// program) provides it by exporting `KpaWindowSystem` with C linkage (see
// HostWindowSystem.h), and every library it loads, modules included, finds it at first use.
// A process that provides none gets a private headless one.
#pragma once

#include <cstdint>
#include <functional>

namespace ui {

class TCustomForm;

// Something that owns a window and takes its messages.
class IWindowTarget {
public:
    virtual intptr_t HandleMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) = 0;

protected:
    ~IWindowTarget() = default;
};

// How modal forms are run: the user (interactive or scripted) acts on the form until its
// ModalResult is set. The headless default closes every modal form with mrCancel.
using ModalRunner = std::function<void(TCustomForm& form)>;

class IWindowSystem {
public:
    virtual uintptr_t CreateWindowHandle(IWindowTarget* target) = 0;
    virtual void DestroyWindowHandle(uintptr_t handle) = 0;
    virtual bool IsWindow(uintptr_t handle) = 0;
    // Delivers at once; 0 for a handle that does not exist.
    virtual intptr_t SendMessage(uintptr_t handle, uint32_t msg, intptr_t wParam, intptr_t lParam) = 0;
    // Queues; false for a handle that does not exist.
    virtual bool PostMessage(uintptr_t handle, uint32_t msg, intptr_t wParam, intptr_t lParam) = 0;
    // Delivers every queued message (also those posted meanwhile); messages to windows that are
    // gone are dropped.
    virtual void ProcessMessages() = 0;
    virtual size_t PendingMessages() = 0;
    virtual void SetForegroundWindow(uintptr_t handle) = 0;
    virtual uintptr_t ForegroundWindow() = 0;
    virtual void RunModal(TCustomForm& form) = 0;
    virtual void SetModalRunner(ModalRunner runner) = 0;
    // The object that owns a window; nullptr for a handle that does not exist. A host that knows
    // a form only by its handle (the controller's GetHandle) reaches the form through it.
    virtual IWindowTarget* WindowTarget(uintptr_t handle) = 0;

protected:
    ~IWindowSystem() = default;
};

// The process's window system.
IWindowSystem& WindowSystem();

// A window system without windows, for hosts and for processes that provide none.
IWindowSystem& HeadlessWindowSystem();

}  // namespace ui
