// Scripted players for the course simulator: they only turn the camera as a mouse does, boost and reset.
#pragma once

#include <cstddef>
#include <vector>

#include <glm/vec3.hpp>

#include "app/race.h"

enum class PlayerKind {
    Scripted, // aims at its next target along the course and boosts to keep its line
    Idle,     // never touches anything
    Leave,    // boosts straight for the nearest edge of the course
};

// One point the scripted player steers for: a checkpoint, or a waypoint between two of them.
struct RouteTarget {
    glm::vec3 point;
    int checkpoint; // index into the checkpoint table, or -1 for a waypoint
};

struct Player {
    PlayerKind kind = PlayerKind::Scripted;
    std::vector<RouteTarget> route;
    std::size_t next = 0; // index into route
};

bool parsePlayerKind(const char* text, PlayerKind& out);
const char* playerKindName(PlayerKind kind);
Player makePlayer(PlayerKind kind);
void restartPlayer(Player& player);
// Decides this frame's input: writes mouse motion into the window record, returns the buttons.
FrameInput playFrame(Player& player, float deltaTime);
