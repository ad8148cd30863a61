#include "Clock.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>

namespace os {

namespace {

rtl::TDateTime SystemNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return rtl::EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           rtl::EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), ms);
}

std::mutex& ClockMutex() {
    static std::mutex m;
    return m;
}

std::function<rtl::TDateTime()>& CurrentClock() {
    static std::function<rtl::TDateTime()> clock;
    return clock;
}

}  // namespace

rtl::TDateTime Now() {
    std::function<rtl::TDateTime()> clock;
    {
        std::lock_guard lock(ClockMutex());
        clock = CurrentClock();
    }
    return clock ? clock() : SystemNow();
}

rtl::TDateTime Date() { return std::trunc(Now()); }

void SetClock(std::function<rtl::TDateTime()> clock) {
    std::lock_guard lock(ClockMutex());
    CurrentClock() = std::move(clock);
}

ScopedClock::ScopedClock(rtl::TDateTime fixed) {
    SetClock([fixed] { return fixed; });
}

ScopedClock::~ScopedClock() { SetClock({}); }

}  // namespace os
