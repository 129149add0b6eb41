// Entry point: welcome text, start-up, the frame loop, then shutdown with the session report.
#include <cstdio>

#include "app/game.h"

int main() {
    std::printf("Welcome to Kelvara-Golf! \nUse the mouse to look around. \nPress the left mousebutton to accelerate, "
                "press right to try again. \nHave fun!\n");
    std::fflush(stdout);

    const int status = initialise();
    if (status != 0) {
        return status;
    }
    runFrameLoop();
    shutdown();
    return 0;
}
