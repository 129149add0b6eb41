// The sounds a frame asks for, as plain values the race rules fill; the audio layer only plays them.
#pragma once

#include <cstdint>

#include <glm/vec3.hpp>

// Landings. Bullet's heightfield throws a fast ball off the edges between its triangles even on level ground: it
// skips along and comes down at up to 0.43 of its speed on level ground and 0.48 on the course (measured), while a
// ball dropped onto the ground comes down at nearly all of its speed. A thud needs both a hard and a steep landing.
constexpr float minLandingSpeed = 3.5f;    // world units per second into the ground (the drop off the start: 3.7 to 5)
constexpr float steepLandingRatio = 0.55f; // ...and at least this share of the ball's speed (33 degrees or steeper)
constexpr float loudLandingSpeed = 16.0f;  // a landing this hard or harder thuds at full loudness
constexpr float softestLandingGain = 0.3f; // the thud of a landing at minLandingSpeed

// Rolling. The same skips lift the ball for up to a third of a second at rolling speeds; only a longer flight
// silences the rolling.
constexpr float groundGraceSeconds = 0.4f; // seconds off the ground that still count as rolling
constexpr float silentRollSpeed = 0.3f;    // world units per second; slower is not heard
constexpr float loudRollSpeed = 25.0f;     // rolling this fast or faster is heard at full gain
constexpr float slowRollPitch = 0.7f;      // playback rate of the rolling loop at rest...
constexpr float fastRollPitch = 1.5f;      // ...and at loudRollSpeed and beyond

constexpr int32_t tickFromSecond = 5; // the countdown ticks as it passes 5, 4, 3, 2 and 1 seconds left

// What one frame asks the audio layer to do. One-shot fields hold for the frame their moment happens in;
// the continuous fields describe the ball as it is at the end of the frame.
struct SoundFrame {
    // One-shots.
    bool checkpoint = false; // a checkpoint other than the goal was collected
    bool getReady = false;   // a race began its get-ready pause (start-up, reset pressed, left the course)
    bool letsRoll = false;   // the get-ready pause ended and the ball was let go
    bool tick = false;       // the countdown passed one of the last five whole seconds (countdownTick)
    bool won = false;        // the goal was reached
    bool lost = false;       // the countdown ran out
    bool leftCourse = false; // the ball left the course
    bool boostEmpty = false; // the boost was asked for with none left (boostEmptyClick)
    float landingSpeed = 0.0f; // closing speed of a landing that thuds (landingImpact), 0 for none

    // Continuous.
    bool rolling = false;  // the ball rolls on the ground (rollingOnGround); false whenever the ball is held
    bool boosting = false; // the boost is being spent this frame
    glm::vec3 ballPosition{0.0f}; // world units
    glm::vec3 ballVelocity{0.0f}; // world units per second, as the physics reports it
};

// What the sound rules remember from one frame to the next. Made once; never needs resetting.
struct SoundMemory {
    float airborneSeconds = groundGraceSeconds; // since the ball last touched the ground; starts in the air
    bool boostEmptySounded = false; // the empty click already sounded during the current press
    bool resetHeld = false;         // the reset was down in the previous frame
};

// Clears the one-shots and keeps the continuous fields, once the frame's sounds have been played.
void clearSoundEvents(SoundFrame& frame);

// True when the countdown passed one of the whole seconds tickFromSecond .. 1 between the two readings (at most
// one tick a frame). Passing 0 is the lost sound's moment, not a tick.
bool countdownTick(float timerBefore, float timerAfter);
// True once per press of the boost: in the first frame the button is down while the reserve is not above zero,
// whether it was pressed on an empty reserve or held until it ran out.
bool boostEmptyClick(SoundMemory& memory, bool boostDown, float reserve);
// The closing speed when the ball hit the ground in this frame's step hard and steeply enough to thud, else 0.
// closingSpeed comes from ballContact after the step (0 when nothing touches), speed is the ball's speed before it.
float landingImpact(float closingSpeed, float speed);
// Whether the rolling sound plays: touching now, or off the ground for less than groundGraceSeconds.
bool rollingOnGround(SoundMemory& memory, bool touching, float deltaTime);
// True in the first frame of each press of the reset, so holding it restarts the get-ready cue only once.
bool resetPressed(SoundMemory& memory, bool resetDown);

// Loudness of a thud, 0 below minLandingSpeed, then softestLandingGain rising to 1 at loudLandingSpeed.
float landingGain(float impactSpeed);
// Gain of the rolling loop: 0 below silentRollSpeed, rising as the square root of speed to 1 at loudRollSpeed.
float rollingGain(float speed);
// Playback rate of the rolling loop, from slowRollPitch to fastRollPitch with speed.
float rollingPitch(float speed);
// Moves current towards target by at most step, so a level never jumps (which would click).
float fadeToward(float current, float target, float step);
