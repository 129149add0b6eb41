// The first window's size on a screen smaller than the settings ask for.
#pragma once

#include <cstdint>

struct WindowSize {
    int32_t width = 0;
    int32_t height = 0;
};

// The largest size with wanted's aspect that fits in available; wanted itself where it fits (or when either size is
// not positive, so nothing is made up).
WindowSize fitWindowSize(WindowSize wanted, WindowSize available);
