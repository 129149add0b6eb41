#include "core/window_fit.h"

#include <algorithm>

WindowSize fitWindowSize(WindowSize wanted, WindowSize available) {
    if (wanted.width <= 0 || wanted.height <= 0 || available.width <= 0 || available.height <= 0 ||
        (wanted.width <= available.width && wanted.height <= available.height)) {
        return wanted;
    }
    // In whole numbers: the side that limits meets the edge exactly, the other is rounded down so it never pokes out.
    const int64_t ww = wanted.width, wh = wanted.height, aw = available.width, ah = available.height;
    WindowSize fitted = available;
    if (aw * wh <= ah * ww) {
        fitted.height = static_cast<int32_t>(std::clamp<int64_t>(wh * aw / ww, 1, ah));
    } else {
        fitted.width = static_cast<int32_t>(std::clamp<int64_t>(ww * ah / wh, 1, aw));
    }
    return fitted;
}
