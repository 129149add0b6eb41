// The checkpoint table, the race records as they stand at program load, and the end of the get-ready pause.
#include "core/race_state.h"

const std::array<glm::vec3, checkpointCount> checkpoints = {{
    {146.49858f, 53.190834f, -170.73547f}, // start
    {141.24854f, 20.0f, -70.77913f},
    {45.78613f, -22.39385f, 80.911545f},
    {-86.88912f, -47.12315f, 201.9925f},
    {85.1038f, 17.628458f, -110.7592f},
    {-108.14492f, -14.227075f, -10.720229f},
    {53.117485f, 19.71628f, -144.23117f},
    {-73.28401f, -25.34903f, -68.47487f},
    {-178.2177f, -40.63721f, 17.28054f},
    {-133.0f, -74.5f, 177.0f}, // goal
}};

FrameClock frameClock;
RaceState raceState;

bool rollingIsDue(const RaceState& race, const FrameClock& clock) {
    return race.phase == RacePhase::GetReady &&
           static_cast<double>(clock.totalTime) > static_cast<double>(race.raceStart) + getReadySeconds;
}

bool startRollingIfDue(RaceState& race, const FrameClock& clock) {
    if (!rollingIsDue(race, clock)) {
        return false;
    }
    race.phase = RacePhase::Rolling;
    return true;
}
