// The end of the get-ready pause.
#include "core/race_state.h"

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
