// Scripted players for the course simulator: they only turn the camera as a mouse does, boost and reset.
#pragma once

#include <cstddef>
#include <vector>

#include <glm/vec2.hpp>

#include "core/race.h"
#include "core/player_route.h"

enum class PlayerKind {
    Scripted, // aims at its next target along the course and boosts to keep its line
    Idle,     // never touches anything
    Leave,    // boosts straight for the nearest edge of the course
};

struct Player {
    PlayerKind kind = PlayerKind::Scripted;
    std::vector<glm::vec2> route; // the course's centre line
    std::vector<RouteCheckpoint> checkpoints; // the markers it aims at when they come into sight along the line
    std::size_t progress = 0;     // route point nearest the ball so far
    bool boosting = false;        // bringing the speed back up to cruising speed
    float lastSpeed = 0.0f;       // along the line, at the previous frame
    float gain = 0.0f;            // smoothed change of that speed, units per simulated second
};

bool parsePlayerKind(const char* text, PlayerKind& out);
const char* playerKindName(PlayerKind kind);
Player makePlayer(PlayerKind kind, const Course& course);
void restartPlayer(Player& player);
// Decides this frame's input: mouse motion and buttons, as a player's hand would give them.
FrameInput playFrame(Player& player, const Race& race, float deltaTime);
