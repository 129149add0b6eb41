// The scripted players: steering by camera turns and boost, from what a player sees of the ball.
#include "tools/simulate/player.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <glm/geometric.hpp>

#include "app/camera.h"
#include "app/window.h"
#include "course/physics.h"
#include "course/terrain.h"
#include "tools/simulate/route.h"

namespace {

constexpr float radiansToDegrees = 57.29578f;
constexpr float turnRate = 720.0f;        // degrees per second a wrist can turn the camera
constexpr float viewPitch = -12.0f;       // degrees: looking slightly down at the ball
constexpr std::size_t searchAhead = 30;   // route points searched beyond the last nearest one
constexpr std::size_t lookAhead = 8;     // route points between the nearest one and the aim
constexpr float cruiseSpeed = 26.0f;      // simulated units per second wanted along the course
constexpr float correctionThreshold = 4.0f; // velocity error worth spending boost on
constexpr float aimTolerance = 0.9f;      // cosine between view and wanted push before boosting

float wrapDegrees(float a) {
    while (a > 180.0f) a -= 360.0f;
    while (a < -180.0f) a += 360.0f;
    return a;
}

// Turns the camera towards a horizontal direction at most as fast as a hand can, as mouse motion.
void turnTowards(const glm::vec3& direction, float deltaTime) {
    const float wantedYaw = std::atan2(direction.z, direction.x) * radiansToDegrees;
    const float maxTurn = turnRate * deltaTime;
    const float yawStep = std::clamp(wrapDegrees(wantedYaw - camera.yaw), -maxTurn, maxTurn);
    const float pitchStep = std::clamp(viewPitch - camera.pitch, -maxTurn, maxTurn);
    window.mouseDeltaX = yawStep / camera.sensitivity;
    window.mouseDeltaY = pitchStep / camera.sensitivity;
}

glm::vec3 horizontal(const glm::vec3& v) {
    return {v.x, 0.0f, v.z};
}

// Follows the centre line: finds the route point nearest the ball a little ahead of the last one, and aims further on.
glm::vec3 routeTarget(Player& player, const glm::vec3& ball) {
    const glm::vec2 here(ball.x, ball.z);
    const std::size_t end = std::min(player.route.size(), player.progress + searchAhead);
    float best = glm::length(player.route[player.progress] - here);
    for (std::size_t i = player.progress + 1; i < end; ++i) {
        const float d = glm::length(player.route[i] - here);
        if (d < best) {
            best = d;
            player.progress = i;
        }
    }
    const std::size_t aim = std::min(player.route.size() - 1, player.progress + lookAhead);
    return {player.route[aim].x, ball.y, player.route[aim].y};
}

FrameInput steerScripted(Player& player, float deltaTime) {
    FrameInput input;
    if (player.route.empty()) {
        return input;
    }
    const glm::vec3 ball = ballPosition();
    const glm::vec3 toTarget = horizontal(routeTarget(player, ball) - ball);
    if (glm::length(toTarget) < 1e-3f) {
        return input;
    }
    const glm::vec3 wanted = glm::normalize(toTarget) * cruiseSpeed;
    const glm::vec3 error = wanted - horizontal(ballVelocity());
    if (glm::length(error) > correctionThreshold && raceState.boost > 0.0f) {
        const glm::vec3 push = glm::normalize(error);
        turnTowards(push, deltaTime);
        input.boostDown = glm::dot(glm::normalize(horizontal(camera.front)), push) > aimTolerance;
    } else {
        turnTowards(toTarget, deltaTime);
    }
    return input;
}

FrameInput steerOffCourse(float deltaTime) {
    FrameInput input;
    const glm::vec3 ball = ballPosition();
    // The nearest edge of the course rectangle.
    const float halfW = terrain ? terrain->width / 2.0f : 256.0f;
    const float halfH = terrain ? terrain->height / 2.0f : 256.0f;
    const float gaps[4] = {halfW - ball.x, ball.x + halfW, halfH - ball.z, ball.z + halfH};
    const glm::vec3 directions[4] = {{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}};
    const std::size_t nearest = static_cast<std::size_t>(std::min_element(gaps, gaps + 4) - gaps);
    turnTowards(directions[nearest], deltaTime);
    input.boostDown = glm::dot(glm::normalize(horizontal(camera.front)), directions[nearest]) > aimTolerance;
    return input;
}

} // namespace

bool parsePlayerKind(const char* text, PlayerKind& out) {
    for (PlayerKind kind : {PlayerKind::Scripted, PlayerKind::Idle, PlayerKind::Leave}) {
        if (std::strcmp(text, playerKindName(kind)) == 0) {
            out = kind;
            return true;
        }
    }
    return false;
}

const char* playerKindName(PlayerKind kind) {
    switch (kind) {
    case PlayerKind::Scripted: return "scripted";
    case PlayerKind::Idle: return "idle";
    case PlayerKind::Leave: return "leave";
    }
    return "scripted";
}

Player makePlayer(PlayerKind kind) {
    Player player;
    player.kind = kind;
    player.route = courseRoute();
    return player;
}

void restartPlayer(Player& player) {
    player.progress = 0;
}

FrameInput playFrame(Player& player, float deltaTime) {
    if (raceState.phase != RacePhase::Rolling) {
        return {};
    }
    switch (player.kind) {
    case PlayerKind::Scripted: return steerScripted(player, deltaTime);
    case PlayerKind::Leave: return steerOffCourse(deltaTime);
    case PlayerKind::Idle: break;
    }
    return {};
}
