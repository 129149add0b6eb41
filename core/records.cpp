// Personal records on disk: the records file's place, course identities, and reading and atomically replacing the
// file, one section per course so that no course's record ever wipes another's.
#include "core/records.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <ini.h>
#include <unistd.h>

#include "core/atomic_file.h"

namespace {

constexpr const char* recordsFolder = "kelvara-golf";
constexpr const char* recordsFileName = "records.ini";
constexpr const char* brokenSuffix = ".broken";
constexpr const char* lockSuffix = ".lock";
constexpr float maxRecordSeconds = 3600.0f;         // seconds; no race on a countdown lasts anywhere near this
constexpr std::uintmax_t maxRecordsFileBytes = 1 << 20; // bytes; far beyond any real file, so more is junk
constexpr std::size_t maxSetAtLength = 64;          // characters of the set time
constexpr uint64_t fnvOffset = 14695981039346656037ull, fnvPrime = 1099511628211ull;

using RecordTable = std::map<uint64_t, CourseRecord>;

enum class ReadOutcome { Missing, Read, Broken };

void hashBytes(uint64_t& hash, const unsigned char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        hash = (hash ^ bytes[i]) * fnvPrime;
    }
}

bool parseCourseId(const char* text, uint64_t& id) {
    if (std::strlen(text) != 16) {
        return false;
    }
    id = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const char d = *c;
        const int value = d >= '0' && d <= '9' ? d - '0' : d >= 'a' && d <= 'f' ? d - 'a' + 10 : -1;
        if (value < 0) {
            return false;
        }
        id = id << 4 | static_cast<uint64_t>(value);
    }
    return true;
}

bool validSeconds(float s) {
    return s > 0.0f && s <= maxRecordSeconds; // false for NaN too
}

// The file counts in whole thousandths; rounding here keeps memory and file equal.
float thousandths(float s) {
    return static_cast<float>(std::round(static_cast<double>(s) * 1000.0) / 1000.0);
}

// A time that may stand as a record against the current one: valid and strictly faster (a tie keeps the older).
bool beats(float time, const CourseRecord& current) {
    return validSeconds(time) && (!current.has || time < current.seconds);
}

// inih calls this for every key; returning 0 marks the line as an error, which makes the whole file broken.
int readKey(void* user, const char* section, const char* name, const char* value) {
    auto& table = *static_cast<RecordTable*>(user);
    uint64_t id = 0;
    if (!parseCourseId(section, id)) {
        return 0;
    }
    CourseRecord& record = table[id];
    if (std::strcmp(name, "seconds") == 0) {
        char* end = nullptr;
        const double s = std::strtod(value, &end);
        // Judged as the file will hold it: 0.0004 rounds to a record of 0 s, which no file could be read with again.
        const float rounded = thousandths(static_cast<float>(s));
        if (end == value || *end != '\0' || !validSeconds(rounded)) {
            return 0;
        }
        record.has = true;
        record.seconds = rounded;
    } else if (std::strcmp(name, "set") == 0) {
        if (std::strlen(value) > maxSetAtLength) {
            return 0;
        }
        // Written back after "set = ", a leading ';' would start a comment and lose the time; such a time is none.
        record.setAt = value[0] == ';' ? "" : value;
    }
    return 1; // other keys are ignored, and dropped when the file is next written
}

ReadOutcome readTable(const std::string& path, RecordTable& table, std::string& reason) {
    std::error_code code;
    const auto status = std::filesystem::status(path, code);
    if (status.type() == std::filesystem::file_type::not_found) {
        return ReadOutcome::Missing;
    }
    if (status.type() != std::filesystem::file_type::regular) {
        reason = code ? code.message() : "not a regular file";
        return ReadOutcome::Broken;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, code);
    if (code || size > maxRecordsFileBytes) {
        reason = code ? code.message() : "too large";
        return ReadOutcome::Broken;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return ReadOutcome::Broken;
    }
    const int line = ini_parse_file(file, readKey, &table);
    std::fclose(file);
    if (line != 0) {
        reason = "line " + std::to_string(line) + " holds no valid record";
        return ReadOutcome::Broken;
    }
    for (const auto& entry : table) {
        if (!entry.second.has) {
            reason = "course " + courseIdText(entry.first) + " has no time";
            return ReadOutcome::Broken;
        }
    }
    return ReadOutcome::Read;
}

// A missing file is an empty table; a broken one is moved aside, reported, and is an empty table too.
RecordTable readOrSetAside(const std::string& path) {
    RecordTable table;
    std::string reason;
    if (readTable(path, table, reason) != ReadOutcome::Broken) {
        return table;
    }
    const std::string aside = path + brokenSuffix;
    if (std::rename(path.c_str(), aside.c_str()) == 0) {
        std::fprintf(stderr, "Records file %s is unusable (%s); moved it to %s and started without a record.\n",
                     path.c_str(), reason.c_str(), aside.c_str());
    } else {
        std::fprintf(stderr, "Records file %s is unusable (%s) and cannot be moved aside (%s); no record loaded.\n",
                     path.c_str(), reason.c_str(), std::strerror(errno));
    }
    return {};
}

std::string formatTable(const RecordTable& table) {
    std::string text = "; Kelvara Golf personal records: one section per course, best winning time in seconds.\n";
    char line[64];
    for (const auto& entry : table) {
        std::snprintf(line, sizeof line, "%.3f", static_cast<double>(entry.second.seconds));
        text += "\n[" + courseIdText(entry.first) + "]\nseconds = " + line + "\n";
        if (!entry.second.setAt.empty()) {
            text += "set = " + entry.second.setAt + "\n";
        }
    }
    return text;
}

// Holds an exclusive lock on path + ".lock" while it lives: the read, merge and write of one game's record is never
// interleaved with another game's. Without a lock file (a read-only folder) it goes on unlocked.
class RecordsLock {
public:
    explicit RecordsLock(const std::string& path) : fd_(open((path + lockSuffix).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (fd_ >= 0) {
            while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~RecordsLock() {
        if (fd_ >= 0) close(fd_); // closing releases the lock
    }
    RecordsLock(const RecordsLock&) = delete;
    RecordsLock& operator=(const RecordsLock&) = delete;

private:
    int fd_;
};

bool writeTable(const std::string& path, const RecordTable& table, std::string& reason) {
    return writeFileAtomically(path, formatTable(table), reason);
}

} // namespace

std::string playerDataFolderFrom(const char* xdgDataHome, const char* home) {
    // Relative values are ignored, as the XDG base directory rules ask.
    auto usable = [](const char* value) { return value != nullptr && value[0] == '/'; };
    std::filesystem::path base;
    if (usable(xdgDataHome)) {
        base = xdgDataHome;
    } else if (usable(home)) {
        base = std::filesystem::path(home) / ".local" / "share";
    } else {
        return {};
    }
    return (base / recordsFolder).string();
}

std::string recordsPathFrom(const char* xdgDataHome, const char* home) {
    const std::string folder = playerDataFolderFrom(xdgDataHome, home);
    return folder.empty() ? folder : (std::filesystem::path(folder) / recordsFileName).string();
}

std::string recordsPath() {
    return recordsPathFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

uint64_t courseIdentity(const std::string& heightmapPath, const std::vector<glm::vec3>& table) {
    std::FILE* file = std::fopen(heightmapPath.c_str(), "rb");
    if (file == nullptr) {
        return 0;
    }
    std::vector<uint8_t> bytes;
    unsigned char buffer[1 << 14];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    const bool readAll = std::ferror(file) == 0;
    std::fclose(file);
    return readAll ? courseIdentityOfBytes(bytes, table) : 0;
}

uint64_t courseIdentityOfBytes(const std::vector<uint8_t>& heightmap, const std::vector<glm::vec3>& table) {
    uint64_t hash = fnvOffset;
    hashBytes(hash, heightmap.data(), heightmap.size());
    // Coordinates as little-endian float bits, so every machine names the course alike.
    for (const glm::vec3& p : table) {
        for (int axis = 0; axis < 3; ++axis) {
            uint32_t bits = 0;
            std::memcpy(&bits, &p[axis], sizeof bits);
            const unsigned char bytes[4] = {static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
                                            static_cast<unsigned char>(bits >> 16),
                                            static_cast<unsigned char>(bits >> 24)};
            hashBytes(hash, bytes, sizeof bytes);
        }
    }
    return hash == 0 ? 1 : hash;
}

std::string courseIdText(uint64_t courseId) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(courseId));
    return text;
}

std::string utcTimestamp(std::time_t moment) {
    std::tm utc{};
    char text[32] = "";
    if (gmtime_r(&moment, &utc) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    }
    return text;
}

CourseRecord loadRecord(const std::string& path, uint64_t courseId) {
    if (path.empty() || courseId == 0) {
        return {};
    }
    const RecordTable table = readOrSetAside(path);
    const auto found = table.find(courseId);
    return found == table.end() ? CourseRecord{} : found->second;
}

bool offerRecord(const std::string& path, uint64_t courseId, float seconds, const std::string& now,
                 CourseRecord& current, const std::function<void()>& whileLocked) {
    const float time = thousandths(seconds);
    if (!beats(time, current)) {
        return false;
    }
    if (path.empty() || courseId == 0) {
        current = CourseRecord{true, time, now};
        std::fprintf(stderr, "No records file for this %s; the new record lasts until the game closes.\n",
                     path.empty() ? "user (neither XDG_DATA_HOME nor HOME is set)" : "course (no heightmap)");
        return true;
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code code;
    if (!folder.empty()) std::filesystem::create_directories(folder, code);
    const RecordsLock lock(path);
    removeStaleTemporaries(path);
    // Read again: the file keeps every other course, and another game may have set a better time meanwhile.
    RecordTable table = readOrSetAside(path);
    const auto stored = table.find(courseId);
    if (stored != table.end() && !(time < stored->second.seconds)) {
        current = stored->second;
        return false;
    }
    current = CourseRecord{true, time, now};
    table[courseId] = current;
    std::string reason;
    if (!writeTable(path, table, reason)) {
        std::fprintf(stderr, "Cannot save the new record to %s (%s); it lasts until the game closes.\n", path.c_str(),
                     reason.c_str());
    } else if (whileLocked) {
        whileLocked();
    }
    return true;
}

void setupRecords(PersonalRecords& records, const std::string& file, const std::string& heightmapPath,
                  const std::vector<glm::vec3>& checkpoints) {
    records.writer.finish();
    records.writer.pending = false;
    records.active = true;
    records.file = file;
    records.courseId = courseIdentity(heightmapPath, checkpoints);
    records.best = loadRecord(file, records.courseId);
}

bool offerRaceTime(PersonalRecords& records, float seconds, const Ghost& run) {
    const float time = thousandths(seconds);
    if (!records.active || !beats(time, records.best)) {
        return false;
    }
    RecordWriter& writer = records.writer;
    writer.finish();
    writer.done.store(false, std::memory_order_relaxed);
    writer.pending = true;
    writer.stored = records.best;
    writer.run = run;
    auto judge = [&writer, file = records.file, id = records.courseId, ghostFile = records.ghostFile, time,
                  now = utcTimestamp(std::time(nullptr))]() {
        const auto keepGhost = [&writer, &ghostFile]() {
            if (!ghostFile.empty()) saveGhost(ghostFile, writer.run);
        };
        writer.beaten = offerRecord(file, id, time, now, writer.stored, keepGhost);
        writer.done.store(true, std::memory_order_release);
    };
    try {
        writer.thread = std::thread(judge);
    } catch (const std::system_error&) {
        judge(); // no thread to be had: the game waits for the disk this once rather than lose the record
    }
    return true;
}

bool takeRecordDecision(PersonalRecords& records, bool& beaten) {
    RecordWriter& writer = records.writer;
    if (!writer.pending || !writer.done.load(std::memory_order_acquire)) {
        return false;
    }
    writer.finish();
    writer.pending = false;
    beaten = writer.beaten;
    records.best = writer.stored;
    return true;
}

void settleRecord(PersonalRecords& records) {
    records.writer.finish();
}

void finishRecords(PersonalRecords& records) {
    records.writer.finish();
}
