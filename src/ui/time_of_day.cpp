#include "time_of_day.h"

#include <ctime>

namespace telvo::platform {

clock::TimeOfDay SystemTimeOfDay::operator()() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (now.tv_sec != second_) {
        tzset();
        tm local{};
        localtime_r(&now.tv_sec, &local);
        second_ = now.tv_sec;
        local_ = {local.tm_hour, local.tm_min, local.tm_sec};
    }
    return local_;
}

} // namespace telvo::platform
