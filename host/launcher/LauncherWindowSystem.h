// The launcher program's window system (it exports KpaWindowSystem, so the libraries it loads
// share it).
#pragma once

#include <cstdint>

namespace ui {
class TCustomForm;
}

namespace launcher {

// The form that owns a window handle; nullptr when the handle is unknown or no form's.
ui::TCustomForm* FormOfWindow(uintptr_t handle);

}  // namespace launcher
