// The player's personal records between sessions: where the records file lives, which course a record belongs to,
// and reading and atomically replacing the file. Nothing here ends or stalls the game; failures cost one stderr line.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include <glm/vec3.hpp>

// Best winning time of one course, in seconds of the race clock: from "Let's roll!" to the goal.
struct CourseRecord {
    bool has = false;
    float seconds = 0.0f; // whole thousandths, as the file holds them
    std::string setAt;    // UTC, e.g. "2025-03-14T09:26:53Z"; may be empty in a hand-edited file
};

// $XDG_DATA_HOME/kelvara-golf/records.ini, else $HOME/.local/share/kelvara-golf/records.ini. Either variable counts
// only when it holds an absolute path; with neither the result is empty and records last only for the session.
std::string recordsPathFrom(const char* xdgDataHome, const char* home);
// The same, from the environment.
std::string recordsPath();

// 64-bit FNV-1a over the heightmap file's bytes and the checkpoint coordinates, so an edited course starts without a
// record. 0 when the heightmap cannot be read: such a course keeps its record for the session only.
uint64_t courseIdentity(const std::string& heightmapPath, const std::vector<glm::vec3>& table);
// The identity as the section name of the records file: 16 lower-case hex digits.
std::string courseIdText(uint64_t courseId);

// A moment as the records file writes it: "YYYY-MM-DDTHH:MM:SSZ" in UTC.
std::string utcTimestamp(std::time_t moment);

// The record of one course. A missing file is no record; a file that cannot be read or holds anything but valid
// records is renamed to path + ".broken" with one line on stderr, and there is no record.
CourseRecord loadRecord(const std::string& path, uint64_t courseId);

// A won race: true when seconds beats current (or there was none), and then current holds the new record and the
// file is replaced atomically, keeping every other course's record. When the file cannot be written, one line goes
// to stderr and current still holds the new record for the rest of the session. now is written as the set time.
bool offerRecord(const std::string& path, uint64_t courseId, float seconds, const std::string& now,
                 CourseRecord& current);

// The file of a new record is written beside the game: an fsync on a busy disk can take a second, and the won frame
// must not wait for it. Joined before the next write, by finishRecords, and when its owner goes.
struct RecordWriter {
    std::thread thread;
    RecordWriter() = default;
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;
    ~RecordWriter() { finish(); }
    void finish() {
        if (thread.joinable()) thread.join();
    }
};

// The player's records as a race uses them: where they are kept, for which course, and the best time so far.
struct PersonalRecords {
    bool active = false; // off until setupRecords: tests and a simulator without --records keep none
    std::string file;    // empty: records last for the session only
    uint64_t courseId = 0;
    CourseRecord best;
    RecordWriter writer;
};

// Reads the record of the course made by heightmapPath and the checkpoint table from file.
void setupRecords(PersonalRecords& records, const std::string& file, const std::string& heightmapPath,
                  const std::vector<glm::vec3>& checkpoints);
// A won race's clock: true when it beats the session's best, which then holds it at once; the file is written on a
// background thread. False while records are off.
bool offerRaceTime(PersonalRecords& records, float seconds);
// Waits until a record being written is in its file. Called at shutdown, and by anything that reads the file next.
void finishRecords(PersonalRecords& records);
