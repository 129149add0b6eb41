// The same game at any frame rate: the camera's followers and the sparks' flight depend on game time only, and at
// 60 frames a second they do what they always did in one frame.
#include <gtest/gtest.h>

#include "core/camera.h"
#include "core/input.h"
#include "core/particles.h"
#include "tests/support/checks.h"

namespace {

// The camera chasing a ball that jumped 10 units away, after one second of game time at the given rate.
Camera followForOneSecond(int framesPerSecond) {
    Camera c;
    resetCamera(c, glm::vec3(0.0f), 0.0f);
    const glm::vec3 ball(10.0f, 2.0f, -4.0f);
    for (int i = 0; i < framesPerSecond; ++i) {
        updateCamera(c, FrameInput{}, ball, 1.0f / float(framesPerSecond), nullptr);
    }
    return c;
}

TEST(FrameRate, TheCameraFollowsTheSameInGameTimeAtAnyRate) {
    const Camera at60 = followForOneSecond(60);
    for (int rate : {30, 144, 240}) {
        const Camera c = followForOneSecond(rate);
        expectVecNear(c.position, at60.position, 1e-3f, std::to_string(rate) + " fps, orbit centre");
        expectVecNear(c.target, at60.target, 1e-3f, std::to_string(rate) + " fps, point looked at");
    }
    // After one second the centre has closed 1 - 0.95^60 of the way, the point looked at all but nothing.
    expectVecNear(at60.position, glm::vec3(10.0f, 2.0f, -4.0f) * (1.0f - std::pow(0.95f, 60.0f)), 1e-3f);
    expectVecNear(at60.target, glm::vec3(10.0f, 2.0f, -4.0f), 1e-4f);
}

TEST(FrameRate, ThePointLookedAtGlidesAlikeOverAFewFrames) {
    // 1/30 s as one frame at 30 Hz, two at 60 Hz and four at 120 Hz.
    auto targetAfter = [](int frames, float frameSeconds) {
        Camera c;
        resetCamera(c, glm::vec3(0.0f), 0.0f);
        for (int i = 0; i < frames; ++i) updateCamera(c, FrameInput{}, glm::vec3(10.0f, 0.0f, 0.0f), frameSeconds, nullptr);
        return c.target.x;
    };
    const float at60 = targetAfter(2, 1.0f / 60.0f);
    EXPECT_NEAR(at60, 10.0f * (1.0f - 0.04f), 1e-3f) << "80 % of the way per 60 Hz frame, as it always did";
    EXPECT_NEAR(targetAfter(1, 1.0f / 30.0f), at60, 1e-3f);
    EXPECT_NEAR(targetAfter(4, 1.0f / 120.0f), at60, 1e-3f);
}

// One spark thrown up and out, flown for one second of game time.
glm::vec3 sparkAfterOneSecond(int framesPerSecond, float& speedUp) {
    ParticlePool pool;
    Particle& p = pool.slots[0];
    p.active = true;
    p.life = 2.0f;
    p.position = glm::vec3(0.0f);
    p.velocity = glm::vec3(3.0f, 20.0f, -1.0f);
    for (int i = 0; i < framesPerSecond; ++i) updateParticles(pool, 1.0f / float(framesPerSecond), glm::vec3(0.0f));
    speedUp = p.velocity.y;
    return p.position;
}

TEST(FrameRate, ASparkFliesTheSamePathAtAnyRate) {
    float up60 = 0.0f, up = 0.0f;
    const glm::vec3 at60 = sparkAfterOneSecond(60, up60);
    for (int rate : {30, 144}) {
        expectVecNear(sparkAfterOneSecond(rate, up), at60, 1e-3f, std::to_string(rate) + " fps");
        EXPECT_NEAR(up, up60, 1e-3f) << rate;
    }
    // As it always fell on a 60 Hz display: one unit of upward speed lost per frame, 60 per second.
    EXPECT_NEAR(up60, 20.0f - 60.0f, 1e-3f);
    expectVecNear(at60, glm::vec3(3.0f, 20.0f - 30.0f, -1.0f), 1e-3f);
}

} // namespace
