// Course-making benchmark: makes and proves the courses of consecutive seeds at each difficulty, as the game does in
// the background, and reports per difficulty the median and worst time, how many designs were refused, and the
// margins the proving runs won with. Exits 1 when a seed gave no course.
// Usage: bench-course_making [seeds] [first seed] [easy|medium|hard ...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/course_maker.h"

int main(int argc, char** argv) {
    const int seeds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const uint32_t first = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1u;
    std::vector<Difficulty> difficulties;
    for (int i = 3; i < argc; ++i) {
        Difficulty d;
        if (!parseDifficulty(argv[i], d)) {
            std::fprintf(stderr, "bench-course_making: '%s' is no difficulty (easy, medium, hard)\n", argv[i]);
            return 2;
        }
        difficulties.push_back(d);
    }
    if (difficulties.empty()) difficulties = {Difficulty::Easy, Difficulty::Medium, Difficulty::Hard};

    bool allMade = true;
    for (Difficulty difficulty : difficulties) {
        std::vector<double> seconds;
        int designs = 0;
        int redrawn = 0;
        float leastMargin = 1e9f;
        float mostMargin = 0.0f;
        for (int k = 0; k < seeds; ++k) {
            CourseRequest request;
            request.seed = first + static_cast<uint32_t>(k);
            request.difficulty = difficulty;
            MadeCourse made;
            std::string error;
            const auto start = std::chrono::steady_clock::now();
            const bool ok = makeCourse(request, made, nullptr, error);
            seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            if (!ok) {
                std::printf("%s: %s\n", seedCourseId(request).c_str(), error.c_str());
                allMade = false;
                continue;
            }
            designs += made.attempts;
            redrawn += made.routesRedrawn;
            for (float m : made.margins) {
                leastMargin = std::min(leastMargin, m);
                mostMargin = std::max(mostMargin, m);
            }
            std::printf("%s: %.2f s, design %d, %.2f / %.2f s left at 30 / 144 fps, gold %.0f s\n",
                        seedCourseId(request).c_str(), seconds.back(), made.attempts, double(made.margins[0]),
                        double(made.margins[1]), double(made.course.goldSeconds));
        }
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        const double median = sorted.size() % 2 == 1 ? sorted[sorted.size() / 2]
                                                     : 0.5 * (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]);
        std::printf("%s: %d seeds, median %.2f s, worst %.2f s; %d of %d designs refused; %d routes redrawn at once "
                    "for running into themselves; margins %.2f to %.2f s\n",
                    difficultyName(difficulty), seeds, median, sorted.back(), designs - seeds, designs, redrawn,
                    double(leastMargin), double(mostMargin));
    }
    return allMade ? 0 : 1;
}
