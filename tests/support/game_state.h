// Saves the game's globals for one test, hands it fresh ones and puts the saved ones back: every fixture uses this.
#pragma once

#include <vector>

#include "core/camera.h"
#include "core/input.h"
#include "core/race_state.h"
#include "core/records.h"
#include "core/settings.h"
#include "core/physics.h"
#include "core/terrain.h"
#include "core/particles.h"
#include "core/sound_events.h"

// Fresh means: the records at their load values, the camera behind the start, a new physics world holding the ball
// on the start and the extra sphere, no terrain, an empty particle pool, no sound moments and no personal records. A terrain a test makes (with new) is
// released with the world.
class FreshGame {
public:
    FreshGame() {
        raceState = RaceState{};
        frameClock = FrameClock{};
        renderFlags = RenderFlags{};
        resetCamera(camera, checkpoints[0]);
        physicsWorld = createPhysicsWorld();
        ballBody = terrainBody = nullptr;
        terrain = nullptr;
        setupPhysics();
        createParticlePool();
        soundFrame = SoundFrame{};
        soundMemory = SoundMemory{};
        personalRecords = PersonalRecords{};
    }
    ~FreshGame() {
        shutdownPhysics();
        releaseTerrain();
        raceState = race;
        frameClock = clock;
        renderFlags = flags;
        camera = view;
        cameraProjection = projection;
        physicsWorld = world;
        ballBody = ball;
        terrainBody = ground;
        terrain = course;
        particlePool = particles;
        settings = settingsRecord;
        soundFrame = sounds;
        soundMemory = soundState;
        personalRecords = records;
    }
    FreshGame(const FreshGame&) = delete;
    FreshGame& operator=(const FreshGame&) = delete;

private:
    // Initialised before the constructor's body runs, so they hold the values from before the test.
    RaceState race = raceState;
    FrameClock clock = frameClock;
    RenderFlags flags = renderFlags;
    Camera view = camera;
    glm::mat4 projection = cameraProjection;
    PhysicsWorld* world = physicsWorld;
    PhysicsBody* ball = ballBody;
    PhysicsBody* ground = terrainBody;
    Terrain* course = terrain;
    std::vector<Particle> particles = particlePool;
    Settings* settingsRecord = settings;
    SoundFrame sounds = soundFrame;
    SoundMemory soundState = soundMemory;
    PersonalRecords records = personalRecords;
};
