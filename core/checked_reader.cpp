// The checked ini reader shared by the settings and the course files.
#include "core/checked_reader.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

bool parseWholeFloat(const std::string& text, float& out) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const float value = std::strtof(begin, &end);
    if (end == begin || *end != '\0' || !std::isfinite(value)) return false;
    out = value;
    return true;
}

void CheckedReader::reportIgnored(const char* section, const char* key, const char* expected,
                                  const std::string& kept) const {
    std::fprintf(stderr, "%s: ignored [%s] %s = \"%s\", expected %s; keeping %s\n", path_.c_str(), section, key,
                 reader_.Get(section, key, "").c_str(), expected, kept.c_str());
}

bool CheckedReader::boolean(const char* section, const char* key, bool fallback) const {
    if (!reader_.HasValue(section, key)) return fallback;
    // A value that is no boolean reads differently with the two fallbacks.
    const bool asFalse = reader_.GetBoolean(section, key, false);
    if (asFalse != reader_.GetBoolean(section, key, true)) {
        reportIgnored(section, key, "true or false", fallback ? "true" : "false");
        return fallback;
    }
    return asFalse;
}

float CheckedReader::number(const char* section, const char* key, float fallback, float low, float high) const {
    if (!reader_.HasValue(section, key)) return fallback;
    // The whole value must be the number ("90 degrees" is not 90); what is no number fails the range test.
    const std::string text = reader_.Get(section, key, "");
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0') value = std::nan("");
    if (!(value >= low && value <= high)) {
        char expected[64], kept[32];
        std::snprintf(expected, sizeof expected, "a number from %g to %g", double(low), double(high));
        std::snprintf(kept, sizeof kept, "%g", double(fallback));
        reportIgnored(section, key, expected, kept);
        return fallback;
    }
    return static_cast<float>(value);
}

long CheckedReader::integer(const char* section, const char* key, long fallback, long low, long high) const {
    if (!reader_.HasValue(section, key)) return fallback;
    const std::string text = reader_.Get(section, key, "");
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE || value < low || value > high) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "a whole number from %ld to %ld", low, high);
        reportIgnored(section, key, expected, std::to_string(fallback));
        return fallback;
    }
    return value;
}

void CheckedReader::refuse(const char* section, const char* key, const char* expected) {
    ++failures_;
    if (reader_.HasValue(section, key)) {
        std::fprintf(stderr, "%s: [%s] %s = \"%s\", expected %s; %s\n", path_.c_str(), section, key,
                     reader_.Get(section, key, "").c_str(), expected, outcome.c_str());
    } else {
        std::fprintf(stderr, "%s: [%s] %s is missing, expected %s; %s\n", path_.c_str(), section, key, expected,
                     outcome.c_str());
    }
}

void CheckedReader::refuseSection(const char* section, const std::string& holds, const char* expected) {
    ++failures_;
    std::fprintf(stderr, "%s: [%s] holds %s, expected %s; %s\n", path_.c_str(), section, holds.c_str(), expected,
                 outcome.c_str());
}

bool CheckedReader::requireNumber(const char* section, const char* key, float low, float high, float& out) {
    float value = 0.0f;
    if (!reader_.HasValue(section, key) || !parseWholeFloat(reader_.Get(section, key, ""), value) ||
        !(value >= low && value <= high)) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "a number from %g to %g", double(low), double(high));
        refuse(section, key, expected);
        return false;
    }
    out = value;
    return true;
}

bool CheckedReader::requireText(const char* section, const char* key, std::string& out) {
    const std::string value = reader_.Get(section, key, "");
    if (value.empty()) {
        refuse(section, key, "a text");
        return false;
    }
    out = value;
    return true;
}
