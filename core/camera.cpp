// Orbit camera: mouse turns it, the wheel sets the distance, two filters make it glide after the ball, and its arm
// stops short of the ground.
#include "core/camera.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "core/input.h"
#include "core/terrain.h"

namespace {

constexpr float degreesToRadians = 0.017453292f;
constexpr float minDistance = 5.0f, maxDistance = 80.0f; // world units
constexpr float maxPitchDown = 89.0f;                   // degrees below the horizon
// Degrees above it: looking up can only mean an eye low behind the ball, and beyond this it sees mostly sky.
constexpr float maxPitchUp = 8.0f;
constexpr float shoulderZoomSpeed = 20.0f;              // world units per second while a shoulder button is held
constexpr float groundClearance = 0.35f;  // world units between the eye and the drawn ground: clears the near plane
constexpr float armStep = 0.5f;           // world units between the arm's ground checks
constexpr int armRefinements = 8;         // halvings of the step where the arm meets the ground
// The followers close a share of their distance each second, the same in game time at any frame rate. Each rate is
// the one whose share per 1/60 s is what the camera has always closed in a 60 Hz frame.
constexpr float referenceFrameSeconds = 1.0f / 60.0f;
constexpr float armReturnKeepPerReferenceFrame = 0.95f;     // a shortened arm glides back out...
constexpr float positionKeepPerReferenceFrame = 0.95f;      // ...and the orbit centre follows the ball, gently
constexpr float targetKeepPerReferenceFrame = 0.19999999f;  // the point looked at follows it closely
// Handed to glm as radians: 45 rad gives a y scale of 1/tan(22.5 rad), a vertical field of view of about 58.3 degrees.
constexpr float fieldOfViewY = 45.0f;
constexpr float nearPlane = 0.5f, farPlane = 500.0f;

} // namespace

void updateCameraVectors(Camera& c) {
    const float yaw = c.yaw * degreesToRadians;
    const float pitch = c.pitch * degreesToRadians;
    c.front = glm::normalize(glm::vec3(std::cos(yaw) * std::cos(pitch), std::sin(pitch), std::sin(yaw) * std::cos(pitch)));
    c.right = glm::normalize(glm::cross(c.front, c.worldUp));
    c.up = glm::normalize(glm::cross(c.right, c.front));
}

void resetCamera(Camera& c, const glm::vec3& start, float heading) {
    c = Camera{};
    c.yaw = heading;
    c.position = start;
    c.target = start;
    c.followPosition = start;
    c.armDistance = c.distance;
    updateCameraVectors(c);
}

void cutCameraTo(Camera& c, const glm::vec3& start, float heading) {
    c.position = start;
    c.target = start;
    c.followPosition = start;
    c.followTarget = start;
    c.yaw = heading;
    c.armDistance = c.distance;
    updateCameraVectors(c);
}

namespace {

// The share of a follower's distance still left after seconds, for one that keeps keepPerReferenceFrame of it over
// each 1/60 s: exponential, so two half frames close exactly what one whole frame does.
float keptAfter(float keepPerReferenceFrame, float seconds) {
    return std::pow(keepPerReferenceFrame, std::max(seconds, 0.0f) / referenceFrameSeconds);
}

bool clearOfGround(const glm::vec3& p, const Terrain& ground) {
    return p.y >= drawnGroundHeight(ground, p.x, p.z) + groundClearance;
}

} // namespace

float clearArmLength(const glm::vec3& centre, const glm::vec3& front, float wanted, const Terrain* ground) {
    if (ground == nullptr || !clearOfGround(centre, *ground)) {
        return wanted;
    }
    // Walk out from the centre; the first point too near the ground ends the arm, found to a fraction of a step.
    float clear = 0.0f;
    for (float s = std::min(armStep, wanted);; s = std::min(s + armStep, wanted)) {
        if (!clearOfGround(centre - front * s, *ground)) {
            float blocked = s;
            for (int i = 0; i < armRefinements; ++i) {
                const float middle = 0.5f * (clear + blocked);
                if (clearOfGround(centre - front * middle, *ground)) {
                    clear = middle;
                } else {
                    blocked = middle;
                }
            }
            return clear;
        }
        clear = s;
        if (s >= wanted) {
            return wanted;
        }
    }
}

void updateCamera(Camera& c, const FrameInput& input, const glm::vec3& ball, float deltaTime, const Terrain* ground) {
    const float previousDistance = c.distance;
    const float pitchSign = c.invertY ? -1.0f : 1.0f;
    c.yaw += input.mouseDeltaX * c.sensitivity;
    c.pitch += input.mouseDeltaY * c.sensitivity * pitchSign;
    c.distance += input.scrollDelta;
    // The stick and the shoulder buttons are rates, so they scale with the frame time.
    c.yaw += input.stickX * c.stickSpeed * deltaTime;
    c.pitch += input.stickY * c.stickSpeed * deltaTime * pitchSign;
    c.distance += input.zoomRate * shoulderZoomSpeed * deltaTime;

    if (c.distance < minDistance) {
        c.distance = minDistance;
    } else if (c.distance > maxDistance) {
        c.distance = maxDistance;
    }
    if (c.pitch > maxPitchUp) {
        c.pitch = maxPitchUp;
    } else if (c.pitch < -maxPitchDown) {
        c.pitch = -maxPitchDown;
    }
    updateCameraVectors(c);

    const float k = 1.0f - keptAfter(positionKeepPerReferenceFrame, deltaTime);
    c.followPosition = c.followPosition * (1.0f - k) + ball * k;
    c.position = c.followPosition;
    // The ball never dips into the ground, but its lagging follower can, over a crest: the centre stays clear.
    if (ground != nullptr) {
        c.position.y = std::max(c.position.y, drawnGroundHeight(*ground, c.position.x, c.position.z) + groundClearance);
    }

    const float keepTarget = keptAfter(targetKeepPerReferenceFrame, deltaTime);
    c.followTarget = c.followTarget * keepTarget + ball * (1.0f - keepTarget);
    c.target = c.followTarget;

    // In at once, so the eye never passes through the ground; back out gently once the obstacle is gone. An arm
    // that was not held short follows the player's distance exactly, as the wheel sets it.
    const float clear = clearArmLength(c.position, c.front, c.distance, ground);
    if (clear <= c.armDistance || c.armDistance >= previousDistance) {
        c.armDistance = clear;
    } else {
        c.armDistance += (clear - c.armDistance) * (1.0f - keptAfter(armReturnKeepPerReferenceFrame, deltaTime));
    }
}

glm::vec3 cameraEye(const Camera& c) {
    return c.position - c.front * c.armDistance;
}

glm::mat4 cameraView(const Camera& c) {
    return glm::lookAt(cameraEye(c), c.target, c.up);
}

glm::mat4 makeCameraProjection(int framebufferWidth, int framebufferHeight) {
    // A zero-height framebuffer (minimised at creation) would divide by zero.
    const float aspect = framebufferHeight > 0 ? static_cast<float>(framebufferWidth) / static_cast<float>(framebufferHeight)
                                               : 1.0f;
    return glm::perspective(fieldOfViewY, aspect, nearPlane, farPlane);
}
