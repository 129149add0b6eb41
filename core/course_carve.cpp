// The course heightmap: a banked, rimmed channel carved along the route, falling from the start pad to the goal
// bowl, set in rolling hills with mountains towards the map's edges.
#include "core/course_design.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <glm/geometric.hpp>
#include <stb_perlin.h>

#include "core/course.h"
#include "core/course_shape.h"
#include "core/route.h"
#include "core/terrain.h"

namespace {

// The map: one sample per world unit; grid point (x, z) lies at world (x - 256, y, z - 256).
constexpr int mapSize = courseMapSize;
constexpr unsigned maxCarvingThreads = 4;
constexpr double sampleUnitsPerWorldUnit = 327.67; // u = 32767 + y * 327.67, so u = 0..65534 spans y = -100..100
constexpr double softHeightLimit = 76.0;       // world units; above it heights bend smoothly towards 99
constexpr double hardHeightLimit = 99.0;


// The channel's shapes are in course_shape.h; here, how they meet the land.
constexpr double bendLookahead = 18.0;   // curvature is averaged over this distance before and after a point
constexpr double rimAboveLand = 2.5;     // the rims stand this much above the land beside the course
// Rounding of the creases where floor, walls, rims and land meet.
constexpr double rimBlend = 1.5;
constexpr double landBlend = 3.0;
constexpr double landSoftening = 1.5;    // world units: spread of the blur over the land

constexpr double runoutRise = 14.0; // world units the floor climbs beyond the goal, so the goal lies in a bowl

// The land around the course.
constexpr double routeSpacing = 1.0;     // world units between centre-line samples
constexpr double landDropNearStart = 18.0; // the land round the start pad's spur lies this much lower...
constexpr double landDropInner = 15.0;     // ...from here out...
constexpr double landDropOuter = 75.0;     // ...fading to nothing here
constexpr double levelBlendRadius = 30.0; // how far the course's height spreads into the land around it
constexpr double hillsStart = 16.0;       // hills grow from this distance beyond the channel's edge...
constexpr double hillsFull = 80.0;        // ...to full height here
constexpr double swellScale = 35.0;
constexpr double swellsStart = 6.0;        // beyond the channel's edge
constexpr double mountainScale = 65.0;
constexpr double mountainStart = 90.0;    // distance from the map's edge where the mountains begin to rise
constexpr double mountainFull = 15.0;


// The floor height along the whole route.
Profile floorProfile(const SampledRoute& route, const Course& course,
                     const std::vector<ProfileKnot>& profileKnots) {
    const std::vector<RoutePoint>& points = course.route;
    const std::size_t goalIndex = course.goalIndex();
    std::vector<std::pair<double, double>> knots;
    auto groundOf = [&course, goalIndex](int checkpoint) {
        double below = static_cast<std::size_t>(checkpoint) == goalIndex ? groundBelowGoal : groundBelowCheckpoint;
        return static_cast<double>(course.checkpoints[static_cast<std::size_t>(checkpoint)].y) - below;
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].checkpoint < 0) {
            continue;
        }
        double s = route.controlDistance[i];
        double ground = groundOf(points[i].checkpoint);
        knots.emplace_back(s, ground);
        if (points[i].checkpoint == 0) {
            knots.emplace_back(s + padLength, ground + padLip);
        }
        if (static_cast<std::size_t>(points[i].checkpoint) == goalIndex) {
            knots.emplace_back(route.length, ground + runoutRise);
        }
        for (const ProfileKnot& k : profileKnots) {
            if (k.checkpoint == points[i].checkpoint) {
                knots.emplace_back(s + k.offset, ground + k.height);
            }
        }
    }
    return makeProfile(knots);
}

// One place where the centre line passes closest to a grid point (a local minimum of distance along the route).
struct Candidate {
    double distanceAlong; // s of the closest point
    double across;        // distance from the centre line
    double bendOutside;   // 0..1: how far out on the outside of a bend the point lies (0 on the inside)
    double outward = 0.0; // signed distance from the centre line, positive towards the outside of the bend
    double bendCurvature = 0.0; // 1 / radius of the bend there
};

struct CourseField {
    const CourseDesign* design = nullptr;
    SampledRoute route;
    Profile floor;
    StartSpur spur;
    // Per sample, averaged over the stretch around it: points to the bend's centre, length 1 / radius. It passes
    // smoothly through zero where the route changes from one bend to the next, so the extra rim does too.
    std::vector<glm::dvec2> curvature;

    glm::dvec2 curvatureAt(double distanceAlong) const {
        double i = std::clamp(distanceAlong / routeSpacing, 0.0, static_cast<double>(curvature.size() - 1));
        auto j = static_cast<std::size_t>(i);
        std::size_t k = std::min(j + 1, curvature.size() - 1);
        return curvature[j] + (curvature[k] - curvature[j]) * (i - static_cast<double>(j));
    }
};

CourseField makeCourseField(const Course& course, const CourseDesign& design) {
    CourseField f;
    f.design = &design;
    f.route = sampleRoute(course.route, static_cast<float>(routeSpacing));
    f.floor = floorProfile(f.route, course, design.knots);
    f.spur.start = glm::dvec2(course.start().x, course.start().z);
    f.spur.padFloor = f.floor.at(0.0);
    std::size_t exit = std::min(f.route.samples.size() - 1, static_cast<std::size_t>(2.0 * padLipEnd / routeSpacing));
    f.spur.exitDirection = glm::normalize(glm::dvec2(f.route.samples[exit].position) - f.spur.start);
    std::size_t n = f.route.samples.size();
    std::vector<glm::dvec2> raw(n, glm::dvec2(0.0));
    for (std::size_t j = 1; j + 1 < n; ++j) {
        glm::dvec2 t0(f.route.samples[j - 1].direction);
        glm::dvec2 t1(f.route.samples[j + 1].direction);
        raw[j] = (t1 - t0) / (2.0 * routeSpacing);
    }
    auto window = static_cast<std::ptrdiff_t>(bendLookahead / routeSpacing);
    f.curvature.assign(n, glm::dvec2(0.0));
    for (std::size_t j = 0; j < n; ++j) {
        glm::dvec2 sum(0.0);
        int count = 0;
        for (std::ptrdiff_t k = -window; k <= window; ++k) {
            auto i = static_cast<std::ptrdiff_t>(j) + k;
            if (i >= 0 && i < static_cast<std::ptrdiff_t>(n)) {
                sum += raw[static_cast<std::size_t>(i)];
                ++count;
            }
        }
        f.curvature[j] = sum / static_cast<double>(std::max(count, 1));
    }
    return f;
}

void findCandidates(const CourseField& f, glm::dvec2 p, std::vector<double>& d2, std::vector<Candidate>& out) {
    const std::vector<RouteSample>& samples = f.route.samples;
    std::size_t n = samples.size();
    out.clear();
    d2.resize(n);
    for (std::size_t j = 0; j < n; ++j) {
        glm::dvec2 d = p - glm::dvec2(samples[j].position);
        d2[j] = glm::dot(d, d);
    }
    for (std::size_t j = 0; j < n; ++j) {
        bool lowerThanBefore = j == 0 || d2[j] <= d2[j - 1];
        bool lowerThanAfter = j + 1 == n || d2[j] < d2[j + 1];
        if (!lowerThanBefore || !lowerThanAfter) {
            continue;
        }
        Candidate best{samples[j].distance, std::sqrt(d2[j]), 0.0};
        glm::dvec2 closest(samples[j].position);
        double bendOfSquare = j > 0 && j + 1 < n ? d2[j - 1] - 2.0 * d2[j] + d2[j + 1] : 0.0;
        if (bendOfSquare > 1e-12) {
            // Squared distance along the route is nearly a parabola (exactly, beside a straight): its vertex is a
            // closest point that slides smoothly as p moves, where snapping to the sampled polyline's corners
            // would give the floor height in steps fanning out from every bend.
            double shift = std::clamp(0.5 * (d2[j - 1] - d2[j + 1]) / bendOfSquare, -0.5, 0.5);
            double lowest = d2[j] - 0.125 * (d2[j - 1] - d2[j + 1]) * (d2[j - 1] - d2[j + 1]) / bendOfSquare;
            best.distanceAlong = samples[j].distance + shift * routeSpacing;
            best.across = std::sqrt(std::max(0.0, lowest));
            std::size_t towards = shift < 0.0 ? j - 1 : j + 1;
            closest += (glm::dvec2(samples[towards].position) - closest) * std::fabs(shift);
        } else if (j == 0 || j + 1 == n) {
            // Beyond either end of the route the channel closes in a round cap.
            std::size_t a = j == 0 ? 0 : j - 1;
            glm::dvec2 pa(samples[a].position);
            glm::dvec2 ab = glm::dvec2(samples[a + 1].position) - pa;
            double t = std::clamp(glm::dot(p - pa, ab) / glm::dot(ab, ab), 0.0, 1.0);
            closest = pa + ab * t;
            best.across = glm::length(p - closest);
            best.distanceAlong = samples[a].distance + t * (samples[a + 1].distance - samples[a].distance);
        }
        // Away from the bend's centre is outside; the unit offset keeps this continuous across the centre line,
        // where the rim does not matter anyway.
        glm::dvec2 offset = p - closest;
        double length = glm::length(offset);
        if (length > 1e-9) {
            double outward =
                -glm::dot(offset / length, f.curvatureAt(best.distanceAlong)) * f.design->channel.bendRadiusFull;
            best.bendOutside = std::clamp(outward, 0.0, 1.0);
            glm::dvec2 curvature = f.curvatureAt(best.distanceAlong);
            best.bendCurvature = glm::length(curvature);
            best.outward = glm::dot(offset, curvature) > 0.0 ? -best.across : best.across;
        }
        out.push_back(best);
    }
}

double noise2(int noiseSeed, double x, double z, double scale, int octaves) {
    return stb_perlin_fbm_noise3(static_cast<float>(x / scale), static_cast<float>(z / scale),
                                 static_cast<float>(noiseSeed) + 0.5f, 2.0f, 0.5f, octaves);
}

double ridges(int noiseSeed, double x, double z, double scale) {
    return stb_perlin_ridge_noise3(static_cast<float>(x / scale), static_cast<float>(z / scale),
                                   static_cast<float>(noiseSeed) + 0.25f, 2.0f, 0.5f, 1.0f, 5);
}

double softLimit(double y) {
    double range = hardHeightLimit - softHeightLimit;
    if (y > softHeightLimit) {
        return softHeightLimit + range * std::tanh((y - softHeightLimit) / range);
    }
    if (y < -softHeightLimit) {
        return -softHeightLimit - range * std::tanh((-y - softHeightLimit) / range);
    }
    return y;
}

// The two surfaces the ground is made of at one point: the channel, and the rims with the land around them.
// The ground is the lower of the two.
struct Surfaces {
    double channel;
    double land;
};

Surfaces courseSurfaces(const CourseField& f, double x, double z, std::vector<double>& d2,
                        std::vector<Candidate>& candidates) {
    glm::dvec2 p(x, z);
    findCandidates(f, p, d2, candidates);

    const ChannelShape& shape = f.design->channel;
    const LandShape& landShape = f.design->land;
    double valley = 1e9;
    double rims = -1e9;
    double nearest = 1e9;
    for (const Candidate& c : candidates) {
        double rim = rimHeightAt(shape, c.distanceAlong, c.bendOutside);
        double steepest = shape.wallMaxSlope + shape.bendWallSlopeExtra * c.bendOutside;
        double floor = f.floor.at(c.distanceAlong);
        double flat = floorHalfWidthAt(shape, c.distanceAlong);
        // The floor leans into the bend, so a ball at a fair speed rides round it on the floor, not up the wall.
        floor += bankSlope(shape, c.bendCurvature, c.distanceAlong) * std::clamp(c.outward, -flat, flat);
        Wall wall = channelWall(shape, c.across, rim, steepest, flat);
        double crest = floor + rim - rimOuterSlope * std::max(0.0, c.across - wall.rimDistance - rimCrestWidth);
        // Hard minimum and maximum here: one stretch of the route seen from a point near the centre of its bend
        // gives many near-equal candidates, and a smooth blend would count each of them again.
        valley = std::min(valley, floor + wall.height);
        rims = std::max(rims, crest);
        nearest = std::min(nearest, c.across);
    }

    // The course's height spread into the land: nearby stretches of the course weigh most.
    double weightSum = 0.0;
    double levelSum = 0.0;
    const std::vector<RouteSample>& samples = f.route.samples;
    for (std::size_t j = 0; j < samples.size(); j += 4) {
        double w = 1.0 / std::pow(d2[j] + levelBlendRadius * levelBlendRadius, 2.0);
        weightSum += w;
        levelSum += w * f.floor.at(samples[j].distance);
    }
    double level = levelSum / weightSum;

    double beyondChannel = nearest - (shape.floorHalfWidth + shape.wallRadius);
    double hills = landShape.hillHeight * smoothstep(hillsStart, hillsFull, beyondChannel) *
                   std::clamp(0.45 + 0.75 * noise2(landShape.noiseSeed, x, z, landShape.hillScale, 5), 0.0, 1.2);
    double edge = 0.5 * mapSize - std::max(std::fabs(x), std::fabs(z));
    double mountains = landShape.mountainHeight * smoothstep(mountainStart, mountainFull, edge) *
                       (0.55 + 0.45 * std::clamp(ridges(landShape.noiseSeed, x, z, mountainScale), 0.0, 1.0));
    // Low swells right beside the course, so the land between the big hills is never a dead flat.
    double swells = landShape.swellHeight * smoothstep(swellsStart, swellsStart + 20.0, beyondChannel) *
                    noise2(landShape.noiseSeed, x + 1000.0, z - 1000.0, swellScale, 3);
    glm::dvec2 fromStart = p - f.spur.start;
    double landDrop = landDropNearStart * (1.0 - smoothstep(landDropInner, landDropOuter, glm::length(fromStart)));
    double land = level + shape.rimHeight - rimAboveLand + hills + swells + mountains - landDrop;

    if (candidates.empty()) {
        return {1e9, land};
    }
    return {valley, smoothMax(rims, land, landBlend)};
}

// Gaussian blur of a square grid, edges clamped.
std::vector<double> blurGrid(const std::vector<double>& grid, int size, double sigma) {
    auto radius = static_cast<int>(std::ceil(3.0 * sigma));
    std::vector<double> kernel;
    double sum = 0.0;
    for (int k = -radius; k <= radius; ++k) {
        kernel.push_back(std::exp(-0.5 * k * k / (sigma * sigma)));
        sum += kernel.back();
    }
    for (double& w : kernel) {
        w /= sum;
    }
    auto at = [size](int x, int z) {
        return static_cast<std::size_t>(std::clamp(z, 0, size - 1)) * static_cast<std::size_t>(size) +
               static_cast<std::size_t>(std::clamp(x, 0, size - 1));
    };
    std::vector<double> across(grid.size());
    std::vector<double> out(grid.size());
    for (int z = 0; z < size; ++z) {
        for (int x = 0; x < size; ++x) {
            double v = 0.0;
            for (int k = -radius; k <= radius; ++k) {
                v += kernel[static_cast<std::size_t>(k + radius)] * grid[at(x + k, z)];
            }
            across[at(x, z)] = v;
        }
    }
    for (int z = 0; z < size; ++z) {
        for (int x = 0; x < size; ++x) {
            double v = 0.0;
            for (int k = -radius; k <= radius; ++k) {
                v += kernel[static_cast<std::size_t>(k + radius)] * across[at(x, z + k)];
            }
            out[at(x, z)] = v;
        }
    }
    return out;
}

uint16_t toSample(double y) {
    double u = std::round(32767.0 + y * sampleUnitsPerWorldUnit);
    return static_cast<uint16_t>(std::clamp(u, 0.0, 65534.0));
}

} // namespace

// Drawn ground at world (x, z), on the same two triangles per cell that the terrain mesh draws.
double drawnGround(const HeightGrid& grid, double x, double z) {
    double gx = x + static_cast<double>(grid.width / 2);
    double gz = z + static_cast<double>(grid.height / 2);
    int ix = std::clamp(static_cast<int>(std::floor(gx)), 0, grid.width - 2);
    int iz = std::clamp(static_cast<int>(std::floor(gz)), 0, grid.height - 2);
    double fx = gx - ix;
    double fz = gz - iz;
    auto h = [&](int cx, int cz) {
        return 100.0 * grid.samples[static_cast<std::size_t>(cz) * static_cast<std::size_t>(grid.width) +
                                    static_cast<std::size_t>(cx)] / 32767.0;
    };
    double h00 = h(ix, iz);
    double h10 = h(ix + 1, iz);
    double h01 = h(ix, iz + 1);
    double h11 = h(ix + 1, iz + 1);
    // Cells split along the diagonal from (x+1, z) to (x, z+1).
    if (fx + fz <= 1.0) {
        return h00 + fx * (h10 - h00) + fz * (h01 - h00);
    }
    return h11 + (1.0 - fx) * (h01 - h11) + (1.0 - fz) * (h10 - h11);
}

bool carveHeightmap(const Course& course, const CourseDesign& design, std::vector<uint16_t>& samples,
                    CarveReport* report, const std::function<void(float)>& progress, const std::atomic<bool>* cancel) {
    CourseField field = makeCourseField(course, design);
    if (field.route.samples.size() < 2) {
        std::fprintf(stderr, "the route of %s has fewer than two points\n", design.id.c_str());
        return false;
    }
    samples.assign(static_cast<std::size_t>(mapSize) * mapSize, 0);
    std::vector<double> channel(samples.size());
    std::vector<double> land(samples.size());
    // Rows are shared out among threads as they come free; each row depends on nothing but the field, so the
    // samples are the same however many threads carve them.
    std::atomic<int> nextRow{0};
    std::atomic<bool> stopped{false};
    auto carveRows = [&](bool reports) {
        std::vector<double> d2;
        std::vector<Candidate> candidates;
        for (int gz = nextRow.fetch_add(1); gz < mapSize; gz = nextRow.fetch_add(1)) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
                stopped.store(true);
                return;
            }
            if (reports && progress) {
                progress(static_cast<float>(gz) / mapSize);
            }
            for (int gx = 0; gx < mapSize; ++gx) {
                Surfaces surfaces = courseSurfaces(field, gx - mapSize / 2, gz - mapSize / 2, d2, candidates);
                std::size_t i = static_cast<std::size_t>(gz) * mapSize + static_cast<std::size_t>(gx);
                channel[i] = surfaces.channel;
                land[i] = surfaces.land;
            }
        }
    };
    std::vector<std::thread> helpers;
    const unsigned cores = std::thread::hardware_concurrency();
    for (unsigned k = 1; k < std::min(std::max(cores, 1u), maxCarvingThreads); ++k) {
        helpers.emplace_back(carveRows, false);
    }
    carveRows(true);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    if (stopped.load()) {
        return false;
    }
    // The land keeps creases where the rims of two stretches meet; a light blur rounds them. The channel stays
    // sharp, so its floor keeps the exact heights under the checkpoints.
    land = blurGrid(land, mapSize, landSoftening);
    std::vector<double> heights(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        int gx = static_cast<int>(i % mapSize) - mapSize / 2;
        int gz = static_cast<int>(i / mapSize) - mapSize / 2;
        heights[i] = softLimit(std::min(smoothMin(channel[i], land[i], rimBlend),
                                        startCeiling(design.channel, field.spur, gx, gz)));
        samples[i] = toSample(heights[i]);
    }
    if (report == nullptr) {
        return true;
    }
    // The steepest step between neighbours: a cliff here would be a bug in the shapes above.
    *report = CarveReport{};
    report->centreLength = field.route.length;
    for (int gz = 0; gz + 1 < mapSize; ++gz) {
        for (int gx = 0; gx + 1 < mapSize; ++gx) {
            std::size_t i = static_cast<std::size_t>(gz) * mapSize + static_cast<std::size_t>(gx);
            double step = std::max(std::fabs(heights[i + 1] - heights[i]), std::fabs(heights[i + mapSize] - heights[i]));
            if (step > report->steepest) {
                report->steepest = step;
                report->steepX = gx - mapSize / 2;
                report->steepZ = gz - mapSize / 2;
            }
        }
    }
    return true;
}

HeightGrid gridOfSamples(const std::vector<uint16_t>& samples, int size) {
    HeightGrid grid;
    grid.width = size;
    grid.height = size;
    grid.samples.reserve(samples.size());
    for (uint16_t u : samples) {
        grid.samples.push_back(convertSample(u));
    }
    return grid;
}

void placeCheckpoints(Course& course, const HeightGrid& grid) {
    HeightGrid pressed = grid;
    pressGoalHollow(pressed, course.goal().x, course.goal().z);
    for (std::size_t i = 0; i < course.checkpoints.size(); ++i) {
        glm::vec3& c = course.checkpoints[i];
        const bool goal = i == course.goalIndex();
        const double ground = drawnGround(goal ? pressed : grid, c.x, c.z);
        // Rounded as the file writes it.
        c.y = static_cast<float>(std::round((ground + (goal ? goalAboveHollow : groundBelowCheckpoint)) * 100.0) /
                                 100.0);
    }
}
