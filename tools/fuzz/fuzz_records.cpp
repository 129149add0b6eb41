// Records files live in the player's data folder and get edited and copied between machines: the bytes are read by
// loadRecord, then a win on another course goes through offerRecord, which reads, merges and rewrites the file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/records.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

// The course the seeds hold, and another whose win makes the file be rewritten.
constexpr uint64_t seededCourse = 0x0123456789abcdefull;
constexpr uint64_t otherCourse = 0x00000000000000ffull;

bool sameRecord(const CourseRecord& a, const CourseRecord& b) {
    return a.has == b.has && a.seconds == b.seconds && a.setAt == b.setAt;
}

void checkRecord(const CourseRecord& r) {
    if (!r.has) return;
    fuzz::expect(r.seconds > 0.0f && r.seconds <= 3600.0f, "a record is a time some race can beat");
    const float rounded = float(std::round(double(r.seconds) * 1000.0) / 1000.0);
    fuzz::expect(rounded == r.seconds, "a record in whole thousandths, as the file holds it");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // loadRecord sets aside any file over 1 MiB unread; past 64 KiB an input reaches nothing new and only makes each
    // run slower.
    if (size > (64u << 10)) return 0;
    // loadRecord and offerRecord take a path, so the bytes go to a file of this process's own first.
    const std::string path = fuzz::writeFile("records.ini", data, size);
    const std::string aside = path + ".broken";
    fuzz::removeFile(aside);

    const CourseRecord before = loadRecord(path, seededCourse);
    checkRecord(before);
    const bool setAside = std::filesystem::exists(aside);
    fuzz::expect(!setAside || !before.has, "a file set aside gives no record");

    CourseRecord other = loadRecord(path, otherCourse);
    checkRecord(other);
    const CourseRecord otherBefore = other;
    const bool won = offerRecord(path, otherCourse, 12.345f, "2025-01-02T03:04:05Z", other);
    fuzz::expect(won == (!otherBefore.has || 12.345f < otherBefore.seconds), "only a faster win is a new record");
    checkRecord(other);

    // What the game wrote, the game reads back: nothing set aside, the first course's record kept as it was.
    fuzz::removeFile(aside);
    const CourseRecord after = loadRecord(path, seededCourse);
    fuzz::expect(!std::filesystem::exists(aside), "the file the game wrote is one it can read");
    fuzz::expect(sameRecord(before, after), "a win on one course keeps every other course's record");
    const CourseRecord otherAfter = loadRecord(path, otherCourse);
    fuzz::expect(otherAfter.has && otherAfter.seconds <= 12.345f, "the win is in the file");

    fuzz::removeFile(path);
    fuzz::removeFile(aside);
    fuzz::removeFile(path + ".tmp");
    return 0;
}
