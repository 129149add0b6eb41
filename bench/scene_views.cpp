// Picture check for rendering changes: starts the game from its data folder and saves the start view and a set of
// fixed course views (the frame without the HUD) as PNG files, so two builds can be compared pixel by pixel.
// Usage, from data/: bench-scene_views OUTPUT_FOLDER
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <btBulletDynamicsCommon.h>

#include "app/game.h"
#include "core/camera.h"
#include "core/course.h"
#include "core/input.h"
#include "core/physics.h"
#include "core/race.h"
#include "gl/bloom.h"
#include "gl/composite.h"
#include "gl/renderer.h"
#include "gl/scene.h"
#include "gl/shadow_map.h"
#include "core/image_io.h"

namespace {

// A view: the ball (and the orbit centre) at a checkpoint, the camera turned and pulled back.
struct View {
    const char* name;
    std::size_t checkpoint;
    float yaw;      // degrees
    float pitch;    // degrees, negative below the horizon
    float distance; // world units
};
const View views[] = {
    {"course1", 1, -60.0f, -12.0f, 15.0f},  {"course2", 2, 30.0f, -20.0f, 25.0f},
    {"course3", 4, 150.0f, -8.0f, 40.0f},   {"course4", 6, -150.0f, -30.0f, 80.0f},
    {"course5", 8, 90.0f, 5.0f, 10.0f},     {"overview", 3, 0.0f, -60.0f, 80.0f},
    {"horizon", 5, 200.0f, 8.0f, 80.0f},
};

void moveBallTo(Race& race, const glm::vec3& p) {
    btTransform at;
    at.setIdentity();
    at.setOrigin(btVector3(p.x, p.y, p.z));
    race.ball.body->setWorldTransform(at);
    race.ball.body->getMotionState()->setWorldTransform(at);
}

bool saveFrame(Game& game, const std::string& path) {
    const int width = game.window.framebufferWidth, height = game.window.framebufferHeight;
    const RenderFlags flags;
    // The flag waves at wall time 0: every build draws it at the same moment.
    constexpr double waveSeconds = 0.0;
    renderShadowPass(game.renderer, *game.race);
    renderScenePass(game.renderer, *game.race, flags, width, height, waveSeconds);
    if (flags.bloomEnabled) renderBloom(game.renderer, width, height);
    renderComposite(game.renderer, flags, width, height, flags.bloomEnabled);
    glFinish();
    Image8 image;
    image.width = width;
    image.height = height;
    image.channels = 3;
    std::vector<uint8_t> rows(std::size_t(image.width) * std::size_t(image.height) * 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    // GL reads the bottom row first; PNG starts at the top.
    image.pixels.resize(rows.size());
    const std::size_t stride = std::size_t(image.width) * 3;
    for (int y = 0; y < image.height; ++y) {
        std::copy_n(&rows[std::size_t(image.height - 1 - y) * stride], stride, &image.pixels[std::size_t(y) * stride]);
    }
    glfwSwapBuffers(game.window.handle);
    std::string error;
    if (!writePng8(path, image, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench-scene_views OUTPUT_FOLDER (from the data folder)\n");
        return 2;
    }
    const std::string out = argv[1];
    std::string error;
    const auto game = std::make_unique<Game>();
    if (!ensureDirectory(out, error) || initialise(*game, defaultCourseId) != 0) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Race& race = *game->race;
    Camera& camera = race.camera;
    // The first frame after start-up differs (the ball's maps are bound by the frame before), so it is drawn twice.
    bool ok = saveFrame(*game, out + "/start0.png");
    ok = saveFrame(*game, out + "/start.png") && ok;
    for (const View& v : views) {
        if (v.checkpoint >= race.course.checkpoints.size()) continue;
        const glm::vec3 ball = race.course.checkpoints[v.checkpoint];
        moveBallTo(race, ball);
        camera.position = camera.followPosition = ball;
        camera.target = camera.followTarget = ball;
        camera.yaw = v.yaw;
        camera.pitch = v.pitch;
        camera.distance = camera.armDistance = v.distance;
        updateCameraVectors(camera);
        ok = saveFrame(*game, out + "/" + v.name + ".png") && ok;
    }
    releaseGame(*game);
    return ok ? 0 : 1;
}
