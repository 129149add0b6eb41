// Reading an ini file key by key with a check of every value: one line on stderr for each value that is refused,
// naming the file, the key and what was expected. Settings keep the previous value; a course is refused whole.
#pragma once

#include <string>

#include <INIReader.h>

class CheckedReader {
public:
    CheckedReader(const INIReader& reader, std::string path) : reader_(reader), path_(std::move(path)) {}

    // Lenient reads: a missing key gives fallback silently; a bad value gives fallback with a line saying so.
    bool boolean(const char* section, const char* key, bool fallback) const;
    float number(const char* section, const char* key, float fallback, float low, float high) const;
    // A whole number in C's notations (640, 0x280, 01200), as strtol with base 0 reads it.
    long integer(const char* section, const char* key, long fallback, long low, long high) const;

    // Strict reads: a missing or bad value is reported with the outcome and counted; out keeps its value then.
    bool requireNumber(const char* section, const char* key, float low, float high, float& out);
    bool requireText(const char* section, const char* key, std::string& out);
    // A value that is there but wrong in a way only the caller can judge.
    void refuse(const char* section, const char* key, const char* expected);
    // A section whose keys together are wrong: what it holds and what was expected.
    void refuseSection(const char* section, const std::string& holds, const char* expected);

    bool has(const char* section, const char* key) const { return reader_.HasValue(section, key); }
    std::string text(const char* section, const char* key) const { return reader_.Get(section, key, ""); }
    int failures() const { return failures_; }
    const std::string& path() const { return path_; }
    // What a strict read says has become of the file: "the course is refused".
    std::string outcome = "the file is refused";

private:
    void reportIgnored(const char* section, const char* key, const char* expected, const std::string& kept) const;

    const INIReader& reader_;
    std::string path_;
    int failures_ = 0;
};

// The whole text as a float (strtof, so "146.49858" is the float the literal 146.49858f is); false for anything else.
bool parseWholeFloat(const std::string& text, float& out);
