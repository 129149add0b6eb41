// The scripted players: steering by camera turns and boost, from what a player sees of the ball.
#include "core/auto_player.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <glm/geometric.hpp>

#include "core/player_route.h"

namespace {

constexpr float radiansToDegrees = 57.29578f;
constexpr float turnRate = 720.0f;          // degrees per second a wrist can turn the camera
constexpr float leavePitch = -12.0f;        // degrees: the careless player looks slightly down at the ball
constexpr float maxPitch = 30.0f;           // degrees either way when aiming a push along a slope
constexpr std::size_t searchAhead = 30;     // route points searched beyond the last nearest one
constexpr std::size_t checkpointSteerEnd = 2; // route points before a checkpoint where steering for it stops
constexpr float minLookAhead = 20.0f;      // world units from the ball to the point aimed at...
constexpr float lookAheadTime = 1.0f;      // ...or the distance covered in this many simulated seconds
// Speeds in simulated units per second. Boost buys most where the ball is slow: on the flat and on climbs, not on a
// slope that speeds it up anyway. A rolling ball keeps its speed, so most of the boost goes into holding the line.
constexpr float stallSpeed = 6.0f;         // always boost below this...
constexpr float minSpeed = 16.0f;          // ...and below this unless the ball is gaining speed by itself...
constexpr float cruiseSpeed = 18.0f;       // ...until it is this fast
constexpr float hairpinSpeed = 12.0f;      // no boosting beyond this into a sharp turn
constexpr float sharpTurn = 70.0f;         // degrees of turn...
constexpr float turnLookAhead = 30.0f;     // ...within this many world units ahead
constexpr float selfGain = 0.5f;           // units per simulated second of speed gained without help
constexpr float gainSmoothing = 0.3f;      // seconds over which that gain is averaged
constexpr float boostReserve = 0.4f;       // kept for the line through the first loop, stalls on the climbs and the
                                           // long flat stretch near the end
constexpr float lateralLimit = 5.0f;       // units per second across the line worth a push back
constexpr float aimTolerance = 0.95f;      // cosine between view and wanted push before boosting

float wrapDegrees(float a) {
    while (a > 180.0f) a -= 360.0f;
    while (a < -180.0f) a += 360.0f;
    return a;
}

glm::vec3 horizontal(const glm::vec3& v) {
    return {v.x, 0.0f, v.z};
}

// Turns the camera towards a direction at most as fast as a hand can, as mouse motion.
void turnTowards(FrameInput& input, const Camera& camera, const glm::vec3& direction, float pitch, float deltaTime) {
    const float wantedYaw = std::atan2(direction.z, direction.x) * radiansToDegrees;
    const float maxTurn = turnRate * deltaTime;
    const float yawStep = std::clamp(wrapDegrees(wantedYaw - camera.yaw), -maxTurn, maxTurn);
    const float pitchStep = std::clamp(pitch - camera.pitch, -maxTurn, maxTurn);
    input.mouseDeltaX = yawStep / camera.sensitivity;
    input.mouseDeltaY = pitchStep / camera.sensitivity;
}

// Follows the centre line: finds the route point nearest the ball a little ahead of the last one, and aims further
// on by a distance that grows with the speed.
glm::vec2 routeAim(Player& player, const Race& race, const glm::vec3& ball, float speed) {
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
    const float look = std::max(minLookAhead, speed * lookAheadTime);
    const std::size_t aim = std::min(player.route.size() - 1,
                                     player.progress + static_cast<std::size_t>(std::ceil(look / routeSpacing)));
    // As a player steers for a marker in sight: the next uncollected checkpoint ahead, when no further on than the
    // aim. One that was passed without touching it is left behind.
    for (const RouteCheckpoint& c : player.checkpoints) {
        if (race.state.reached[c.index] || c.routePoint < player.progress + checkpointSteerEnd) {
            continue;
        }
        if (c.routePoint <= aim) {
            return {race.course.checkpoints[c.index].x, race.course.checkpoints[c.index].z};
        }
        break;
    }
    return player.route[aim];
}

// True when the centre line turns by more than sharpTurn within the next turnLookAhead units.
bool sharpTurnAhead(const Player& player) {
    const std::size_t last = player.route.size() - 1;
    const std::size_t a = std::min(last, player.progress);
    const std::size_t b = std::min(last, a + 1);
    const std::size_t c = std::min(last, a + static_cast<std::size_t>(turnLookAhead / routeSpacing));
    const std::size_t d = std::min(last, c + 1);
    if (a == b || c == d) {
        return false;
    }
    const glm::vec2 now = glm::normalize(player.route[b] - player.route[a]);
    const glm::vec2 later = glm::normalize(player.route[d] - player.route[c]);
    return glm::dot(now, later) < std::cos(sharpTurn / radiansToDegrees);
}

FrameInput steerScripted(Player& player, const Race& race, float deltaTime) {
    FrameInput input;
    if (player.route.empty()) {
        return input;
    }
    const glm::vec3 ball = ballPosition(race);
    const glm::vec3 velocity = ballVelocity(race);
    const glm::vec3 flat = horizontal(velocity);
    const glm::vec2 aim = routeAim(player, race, ball, glm::length(flat));
    const glm::vec3 toAim(aim.x - ball.x, 0.0f, aim.y - ball.z);
    if (glm::length(toAim) < 1e-3f) {
        return input;
    }
    const glm::vec3 along = glm::normalize(toAim);
    const float speed = glm::dot(flat, along);
    const glm::vec3 across = flat - along * speed;

    // Speed keeping with a hysteresis up to cruiseSpeed, and a push back towards the line when drifting across it.
    const float gain = deltaTime > 0.0f ? (speed - player.lastSpeed) / (deltaTime * worldTimeScale) : 0.0f;
    player.lastSpeed = speed;
    player.gain += (gain - player.gain) * std::min(1.0f, deltaTime / gainSmoothing);
    // Into a hairpin no faster than it can be taken near the middle of the channel.
    const float limit = sharpTurnAhead(player) ? std::min(cruiseSpeed, hairpinSpeed) : cruiseSpeed;
    if (speed < stallSpeed ||
        (speed < std::min(minSpeed, limit) && player.gain < selfGain && race.state.boost > boostReserve)) {
        player.boosting = true;
    } else if (speed >= limit || (race.state.boost <= boostReserve && speed >= stallSpeed)) {
        player.boosting = false;
    }
    const float wantedSpeed = player.boosting ? limit : std::max(speed, 0.0f);
    const glm::vec3 error = along * wantedSpeed - flat;
    const bool wantPush = race.state.boost > 0.0f && (player.boosting || glm::length(across) > lateralLimit) &&
                          glm::length(error) > 0.5f;
    // Push along the slope the ball is on, so no boost goes into the ground.
    const float flatSpeed = glm::length(flat);
    const float slopePitch =
        flatSpeed > 1.0f ? std::clamp(std::atan2(velocity.y, flatSpeed) * radiansToDegrees, -maxPitch, maxPitch)
                         : 0.0f;
    if (wantPush) {
        const glm::vec3 push = glm::normalize(error);
        turnTowards(input, race.camera, push, slopePitch, deltaTime);
        input.boostDown = glm::dot(glm::normalize(horizontal(race.camera.front)), push) > aimTolerance;
    } else {
        turnTowards(input, race.camera, along, slopePitch, deltaTime);
    }
    return input;
}

FrameInput steerOffCourse(const Race& race, float deltaTime) {
    FrameInput input;
    const glm::vec3 ball = ballPosition(race);
    // The nearest edge of the course rectangle.
    const float halfW = race.terrain.width / 2.0f;
    const float halfH = race.terrain.height / 2.0f;
    const float gaps[4] = {halfW - ball.x, ball.x + halfW, halfH - ball.z, ball.z + halfH};
    const glm::vec3 directions[4] = {{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}};
    const std::size_t nearest = static_cast<std::size_t>(std::min_element(gaps, gaps + 4) - gaps);
    turnTowards(input, race.camera, directions[nearest], leavePitch, deltaTime);
    input.boostDown = glm::dot(glm::normalize(horizontal(race.camera.front)), directions[nearest]) > aimTolerance;
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

Player makePlayer(PlayerKind kind, const Course& course) {
    Player player;
    player.kind = kind;
    player.route = courseRoute(course);
    player.checkpoints = courseRouteCheckpoints(course);
    return player;
}

void restartPlayer(Player& player) {
    player.progress = 0;
    player.boosting = false;
    player.lastSpeed = 0.0f;
    player.gain = 0.0f;
}

FrameInput playFrame(Player& player, const Race& race, float deltaTime) {
    if (race.state.phase != RacePhase::Rolling) {
        return {};
    }
    switch (player.kind) {
    case PlayerKind::Scripted: return steerScripted(player, race, deltaTime);
    case PlayerKind::Leave: return steerOffCourse(race, deltaTime);
    case PlayerKind::Idle: break;
    }
    return {};
}
