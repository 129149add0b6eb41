// The player's personal records between sessions: where the records file lives, which course a record belongs to,
// and reading and atomically replacing the file. Nothing here ends or stalls the game; failures cost one stderr line.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <atomic>
#include <thread>
#include <vector>

#include <glm/vec3.hpp>

#include "core/ghost.h"

// Best winning time of one course, in seconds of the race clock: from "Let's roll!" to the goal.
struct CourseRecord {
    bool has = false;
    float seconds = 0.0f; // whole thousandths, as the file holds them
    std::string setAt;    // UTC, e.g. "2025-03-14T09:26:53Z"; may be empty in a hand-edited file
};

// The folder of the player's own files: $XDG_DATA_HOME/kelvara-golf, else $HOME/.local/share/kelvara-golf; empty
// without either (as an absolute path).
std::string playerDataFolderFrom(const char* xdgDataHome, const char* home);

// $XDG_DATA_HOME/kelvara-golf/records.ini, else $HOME/.local/share/kelvara-golf/records.ini. Either variable counts
// only when it holds an absolute path; with neither the result is empty and records last only for the session.
std::string recordsPathFrom(const char* xdgDataHome, const char* home);
// The same, from the environment.
std::string recordsPath();

// 64-bit FNV-1a over the heightmap file's bytes and the checkpoint coordinates, so an edited course starts without a
// record. 0 when the heightmap cannot be read: such a course keeps its record for the session only.
uint64_t courseIdentity(const std::string& heightmapPath, const std::vector<glm::vec3>& table);
// The same from the heightmap file's bytes in memory.
uint64_t courseIdentityOfBytes(const std::vector<uint8_t>& heightmap, const std::vector<glm::vec3>& table);
// The identity as the section name of the records file: 16 lower-case hex digits.
std::string courseIdText(uint64_t courseId);

// A moment as the records file writes it: "YYYY-MM-DDTHH:MM:SSZ" in UTC.
std::string utcTimestamp(std::time_t moment);

// The record of one course. A missing file is no record; a file that cannot be read or holds anything but valid
// records is renamed to path + ".broken" with one line on stderr, and there is no record.
CourseRecord loadRecord(const std::string& path, uint64_t courseId);

// A won race: true when seconds beats both current and what the file holds for the course at that moment, and then
// current holds the new record and the file is replaced atomically, keeping every other course's record. When the
// file holds a better time (another game set it), current takes that one and the answer is false. Two games may
// offer at once: a lock beside the file (path + ".lock") makes read, merge and write one step, and each writes its
// own temporary file. When the file cannot be written, one line goes to stderr and current still holds the new
// record for the rest of the session. now is written as the set time.
// whileLocked runs once the time is known to beat the file, before the lock is let go (the ghost of the run is
// written there, so the ghost on disk always belongs to the record on disk).
bool offerRecord(const std::string& path, uint64_t courseId, float seconds, const std::string& now,
                 CourseRecord& current, const std::function<void()>& whileLocked = {});

// A won race's time is judged against the file beside the game: an fsync on a busy disk can take a second, and the
// won frame must not wait for it. The decision comes back through done; joined before the next offer, by
// settleRecord and finishRecords, and when its owner goes.
struct RecordWriter {
    std::thread thread;
    std::atomic<bool> done{false}; // the thread has set beaten and stored
    bool beaten = false;           // the time beat what the file held
    CourseRecord stored;           // the course's record afterwards, in the file or for the session
    bool pending = false;          // a decision not yet collected by the race that asked
    Ghost run;                     // the offered race's run, written as the course's ghost when it beats the file
    RecordWriter() { run.samples.reserve(ghostMaxSamples); } // so taking a run never allocates
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
    std::string ghostFile; // where a record's run is kept as the course's ghost; empty: not kept
    RecordWriter writer;
};

// Reads the record of the course made by heightmapPath and the checkpoint table from file.
void setupRecords(PersonalRecords& records, const std::string& file, const std::string& heightmapPath,
                  const std::vector<glm::vec3>& checkpoints);
// A won race's clock: true when it beats the session's best, and then it is judged against the file on a background
// thread, whose decision takeRecordDecision collects. False (nothing to wait for) while records are off or when the
// time is no better than the best this game knows.
// The run is copied into the writer's own buffer, made large enough up front, to be written as the ghost when the
// time beats the file.
bool offerRaceTime(PersonalRecords& records, float seconds, const Ghost& run);
// The decision of an offered time once it is in: true with beaten set (and best updated) when it has come back.
// Never waits.
bool takeRecordDecision(PersonalRecords& records, bool& beaten);
// Waits for an offered time's decision (the simulator, and anything that must know at once).
void settleRecord(PersonalRecords& records);
// Waits until a record being written is in its file. Called at shutdown, and by anything that reads the file next.
void finishRecords(PersonalRecords& records);
