// The launcher provides the process's window system to every library it loads; it knows the
// controller's form only by its window handle (GetHandle) and reaches the form through it.
#include "LauncherWindowSystem.h"

#include "platform/ui/Forms.h"
#include "platform/ui/HostWindowSystem.h"

namespace launcher {

ui::TCustomForm* FormOfWindow(uintptr_t handle) {
    ui::IWindowTarget* target = ui::WindowSystem().WindowTarget(handle);
    if (!target) return nullptr;
    // Every window belongs to a window control; whether it is a form is asked by class name.
    auto* control = static_cast<ui::TWinControl*>(target);
    return control->InheritsFrom("TCustomForm") ? static_cast<ui::TCustomForm*>(control) : nullptr;
}

}  // namespace launcher
