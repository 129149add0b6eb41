// The orbit camera around the ball, its two follow filters, and the view and projection matrices.
#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

struct FrameInput;
struct Terrain;

struct Camera {
    glm::vec3 target{0.0f};   // point looked at
    glm::vec3 position{0.0f}; // orbit centre: the smoothed ball position
    glm::vec3 front{0.0f, 0.0f, -1.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    glm::vec3 right{1.0f, 0.0f, 0.0f};
    glm::vec3 worldUp{0.0f, 1.0f, 0.0f};
    float yaw = -60.0f;   // degrees, not wrapped
    float pitch = 0.0f;   // degrees, from 89 below the horizon to 8 above
    float distance = 15.0f; // the player's distance of the eye behind the orbit centre, within 5..80
    float sensitivity = 0.5f; // degrees per unit of cursor motion
    bool invertY = false;     // motion up pitches down
    float stickSpeed = 180.0f; // degrees per second with the controller's stick pushed fully
    glm::vec3 followPosition{0.0f};
    glm::vec3 followTarget{0.0f};
    float armDistance = 15.0f; // the eye's actual distance: the player's, shortened where the ground is in the way
};

// Starting values around the start point, looking along heading (yaw, degrees), with the direction vectors
// computed. The player's controls (sensitivity, inversion, stick speed) go back to their defaults.
void resetCamera(Camera& c, const glm::vec3& start, float heading);
// A new race: the camera cuts to the start, facing along heading, keeping the player's pitch, distance and
// controls. A glide back from far away would cross the map and pass through hills on the way.
void cutCameraTo(Camera& c, const glm::vec3& start, float heading);
void updateCameraVectors(Camera& c);
// Turns by the frame's mouse motion and stick, zooms by its scroll and shoulder buttons, clamps, follows the ball,
// and keeps the eye above the ground (none when ground is null).
void updateCamera(Camera& c, const FrameInput& input, const glm::vec3& ball, float deltaTime, const Terrain* ground);
// How far behind the orbit centre, along -front, the eye can go towards wanted and stay clear of the drawn ground:
// wanted on open ground, less where the ground or a hill is in the way. A centre that is not clear itself (the
// camera step lifts it first) leaves the arm at wanted.
float clearArmLength(const glm::vec3& centre, const glm::vec3& front, float wanted, const Terrain* ground);
// The eye of the frame: the orbit centre minus front times the arm.
glm::vec3 cameraEye(const Camera& c);
glm::mat4 cameraView(const Camera& c);
glm::mat4 makeCameraProjection(int framebufferWidth, int framebufferHeight);
