// The medal rule: a time earns the best medal it is within.
#include "core/medals.h"

#include <cmath>

Medal medalFor(float seconds, float gold, float silver, float bronze) {
    if (!(seconds >= 0.0f) || std::isinf(seconds)) return Medal::None;
    const auto within = [seconds](float limit) { return limit > 0.0f && seconds <= limit; };
    if (within(gold)) return Medal::Gold;
    if (within(silver)) return Medal::Silver;
    if (within(bronze)) return Medal::Bronze;
    return Medal::None;
}

const char* medalName(Medal medal) {
    switch (medal) {
    case Medal::Gold: return "gold";
    case Medal::Silver: return "silver";
    case Medal::Bronze: return "bronze";
    case Medal::None: break;
    }
    return "none";
}
