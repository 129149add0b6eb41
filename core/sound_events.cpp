// The sound rules: which one-shots a frame triggers and how loud and high the loops run, from plain values.
#include "core/sound_events.h"

#include <algorithm>
#include <cmath>

void clearSoundEvents(SoundFrame& frame) {
    SoundFrame cleared;
    cleared.rolling = frame.rolling;
    cleared.boosting = frame.boosting;
    cleared.ballPosition = frame.ballPosition;
    cleared.ballVelocity = frame.ballVelocity;
    frame = cleared;
}

bool countdownTick(float timerBefore, float timerAfter) {
    // Written so that a timer that is no number never ticks.
    for (int32_t second = tickFromSecond; second >= 1; --second) {
        const float mark = static_cast<float>(second);
        if (timerBefore > mark && timerAfter <= mark) return true;
    }
    return false;
}

bool boostEmptyClick(SoundMemory& memory, bool boostDown, float reserve) {
    if (!boostDown) {
        memory.boostEmptySounded = false;
        return false;
    }
    // The boost runs while the reserve is above zero; it may end slightly below.
    if (reserve > 0.0f || memory.boostEmptySounded) return false;
    memory.boostEmptySounded = true;
    return true;
}

float landingImpact(float closingSpeed, float speed) {
    // The solver takes the closing motion out within the step, so one landing thuds in one frame only.
    const bool hard = closingSpeed >= minLandingSpeed && closingSpeed >= steepLandingRatio * speed;
    return hard ? closingSpeed : 0.0f;
}

bool rollingOnGround(SoundMemory& memory, bool touching, float deltaTime) {
    memory.airborneSeconds = touching ? 0.0f : memory.airborneSeconds + std::max(deltaTime, 0.0f);
    return memory.airborneSeconds < groundGraceSeconds;
}

bool resetPressed(SoundMemory& memory, bool resetDown) {
    const bool pressed = resetDown && !memory.resetHeld;
    memory.resetHeld = resetDown;
    return pressed;
}

float landingGain(float impactSpeed) {
    if (!(impactSpeed >= minLandingSpeed)) return 0.0f;
    const float t = std::min(1.0f, (impactSpeed - minLandingSpeed) / (loudLandingSpeed - minLandingSpeed));
    return softestLandingGain + (1.0f - softestLandingGain) * t;
}

float rollingGain(float speed) {
    if (!(speed >= silentRollSpeed)) return 0.0f;
    return std::sqrt(std::min(1.0f, (speed - silentRollSpeed) / (loudRollSpeed - silentRollSpeed)));
}

float rollingPitch(float speed) {
    const float t = std::clamp(speed / loudRollSpeed, 0.0f, 1.0f); // a speed that is no number stays low
    return slowRollPitch + (fastRollPitch - slowRollPitch) * (std::isnan(t) ? 0.0f : t);
}

float fadeToward(float current, float target, float step) {
    if (current < target) return std::min(target, current + step);
    return std::max(target, current - step);
}
