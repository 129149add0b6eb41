// Ghost files sit in the player's data folder and are copied between machines and game versions: the bytes are
// decoded for the course they claim (so a well-formed file gets past the identity check) and for another, then read
// through loadGhost from a file, and every ghost that is accepted is replayed and written back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <glm/geometric.hpp>

#include "core/ghost.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

constexpr std::size_t courseOffset = 8 + 4; // after the magic and the version

uint64_t claimedCourse(const uint8_t* data, std::size_t size) {
    uint64_t id = 0;
    for (std::size_t i = 0; i < 8 && courseOffset + i < size; ++i) id |= uint64_t(data[courseOffset + i]) << (8 * i);
    return id;
}

void checkGhost(const Ghost& ghost, uint64_t courseId) {
    fuzz::expect(ghost.courseId == courseId, "a ghost belongs to the course it was read for");
    fuzz::expect(!ghost.empty() && ghost.samples.size() <= ghostMaxSamples, "a ghost has samples, not too many");
    for (const GhostSample& s : ghost.samples) {
        fuzz::expect(std::isfinite(s.position.x) && std::isfinite(s.position.y) && std::isfinite(s.position.z),
                     "every sample is a place");
        fuzz::expect(std::fabs(glm::length(s.orientation) - 1.0f) < 1e-3f, "every sample's turn is a rotation");
    }
    // Where the race shows it: before, during, at the end, fading and gone, and at clocks that are no time.
    const float d = ghost.duration();
    for (float clock : {-1.0f, 0.0f, d * 0.37f, d, d + ghostFadeSeconds * 0.5f, d + 2.0f * ghostFadeSeconds, 1e30f,
                        std::nanf("")}) {
        const GhostPose pose = ghostPoseAt(ghost, clock);
        fuzz::expect(std::isfinite(pose.position.x) && std::isfinite(pose.position.y) && std::isfinite(pose.position.z),
                     "the ghost is always somewhere");
        fuzz::expect(pose.opacity >= 0.0f && pose.opacity <= 1.0f, "opacity within 0..1");
    }
    for (std::size_t i = 0; i <= ghost.splits.size(); ++i) {
        long hundredths = 0;
        splitAgainst(ghost, i, 12.34f, hundredths);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The largest real ghost (ten minutes) is under 1 MiB; loadGhost refuses larger files unread.
    if (size > (1u << 20)) return 0;
    const std::vector<uint8_t> bytes(data, data + size);
    const uint64_t claimed = claimedCourse(data, size);

    Ghost ghost;
    std::string reason;
    const bool decoded = decodeGhost(bytes, claimed, ghost, reason);
    fuzz::expect(decoded == reason.empty(), "a refusal says why, an acceptance does not");
    if (decoded) {
        checkGhost(ghost, claimed);
        // Written back, it reads the same: what a record run saves, the next race loads.
        const std::vector<uint8_t> written = encodeGhost(ghost);
        Ghost again;
        std::string againReason;
        fuzz::expect(decodeGhost(written, claimed, again, againReason) && encodeGhost(again) == written,
                     "a ghost written back reads the same");
    } else {
        fuzz::expect(ghost.empty(), "a refused file leaves no ghost");
    }
    Ghost other;
    std::string otherReason;
    fuzz::expect(!decodeGhost(bytes, claimed ^ 1u, other, otherReason) && other.empty(),
                 "another course's ghost is never taken");

    // Through a file, as the race loads it: the same verdict, and a broken file set aside, never lost.
    const std::string path = fuzz::writeFile("course.ghost", data, size);
    const std::string aside = path + ".broken";
    fuzz::removeFile(aside);
    Ghost loaded;
    const bool fromFile = loadGhost(path, claimed, loaded);
    fuzz::expect(fromFile == decoded, "the file reads as its bytes decode");
    if (fromFile) {
        fuzz::expect(loaded.samples.size() == ghost.samples.size(), "the file holds what the bytes hold");
    } else {
        std::error_code ignored;
        fuzz::expect(std::filesystem::exists(path, ignored) || std::filesystem::exists(aside, ignored),
                     "a refused file is kept or set aside");
    }
    fuzz::removeFile(path);
    fuzz::removeFile(aside);
    return 0;
}
