// The shapes the course heightmap is made of, as plain functions of distances in world units: the floor's height
// profile along the route, the channel's cross-section with its banked floor and rims, and the start pad's spur with
// the run-off valley beside it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/vec2.hpp>

// The channel's cross-section, world units: a flat floor, walls curving up to wallMaxSlope, a rim, and beyond it
// either valley sides (where the land is higher) or the rim's outer face (where it is lower). The floor is flat on
// purpose: the ball rolls over flat heightfield triangles nearly as on a plane, while a narrow round gutter running
// across the grid's diagonals is faceted into little pockets that brake it, on gentle slopes to a stop.
struct ChannelShape {
    double floorHalfWidth = 2.5;
    double padFloorHalfWidth = 3.0; // the start pad's floor, narrowing to floorHalfWidth after the lip
    double wallRadius = 7.0;        // radius of the walls' curve
    double wallMaxSlope = 2.5;      // rise per unit across, about 68 degrees
    double bendWallSlopeExtra = 2.5; // the outside of a tight bend steepens to 5 (79 degrees)
    double rimHeight = 7.0;         // above the floor, on straights
    double bendRimExtra = 12.0;     // added on the outside of a bend as tight as bendRadiusFull, so a ball
                                    // that runs up the wall there comes back down into the channel
    double bendRadiusFull = 40.0;   // wider bends get proportionally less
    double bankSpeed = 15.0;        // simulated units per second that a bend's lean suits
    double maxBank = 0.35;          // rise per unit across the floor, about 19 degrees
    double firstBendEnd = 70.0;     // world units along the route to the end of the first bend...
    double firstBendRim = 4.5;      // ...which keeps a low rim: enough for a ball steered round it
    bool runoff = true;             // the valley beyond the first bend's outer rim (see startCeiling)
};
constexpr double padNarrowing = 12.0;     // world units along the route past the lip
constexpr double rimCrestWidth = 2.0;
constexpr double valleySideSlope = 1.2;  // steep enough to part two stretches 30 apart and 20 apart in height
constexpr double rimOuterSlope = 0.45;
constexpr double gravity = 10.0;         // world units per simulated second squared
constexpr double degreesPerRadian = 57.29578;

// The height profile of the floor along the route. Start pad: the ball left alone stays on it; a small lip keeps
// it in until the player boosts. Run-out: after the goal the floor rises again so the goal lies in a bowl.
constexpr double padLength = 9.0;  // from the start to the top of the lip
constexpr double padLip = 0.5;

// The start pad stands on a spur: a flat disc with a low lip all round, open on every side but the one the channel
// leaves by, so the camera's first view from behind the pad is not underground. The channel runs north from the pad
// into its first bend, a left-hander; a ball boosted carelessly straight on flies over the bend's outer rim and rolls
// down a valley to the northern edge of the map.
constexpr double padRadius = 7.0;          // world units of flat floor round the start
constexpr double padLipTop = 9.5;          // the lip is highest here...
constexpr double padLipEnd = 12.5;         // ...and the ground starts to fall beyond here
constexpr double padLipHeight = 0.6;
constexpr double spurFallSlope = 2.0;      // fall per unit of the spur's sides just beyond the lip...
constexpr double spurDepth = 16.0;         // ...levelling out this far down...
constexpr double spurReach = 30.0;         // ...and rising again beyond this distance from the start, so the spur
constexpr double spurRecovery = 0.6;       // only shapes its own surroundings
constexpr double channelSectorHalf = 25.0; // degrees either side of the channel's way out that keep their walls
constexpr double channelSectorBlend = 25.0;
constexpr double closedRise = 0.6;         // rise per unit beyond the lip in the channel's sector, clear of its rims
constexpr double runoffYaw = -90.0;        // degrees, the valley's direction from the start: due north
constexpr double runoffStart = 56.0;       // world units from the start, beyond the first bend's outer rim
constexpr double runoffDepth = 14.0;       // below the pad where the valley starts
constexpr double runoffHalfWidth = 12.0;   // world units of the valley floor at its start...
constexpr double runoffWidening = 0.3;     // ...growing by this much per unit outwards
constexpr double runoffSideSlope = 1.2;
constexpr double runoffSlope = 0.4;        // fall per unit of the valley floor
constexpr double runoffHead = 3.0;         // rise per unit of the valley's head, short of its start

inline double smoothstep(double edge0, double edge1, double x) {
    double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Polynomial smooth minimum and maximum: equal to min/max when a and b differ by more than k.
inline double smoothMin(double a, double b, double k) {
    double h = std::max(k - std::fabs(a - b), 0.0) / k;
    return std::min(a, b) - h * h * k * 0.25;
}
inline double smoothMax(double a, double b, double k) { return -smoothMin(-a, -b, k); }

// A monotone cubic through (distance, height) knots (Fritsch and Carlson): smooth, and it never overshoots, so
// the floor between two checkpoints never dips below the lower or rises above the higher of them.
struct Profile {
    std::vector<double> s;
    std::vector<double> y;
    std::vector<double> slope;

    double at(double distance) const {
        if (s.empty()) {
            return 0.0;
        }
        if (distance <= s.front()) {
            return y.front();
        }
        if (distance >= s.back()) {
            return y.back();
        }
        auto it = std::upper_bound(s.begin(), s.end(), distance);
        auto k = static_cast<std::size_t>(it - s.begin()) - 1;
        double h = s[k + 1] - s[k];
        double t = (distance - s[k]) / h;
        double t2 = t * t;
        double t3 = t2 * t;
        return (2 * t3 - 3 * t2 + 1) * y[k] + (t3 - 2 * t2 + t) * h * slope[k] + (-2 * t3 + 3 * t2) * y[k + 1] +
               (t3 - t2) * h * slope[k + 1];
    }
};

inline Profile makeProfile(std::vector<std::pair<double, double>> knots) {
    std::sort(knots.begin(), knots.end());
    Profile p;
    for (const auto& knot : knots) {
        if (!p.s.empty() && knot.first - p.s.back() < 1.0) {
            continue; // two knots at one place would make the curve undefined
        }
        p.s.push_back(knot.first);
        p.y.push_back(knot.second);
    }
    std::size_t n = p.s.size();
    p.slope.assign(n, 0.0); // flat at both ends: the pad and the end of the run-out
    for (std::size_t k = 1; k + 1 < n; ++k) {
        double h0 = p.s[k] - p.s[k - 1];
        double h1 = p.s[k + 1] - p.s[k];
        double d0 = (p.y[k] - p.y[k - 1]) / h0;
        double d1 = (p.y[k + 1] - p.y[k]) / h1;
        if (d0 * d1 <= 0.0) {
            continue; // a turning point: flat
        }
        double w0 = 2.0 * h1 + h0;
        double w1 = h1 + 2.0 * h0;
        p.slope[k] = (w0 + w1) / (w0 / d0 + w1 / d1);
    }
    return p;
}

// Height above the floor of the channel's surface at distance d from the centre line, with the rim at rim.
struct Wall {
    double rimDistance; // where the wall reaches the rim
    double height;      // of the inner wall (continuing as valley side beyond the rim)
};

inline Wall channelWall(const ChannelShape& shape, double d, double rim, double maxSlope, double flatHalfWidth) {
    const double m = maxSlope;
    const double r = shape.wallRadius;
    const double steepFrom = r * m / std::sqrt(1.0 + m * m); // where the circle's slope reaches m
    const double steepHeight = r - r / std::sqrt(1.0 + m * m);
    auto wallAt = [&](double x) {
        return x < steepFrom ? r - std::sqrt(r * r - x * x) : steepHeight + (x - steepFrom) * m;
    };
    double rimX = rim <= steepHeight ? std::sqrt(r * r - (r - rim) * (r - rim)) : steepFrom + (rim - steepHeight) / m;
    double x = std::max(0.0, d - flatHalfWidth);
    double h = x <= rimX ? wallAt(x) : rim + (x - rimX) * valleySideSlope;
    return {rimX + flatHalfWidth, h};
}

// How much the floor leans into a bend of this curvature (1 / radius) at this distance along the route: as a bend
// taken at bankSpeed wants it, at most maxBank, and level on the start pad.
inline double bankSlope(const ChannelShape& shape, double curvature, double distanceAlong) {
    return std::min(shape.maxBank, shape.bankSpeed * shape.bankSpeed * curvature / gravity) *
           smoothstep(padLipEnd, padLipEnd + padNarrowing, distanceAlong);
}

// Rim height above the floor at this distance along the route, on the outside of a bend by bendOutside (0..1).
inline double rimHeightAt(const ChannelShape& shape, double distanceAlong, double bendOutside) {
    double pastFirstBend = smoothstep(shape.firstBendEnd, shape.firstBendEnd + 20.0, distanceAlong);
    return shape.firstBendRim +
           (shape.rimHeight - shape.firstBendRim + shape.bendRimExtra * bendOutside) * pastFirstBend;
}

// Half the flat floor's width: wider on the pad, narrowing past the lip.
inline double floorHalfWidthAt(const ChannelShape& shape, double distanceAlong) {
    return shape.floorHalfWidth + (shape.padFloorHalfWidth - shape.floorHalfWidth) *
                                      (1.0 - smoothstep(padLength, padLength + padNarrowing, distanceAlong));
}

// Where the start pad is and which way the channel leaves it.
struct StartSpur {
    glm::dvec2 start;         // the start checkpoint on the ground plane
    glm::dvec2 exitDirection; // unit vector
    double padFloor = 0.0;    // height of the pad's flat floor
};

// 0 in the sector round the channel's way out of the pad, 1 on the open sides.
inline double openSide(const StartSpur& pad, glm::dvec2 offset) {
    double length = glm::length(offset);
    if (length < 1e-9) {
        return 0.0;
    }
    double angle = std::acos(std::clamp(glm::dot(offset / length, pad.exitDirection), -1.0, 1.0)) * degreesPerRadian;
    return smoothstep(channelSectorHalf, channelSectorHalf + channelSectorBlend, angle);
}

// How far the spur's sides have fallen at a distance beyond the lip: steep at first, levelling out.
inline double spurFall(double beyond) {
    return beyond <= 0.0 ? 0.0 : spurDepth * (1.0 - std::exp(-spurFallSlope * beyond / spurDepth));
}

// The start pad, its spur and the run-off valley: the ground is nowhere higher than this.
inline double startCeiling(const ChannelShape& shape, const StartSpur& pad, double x, double z) {
    glm::dvec2 offset = glm::dvec2(x, z) - pad.start;
    double r = glm::length(offset);
    double padTop = pad.padFloor + padLipHeight * smoothstep(padRadius, padLipTop, r);
    double beyond = r - padLipEnd;
    if (beyond <= 0.0) {
        return padTop;
    }
    double open = openSide(pad, offset);
    double fall = spurFall(beyond) - spurRecovery * std::max(0.0, r - spurReach);
    double spur = padTop - open * fall + (1.0 - open) * closedRise * beyond;
    if (!shape.runoff) {
        return spur;
    }

    const double yaw = runoffYaw / degreesPerRadian;
    glm::dvec2 axis(std::cos(yaw), std::sin(yaw));
    double along = glm::dot(offset, axis);
    double across = std::fabs(offset.x * axis.y - offset.y * axis.x);
    double halfWidth = runoffHalfWidth + runoffWidening * std::max(0.0, along - runoffStart);
    double valleyFloor = pad.padFloor - runoffDepth - runoffSlope * (along - runoffStart) +
                         (runoffHead + runoffSlope) * std::max(0.0, runoffStart - along);
    double valley = valleyFloor + runoffSideSlope * std::max(0.0, across - halfWidth);
    return std::min(spur, valley);
}
