// Include in exactly one source file of a host program (launcher, test program) to provide the
// process's window system to the libraries it loads. The program must export its symbols to
// loaded libraries (CMake: ENABLE_EXPORTS).
#pragma once

#include "WindowSystem.h"

extern "C" __attribute__((visibility("default"))) ui::IWindowSystem* KpaWindowSystem() {
    return &ui::HeadlessWindowSystem();
}
