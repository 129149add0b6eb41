// The orbit camera around the ball, its two follow filters, and the view and projection matrices.
#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

struct FrameInput;

struct Camera {
    glm::vec3 target{0.0f};   // point looked at
    glm::vec3 position{0.0f}; // orbit centre: the smoothed ball position
    glm::vec3 front{0.0f, 0.0f, -1.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    glm::vec3 right{1.0f, 0.0f, 0.0f};
    glm::vec3 worldUp{0.0f, 1.0f, 0.0f};
    float yaw = -60.0f;   // degrees, not wrapped
    float pitch = 0.0f;   // degrees, within -89..89
    float distance = 15.0f; // eye behind the orbit centre, within 5..80
    float sensitivity = 0.5f; // degrees per unit of cursor motion
    bool invertY = false;     // motion up pitches down
    float stickSpeed = 180.0f; // degrees per second with the controller's stick pushed fully
    glm::vec3 followPosition{0.0f};
    glm::vec3 followTarget{0.0f};
};

// Start-up gives it its starting values; the camera step moves it every frame.
extern Camera camera;
// Computed at start-up from the framebuffer size, and again whenever that size changes.
extern glm::mat4 cameraProjection;

// Starting values around the start point, with the direction vectors computed.
void resetCamera(Camera& c, const glm::vec3& start);
void updateCameraVectors(Camera& c);
// Turns by the frame's mouse motion and stick, zooms by its scroll and shoulder buttons, clamps, and follows the ball.
void updateCamera(Camera& c, const FrameInput& input, const glm::vec3& ball, float deltaTime);
glm::vec3 cameraEye(const Camera& c);
glm::mat4 cameraView(const Camera& c);
glm::mat4 makeCameraProjection(int framebufferWidth, int framebufferHeight);
