// The current date and time, from a clock that tests can set.
#pragma once

#include <functional>

#include "platform/rtl/SysUtils.h"

namespace os {

rtl::TDateTime Now();
rtl::TDateTime Date();  // today, no time

// Replaces the clock (for tests); an empty function restores the system clock.
void SetClock(std::function<rtl::TDateTime()> clock);

// Sets a fixed clock for the lifetime of the object.
class ScopedClock {
public:
    explicit ScopedClock(rtl::TDateTime fixed);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace os
