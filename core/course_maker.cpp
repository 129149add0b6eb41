// Courses from seeds: the request's names and parsing; the making itself is below.
#include "core/course_maker.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace {

constexpr const char* difficultyNames[difficultyCount] = {"easy", "medium", "hard"};
constexpr const char* seedPrefix = "seed:";

} // namespace

const char* difficultyName(Difficulty difficulty) {
    return difficultyNames[static_cast<int>(difficulty)];
}

bool parseDifficulty(const std::string& text, Difficulty& out) {
    for (int i = 0; i < difficultyCount; ++i) {
        if (text == difficultyNames[i]) {
            out = static_cast<Difficulty>(i);
            return true;
        }
    }
    return false;
}

SeedParse parseSeedCourse(const std::string& text, CourseRequest& out, std::string& error) {
    const std::string prefix = seedPrefix;
    if (text.compare(0, prefix.size(), prefix) != 0) return SeedParse::NotSeed;
    const std::string rest = text.substr(prefix.size());
    const std::size_t colon = rest.find(':');
    const std::string number = rest.substr(0, colon);
    CourseRequest request;
    bool digits = !number.empty() && number.size() <= 10;
    for (char c : number) digits = digits && c >= '0' && c <= '9';
    const unsigned long long value = digits ? std::strtoull(number.c_str(), nullptr, 10) : 0;
    if (!digits || value > 0xffffffffull) {
        error = "'" + text + "': the seed must be a whole number from 0 to 4294967295";
        return SeedParse::Bad;
    }
    request.seed = static_cast<uint32_t>(value);
    if (colon != std::string::npos && !parseDifficulty(rest.substr(colon + 1), request.difficulty)) {
        error = "'" + text + "': the difficulty after the seed must be easy, medium or hard";
        return SeedParse::Bad;
    }
    out = request;
    return SeedParse::Ok;
}

std::string seedCourseId(const CourseRequest& request) {
    return "seed-" + std::to_string(request.seed) + "-" + difficultyName(request.difficulty);
}

CourseRequest dailyCourseRequest(int year, int month, int day) {
    CourseRequest request;
    request.seed = static_cast<uint32_t>(year * 10000 + month * 100 + day);
    request.difficulty = Difficulty::Medium;
    return request;
}

CourseRequest todaysCourseRequest() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return dailyCourseRequest(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

bool makeCourse(const CourseRequest& request, MadeCourse& out, MakingProgress* progress, std::string& error) {
    (void)request;
    (void)out;
    (void)progress;
    error = "course making is not built yet";
    return false;
}

bool saveMadeCourse(const MadeCourse& made, const std::string& coursesFolder, std::string& error) {
    (void)made;
    (void)coursesFolder;
    error = "course saving is not built yet";
    return false;
}
