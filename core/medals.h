// Medals: which one a race-clock time earns against a course's gold, silver and bronze times.
#pragma once

#include "core/course.h"

enum class Medal { None, Bronze, Silver, Gold };

// The best medal whose time seconds is within (equal counts): gold, then silver, then bronze. A medal the course
// gives no time for (0) is never earned; anything that is no time (negative, NaN, infinite) earns none.
Medal medalFor(float seconds, float gold, float silver, float bronze);
inline Medal medalFor(float seconds, const Course& course) {
    return medalFor(seconds, course.goldSeconds, course.silverSeconds, course.bronzeSeconds);
}
// "gold", "silver", "bronze" or "none": for messages and --list-courses.
const char* medalName(Medal medal);
