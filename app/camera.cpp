// Orbit camera: mouse turns it, the wheel sets the distance, two filters make it glide after the ball.
#include "app/camera.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "app/input.h"

Camera camera;
glm::mat4 cameraProjection{1.0f};

namespace {

constexpr float degreesToRadians = 0.017453292f;
constexpr float minDistance = 5.0f, maxDistance = 80.0f; // world units
constexpr float maxPitch = 89.0f;                       // degrees
constexpr float shoulderZoomSpeed = 20.0f;              // world units per second while a shoulder button is held
constexpr float positionFollowRate = 3.0f;              // per second
constexpr float targetKeep = 0.19999999f, targetTake = 0.8f; // per frame, whatever the frame time
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

void resetCamera(Camera& c, const glm::vec3& start) {
    c = Camera{};
    c.position = start;
    c.target = start;
    c.followPosition = start;
    updateCameraVectors(c);
}

void updateCamera(Camera& c, const FrameInput& input, const glm::vec3& ball, float deltaTime) {
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
    if (c.pitch > maxPitch) {
        c.pitch = maxPitch;
    } else if (c.pitch < -maxPitch) {
        c.pitch = -maxPitch;
    }
    updateCameraVectors(c);

    // Capped at 1 so one long frame lands on the ball instead of overshooting it.
    const float k = std::min(positionFollowRate * deltaTime, 1.0f);
    c.followPosition = c.followPosition * (1.0f - k) + ball * k;
    c.position = c.followPosition;

    c.followTarget = c.followTarget * targetKeep + ball * targetTake;
    c.target = c.followTarget;
}

glm::vec3 cameraEye(const Camera& c) {
    return c.position - c.front * c.distance;
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
