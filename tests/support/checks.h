// Small helpers every test file shares: what a call printed, vectors compared within a tolerance.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <glm/vec3.hpp>

// What f printed to stdout.
template <class F>
std::string stdoutOf(F&& f) {
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

// What f printed to stderr.
template <class F>
std::string stderrOf(F&& f) {
    testing::internal::CaptureStderr();
    f();
    return testing::internal::GetCapturedStderr();
}

inline void expectVecNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance,
                          const std::string& what = "") {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what << " x";
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what << " y";
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what << " z";
}
