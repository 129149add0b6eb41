// Sound: the events a frame asks for (landings and rolling from real contacts on a flat ground, the countdown
// ticks, the empty boost, the reset cue, levels that follow speed) and the shipped sound files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include <btBulletDynamicsCommon.h>
#include <glm/geometric.hpp>
#include <sndfile.h>

#include "core/contacts.h"
#include "core/terrain.h"
#include "core/sound_clip.h"
#include "core/sound_events.h"
#include "tests/support/files.h"

namespace {

constexpr float frameSeconds = 1.0f / 60.0f;
constexpr float restingY = 1.0f; // ball centre on level samples of 0: the surface sits 0.5 up, the radius is 0.5

// A level square of ground and the ball, stepped frame by frame through the sound rules as the race does.
struct GroundRun {
    Terrain ground{HeightGrid{256, 256, std::vector<int16_t>(256 * 256, 0)}, 100.0f};
    PhysicsWorld world; // after the ground, whose heights it reads in place
    PhysicsBody ball;
    SoundMemory memory;
    int thuds = 0, rollingFrames = 0;
    float hardestThud = 0.0f;

    explicit GroundRun(const glm::vec3& start) {
        createTerrainBody(world, ground);
        ball = createBall(world, start);
    }
    void run(int frames) {
        for (int i = 0; i < frames; ++i) {
            const btVector3 v = ball.body->getLinearVelocity();
            stepPhysics(world, frameSeconds);
            const BallContact contact = ballContact(world, ball, glm::vec3(v.x(), v.y(), v.z()));
            const float impact = landingImpact(contact.closingSpeed, v.length());
            thuds += impact > 0.0f ? 1 : 0;
            hardestThud = std::max(hardestThud, impact);
            rollingFrames += rollingOnGround(memory, contact.touching, frameSeconds) ? 1 : 0;
        }
    }
};

TEST(LandingSound, AHardLandingThudsOnceASoftDropOnlyRollsAndSkippingOverLevelGroundNeverThuds) {
    // Heights in world units above resting.
    struct Drop { float height; int thuds; };
    for (const Drop& d : {Drop{0.3f, 0}, Drop{6.0f, 1}}) {
        GroundRun run(glm::vec3(0.0f, restingY + d.height, 0.0f));
        run.run(20); // still falling from 6 units: not heard rolling
        if (d.height > 1.0f) { EXPECT_EQ(run.rollingFrames, 0); }
        run.run(100);
        EXPECT_EQ(run.thuds, d.thuds) << "dropped from " << d.height;
        EXPECT_EQ(run.memory.airborneSeconds, 0.0f) << "comes to rest on the ground";
        if (d.thuds > 0) { EXPECT_GT(landingGain(run.hardestThud), softestLandingGain) << "about 10 units per second"; }
    }

    // Bullet's triangle edges throw the ball up now and then, harder the faster it goes.
    // Speeds in world units per second, diagonally across the grid.
    struct Roll { float speed; int frames; bool heardThroughout; };
    for (const Roll& r : {Roll{12.0f, 120, true}, Roll{25.0f, 200, false}}) {
        const glm::vec3 along = glm::normalize(glm::vec3(1.0f, 0.0f, 1.0f));
        GroundRun run(-along * 90.0f + glm::vec3(0.0f, restingY, 0.0f));
        run.run(30);
        run.ball.body->setLinearVelocity(btVector3(along.x, 0.0f, along.z) * r.speed);
        const int rollingBefore = run.rollingFrames;
        run.run(r.frames);
        EXPECT_EQ(run.thuds, 0) << r.speed;
        if (r.heardThroughout) { EXPECT_EQ(run.rollingFrames - rollingBefore, r.frames) << r.speed; }
        EXPECT_GT(run.ball.body->getWorldTransform().getOrigin().x(), -along.x * 90.0f + 10.0f) << "it really rolled";
    }
    SoundMemory memory;
    int rolling = 0;
    for (int i = 0; i < 60; ++i) rolling += rollingOnGround(memory, i == 0, frameSeconds) ? 1 : 0;
    EXPECT_EQ(rolling, static_cast<int>(std::ceil(groundGraceSeconds / frameSeconds))) << "a longer flight is silent";
}

TEST(SoundMoments, TicksForTheLastFiveSecondsOneClickAndCuePerPressAndLevelsThatFollowSpeed) {
    std::vector<float> tickedAt;
    for (float timer = 8.0f; timer > -1.0f; timer -= frameSeconds)
        if (countdownTick(timer, timer - frameSeconds)) tickedAt.push_back(timer);
    ASSERT_EQ(tickedAt.size(), 5u);
    for (std::size_t i = 0; i < tickedAt.size(); ++i)
        EXPECT_NEAR(tickedAt[i], 5.0f - static_cast<float>(i), frameSeconds);
    EXPECT_TRUE(countdownTick(5.5f, 3.5f)) << "a long frame still ticks, once";
    EXPECT_FALSE(countdownTick(4.5f, 9.5f)) << "a checkpoint's bonus is no tick";
    EXPECT_FALSE(countdownTick(6.0f, 5.01f));

    // The empty boost clicks once per press, and the reset cues once per press.
    struct Step { bool down; float reserve; bool click; };
    const Step steps[] = {
        {true, 0.3f, false},  {true, 0.01f, false}, {true, -0.002f, true}, // held until it ran out
        {true, -0.002f, false}, {false, -0.002f, false},                  // still held, then let go
        {true, 0.0f, true},   {true, 0.0f, false},   {false, 0.0f, false}, // pressed on an empty reserve
        {true, 0.5f, false},                                               // a checkpoint refilled it
    };
    SoundMemory memory;
    for (std::size_t i = 0; i < std::size(steps); ++i)
        EXPECT_EQ(boostEmptyClick(memory, steps[i].down, steps[i].reserve), steps[i].click) << "step " << i;
    const bool resets[] = {true, true, true, false, true};
    const bool cues[] = {true, false, false, false, true};
    for (std::size_t i = 0; i < std::size(resets); ++i) EXPECT_EQ(resetPressed(memory, resets[i]), cues[i]) << i;

    // Rolling gets louder and higher with speed, and thuds with impact.
    EXPECT_EQ(rollingGain(0.0f), 0.0f) << "a resting ball is silent";
    float gain = 0.0f, pitch = 0.0f;
    for (const float speed : {1.0f, 5.0f, 12.0f, loudRollSpeed}) {
        EXPECT_GT(rollingGain(speed), gain) << speed;
        EXPECT_GT(rollingPitch(speed), pitch) << speed;
        gain = rollingGain(speed);
        pitch = rollingPitch(speed);
    }
    EXPECT_FLOAT_EQ(rollingGain(3.0f * loudRollSpeed), 1.0f);
    EXPECT_EQ(landingGain(minLandingSpeed * 0.9f), 0.0f);
    EXPECT_LT(landingGain(minLandingSpeed), landingGain(loudLandingSpeed));
    EXPECT_FLOAT_EQ(landingGain(2.0f * loudLandingSpeed), 1.0f);
}

// --- Sound files ---

TEST(SoundFiles, TheShippedAreMonoAtTheGameRateBelowFullScaleWithoutClicksAndStereoIsRefused) {
    for (const SoundFile& file : soundFiles) {
        SoundClip clip;
        std::string error;
        ASSERT_TRUE(decodeSound(dataFile(file.path).c_str(), clip, error)) << error;
        EXPECT_EQ(clip.sampleRate, soundSampleRate) << file.path;
        const std::vector<int16_t>& s = clip.samples;
        int peak = 0;
        double meanStep = 0.0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            peak = std::max(peak, std::abs(int(s[i])));
            if (i > 0) meanStep += std::abs(int(s[i]) - int(s[i - 1]));
        }
        meanStep /= static_cast<double>(s.size() - 1);
        EXPECT_LT(peak, 31000) << file.path << " leaves headroom";
        EXPECT_GT(peak, 16000) << file.path << " is not needlessly quiet";
        if (file.loops) {
            EXPECT_LT(std::abs(int(s.back()) - int(s.front())), 4.0 * meanStep) << file.path << " loops seamlessly";
        } else {
            EXPECT_LE(std::abs(int(s.front())), 2) << file.path << " starts on silence";
            EXPECT_LE(std::abs(int(s.back())), 2) << file.path << " ends on silence";
        }
    }

    // Missing and stereo files are refused, naming them.
    TempDir dir;
    SoundClip clip;
    std::string error;
    const std::string missing = dir.path("none.flac");
    EXPECT_FALSE(decodeSound(missing.c_str(), clip, error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;

    const std::string stereo = dir.path("stereo.flac");
    SF_INFO info{0, soundSampleRate, 2, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* out = sf_open(stereo.c_str(), SFM_WRITE, &info);
    ASSERT_NE(out, nullptr);
    const std::vector<short> frames(200, 1000);
    sf_writef_short(out, frames.data(), 100);
    sf_close(out);
    EXPECT_FALSE(decodeSound(stereo.c_str(), clip, error));
    EXPECT_NE(error.find("mono"), std::string::npos) << error;
    EXPECT_TRUE(clip.samples.empty());
}

} // namespace
