// The course's centre line: the spline through the route's control points and where it meets the checkpoints.
#include "core/route.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>

SampledRoute sampleRoute(const std::vector<RoutePoint>& route, float spacing) {
    std::vector<glm::vec2> p;
    for (const RoutePoint& point : route) {
        p.push_back(point.position);
    }
    SampledRoute out;
    if (p.size() < 2 || !(spacing > 0.0f)) {
        return out;
    }
    // Mirrored end points give the first and last segments a natural tangent.
    std::vector<glm::vec2> q;
    q.push_back(2.0f * p[0] - p[1]);
    q.insert(q.end(), p.begin(), p.end());
    q.push_back(2.0f * p.back() - p[p.size() - 2]);

    const int stepsPerSegment = 256;
    std::vector<glm::vec2> fine;
    std::vector<double> fineDistance; // double: summing thousands of short steps in float drifts
    fine.push_back(p[0]);
    fineDistance.push_back(0.0f);
    out.controlDistance.push_back(0.0f);
    for (std::size_t i = 1; i + 2 < q.size(); ++i) {
        glm::vec2 p0 = q[i - 1];
        glm::vec2 p1 = q[i];
        glm::vec2 p2 = q[i + 1];
        glm::vec2 p3 = q[i + 2];
        auto knot = [](glm::vec2 a, glm::vec2 b) { return std::max(1e-4f, std::sqrt(glm::length(b - a))); };
        float t0 = 0.0f;
        float t1 = t0 + knot(p0, p1);
        float t2 = t1 + knot(p1, p2);
        float t3 = t2 + knot(p2, p3);
        for (int k = 1; k <= stepsPerSegment; ++k) {
            float t = t1 + (t2 - t1) * static_cast<float>(k) / static_cast<float>(stepsPerSegment);
            glm::vec2 a1 = (t1 - t) / (t1 - t0) * p0 + (t - t0) / (t1 - t0) * p1;
            glm::vec2 a2 = (t2 - t) / (t2 - t1) * p1 + (t - t1) / (t2 - t1) * p2;
            glm::vec2 a3 = (t3 - t) / (t3 - t2) * p2 + (t - t2) / (t3 - t2) * p3;
            glm::vec2 b1 = (t2 - t) / (t2 - t0) * a1 + (t - t0) / (t2 - t0) * a2;
            glm::vec2 b2 = (t3 - t) / (t3 - t1) * a2 + (t - t1) / (t3 - t1) * a3;
            glm::vec2 c = (t2 - t) / (t2 - t1) * b1 + (t - t1) / (t2 - t1) * b2;
            fineDistance.push_back(fineDistance.back() + static_cast<double>(glm::length(c - fine.back())));
            fine.push_back(c);
        }
        out.controlDistance.push_back(static_cast<float>(fineDistance.back()));
    }
    out.length = static_cast<float>(fineDistance.back());

    std::size_t j = 0;
    auto count = static_cast<std::size_t>(std::floor(out.length / spacing));
    for (std::size_t i = 0; i <= count; ++i) {
        double s = static_cast<double>(i) * static_cast<double>(spacing);
        while (j + 2 < fine.size() && fineDistance[j + 1] < s) {
            ++j;
        }
        double span = fineDistance[j + 1] - fineDistance[j];
        auto f = static_cast<float>(span > 0.0 ? (s - fineDistance[j]) / span : 0.0);
        glm::vec2 step = fine[j + 1] - fine[j];
        glm::vec2 position = fine[j] + step * f;
        glm::vec2 direction = span > 0.0 ? glm::normalize(step) : glm::vec2(1.0f, 0.0f);
        out.samples.push_back({position, static_cast<float>(s), direction});
    }
    return out;
}

std::vector<RouteCheckpoint> routeCheckpoints(const std::vector<RoutePoint>& route, const SampledRoute& sampled,
                                              float spacing) {
    std::vector<RouteCheckpoint> out;
    for (std::size_t i = 0; i < route.size() && i < sampled.controlDistance.size(); ++i) {
        if (route[i].checkpoint <= 0 || sampled.samples.empty()) {
            continue;
        }
        auto nearest = static_cast<std::size_t>(std::lround(sampled.controlDistance[i] / spacing));
        out.push_back({static_cast<std::size_t>(route[i].checkpoint), std::min(nearest, sampled.samples.size() - 1)});
    }
    return out;
}
