// Rolling benchmark: how much speed a ball pushed across flat ground keeps, and how high it hops, for several fixed
// physics substeps, with and without the heightfield's internal-edge info. Usage: bench-rolling (from anywhere).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <BulletCollision/CollisionDispatch/btInternalEdgeUtility.h>
#include <BulletCollision/CollisionShapes/btHeightfieldTerrainShape.h>
#include <BulletCollision/CollisionShapes/btTriangleInfoMap.h>
#include <btBulletDynamicsCommon.h>
#include <glm/geometric.hpp>
#include <stb_image_write.h>

#include "core/physics.h"
#include "core/shader_file.h"
#include "core/terrain.h"

namespace {

constexpr int mapSide = 512;                 // pixels, as the shipped course
constexpr unsigned char flatGrey = 128;      // any level height will do
constexpr float pushSpeed = 20.0f;           // world units per simulated second
constexpr float frameSeconds = 1.0f / 60.0f; // real seconds per frame
constexpr float settleSeconds = 1.0f;        // simulated, before the push
constexpr float rollSeconds = 3.0f;          // simulated, after the push
constexpr float slowestFps = 6.0f;           // the cap keeps real time down to this frame rate
const glm::vec3 startPlace(-150.0f, 5.0f, -150.0f); // far from the extra sphere at the origin and the goal hollow
// Within a grid cell, world units: where the ball starts decides which triangle edges it meets.
const glm::vec2 startOffsets[] = {{0.0f, 0.0f},   {0.5f, 0.25f},  {0.25f, 0.75f}, {0.75f, 0.5f},
                                  {0.1f, 0.3f},   {0.6f, 0.15f},  {0.35f, 0.85f}, {0.85f, 0.6f},
                                  {0.2f, 0.9f},   {0.4f, 0.45f},  {0.15f, 0.65f}, {0.95f, 0.05f}};

struct Setting {
    int substepsPerSecond; // of simulated time; 0 runs the game's own stepPhysics
    bool internalEdges;
    float substep() const { return substepsPerSecond > 0 ? 1.0f / float(substepsPerSecond) : physicsSubstep; }
    // Enough substeps for a frame at slowestFps.
    int cap() const {
        return substepsPerSecond > 0 ? int(std::ceil(worldTimeScale / slowestFps * float(substepsPerSecond)))
                                     : maxSubsteps;
    }
};

struct Run {
    float kept = 0.0f; // horizontal speed after rollSeconds, as a share of pushSpeed
    float hop = 0.0f;  // highest drawn centre above the resting one, world units
    double microsPerSubstep = 0.0; // while rolling
};

// The edge maps must live as long as the heightfields, which stay until the process ends.
std::list<btTriangleInfoMap> edgeMaps;

// Bullet's contact callback: corrects normals that a triangle's inner edge would tilt.
bool adjustEdgeContact(btManifoldPoint& cp, const btCollisionObjectWrapper* wrap0, int partId0, int index0,
                       const btCollisionObjectWrapper* wrap1, int partId1, int index1) {
    if (wrap0->getCollisionShape()->getShapeType() == TRIANGLE_SHAPE_PROXYTYPE) {
        btAdjustInternalEdgeContacts(cp, wrap0, wrap1, partId0, index0);
    } else {
        btAdjustInternalEdgeContacts(cp, wrap1, wrap0, partId1, index1);
    }
    return true;
}

// One test ground: the flat terrain and a world holding the ball, the extra sphere and the heightfield, joined in
// the game's order. Made on the heap: Bullet keeps pointers into it.
struct Ground {
    Terrain terrain; // before the world: the heightfield reads its samples in place
    PhysicsWorld world;
    PhysicsBody ball;
    PhysicsBody body;
};

// The same stepping as stepPhysics, with the substep under test.
void step(Ground& g, const Setting& s) {
    if (s.substepsPerSecond == 0) {
        stepPhysics(g.world, frameSeconds);
        return;
    }
    g.world.dynamicsWorld->stepSimulation(frameSeconds * g.world.timeScale, s.cap(), s.substep());
}

// A world with the ball and the flat ground, made as the game makes its own; null after printing why the heightmap
// could not be read. The start place lies far from any goal hollow, so none is pressed.
std::unique_ptr<Ground> makeWorld(const std::string& heightmap, const Setting& s) {
    auto g = std::make_unique<Ground>();
    try {
        g->terrain = Terrain(decodeHeightmap(heightmap.c_str()), 100.0f);
    } catch (FileNotFoundException* e) {
        std::fprintf(stderr, "cannot read %s\n", heightmap.c_str());
        delete e;
        return nullptr;
    }
    g->ball = createBall(g->world, startPlace);
    addExtraSphere(g->world);
    g->body = createTerrainBody(g->world, g->terrain);
    if (g->body.body == nullptr) {
        std::fprintf(stderr, "%s has no cell\n", heightmap.c_str());
        return nullptr;
    }
    if (s.internalEdges) {
        auto* shape = static_cast<btHeightfieldTerrainShape*>(g->body.body->getCollisionShape());
        edgeMaps.emplace_back();
        btGenerateInternalEdgeInfo(shape, &edgeMaps.back());
        g->body.body->setCollisionFlags(g->body.body->getCollisionFlags() |
                                        btCollisionObject::CF_CUSTOM_MATERIAL_CALLBACK);
        gContactAddedCallback = adjustEdgeContact;
    }
    return g;
}

// Settles the ball at start, pushes it along heading and lets it roll.
Run roll(Ground& g, const Setting& s, const glm::vec3& start, const glm::vec3& heading) {
    Run run;
    placeBall(g.ball, start);
    const int settleFrames = int(std::lround(settleSeconds / (frameSeconds * worldTimeScale)));
    for (int f = 0; f < settleFrames; ++f) step(g, s);
    const float rest = bodyPosition(g.ball).y;

    pushBody(g.ball, glm::normalize(heading) * (ballMass * pushSpeed));
    const int rollFrames = int(std::lround(rollSeconds / (frameSeconds * worldTimeScale)));
    const auto begin = std::chrono::steady_clock::now();
    for (int f = 0; f < rollFrames; ++f) {
        step(g, s);
        run.hop = std::max(run.hop, bodyPosition(g.ball).y - rest);
    }
    const double micros = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count();
    run.microsPerSubstep = micros / (rollSeconds / s.substep());
    const glm::vec3 v = bodyVelocity(g.ball);
    run.kept = glm::length(glm::vec3(v.x, 0.0f, v.z)) / pushSpeed;
    return run;
}

// The worst of every start offset and heading given: the least speed kept, the highest hop.
Run worstRoll(Ground& g, const Setting& s, std::initializer_list<glm::vec3> headings) {
    Run worst{1.0f, 0.0f, 0.0};
    int runs = 0;
    for (const glm::vec3& heading : headings) {
        for (const glm::vec2& offset : startOffsets) {
            const Run r = roll(g, s, startPlace + glm::vec3(offset.x, 0.0f, offset.y), heading);
            worst.kept = std::min(worst.kept, r.kept);
            worst.hop = std::max(worst.hop, r.hop);
            worst.microsPerSubstep += r.microsPerSubstep;
            ++runs;
        }
    }
    worst.microsPerSubstep /= std::max(runs, 1);
    return worst;
}

} // namespace

int main() {
    const std::string heightmap =
        (std::filesystem::temp_directory_path() / ("kelvara-rolling-" + std::to_string(getpid()) + ".png")).string();
    const std::vector<unsigned char> grey(std::size_t(mapSide) * mapSide, flatGrey);
    if (!stbi_write_png(heightmap.c_str(), mapSide, mapSide, 1, grey.data(), mapSide)) {
        std::fprintf(stderr, "cannot write %s\n", heightmap.c_str());
        return 1;
    }

    const Setting settings[] = {
        {0, false},   {60, false}, {120, false}, {180, false}, {240, false}, {300, false}, {360, false},
        {480, false}, {60, true},  {120, true},  {180, true},  {240, true},  {300, true},
    };
    std::printf("flat %d x %d heightmap, pushed to %.0f units/s, %.0f frames per second for %.0f simulated seconds\n"
                "(game: stepPhysics with substep 1/%.0f s, at most %d; ideal rolling keeps 5/7 = 71 %%)\n"
                "worst of %zu starts in a grid cell and two headings each, along the grid (x, z) and diagonally\n",
                mapSide, mapSide, pushSpeed, 1.0f / frameSeconds, rollSeconds, 1.0f / physicsSubstep, maxSubsteps,
                std::size(startOffsets));
    std::printf("substep  cap  edge info  kept along  kept diagonal  hop along  hop diagonal  us per substep\n");
    for (const Setting& s : settings) {
        std::unique_ptr<Ground> ground = makeWorld(heightmap, s);
        if (!ground) {
            std::filesystem::remove(heightmap);
            return 1;
        }
        const Run along = worstRoll(*ground, s, {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}});
        const Run diagonal = worstRoll(*ground, s, {{1.0f, 0.0f, 1.0f}, {1.0f, 0.0f, -1.0f}});
        gContactAddedCallback = nullptr;
        ground.reset();
        const std::string name = s.substepsPerSecond > 0 ? "1/" + std::to_string(s.substepsPerSecond) : "game";
        std::printf("%-7s %4d  %-9s  %8.0f %%  %11.0f %%  %9.2f  %12.2f  %13.1f\n", name.c_str(), s.cap(),
                    s.internalEdges ? "yes" : "no", 100.0f * along.kept, 100.0f * diagonal.kept, along.hop, diagonal.hop,
                    (along.microsPerSubstep + diagonal.microsPerSubstep) / 2.0);
    }
    std::filesystem::remove(heightmap);
    return 0;
}
