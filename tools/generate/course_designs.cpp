// The designs of every course the generator carves: routes, floor heights, channel and land shapes, race numbers
// and grass colours. Coordinates are world units, x east and z south; the map spans -256..256 both ways.
#include "tools/generate/course_designs.h"

namespace {

DesignPoint at(double x, double z) {
    return {x, z, false, 0.0};
}
DesignPoint checkpoint(double x, double z, double ground) {
    return {x, z, true, ground};
}

// Every generated course: no low-rimmed first bend and no run-off valley beside the start, which only suit the
// valley's first bend.
ChannelShape plainChannel() {
    ChannelShape c;
    c.firstBendRim = c.rimHeight;
    c.runoff = false;
    return c;
}

CourseDesign makeValley() {
    CourseDesign d;
    d.id = "valley";
    d.name = "Kelvara Valley";
    // Before checkpoint 3 the fall into the goal starts early and steepens gradually, so a fast ball is not thrown
    // off the crest.
    d.knots = {
        {0, 35.0, -4.0}, // the first straight runs downhill into the first bend
        {3, 20.0, -9.0},
    };
    d.grass = {{0.15f, 0.24f, 0.07f}, {0.20f, 0.42f, 0.09f}, {0.38f, 0.68f, 0.17f}, {0.56f, 0.60f, 0.21f}};
    return d;
}

// Wide and gentle: a newcomer's first course, an easy S down a meadow with plenty of time.
CourseDesign makeMeadow() {
    CourseDesign d;
    d.id = "meadow";
    d.name = "Meadow Run";
    d.about = "A wide, gentle S down a spring meadow: the course for a first race.";
    d.channel = plainChannel();
    d.channel.floorHalfWidth = 4.5;
    d.channel.padFloorHalfWidth = 4.5;
    d.channel.wallMaxSlope = 2.0;
    d.land.hillHeight = 16.0;
    d.land.hillScale = 110.0;
    d.land.noiseSeed = 11;
    d.route = {
        checkpoint(-160.0, 160.0, 40.0), at(-150.0, 110.0),  checkpoint(-110.0, 60.0, 32.0), at(-50.0, 40.0),
        checkpoint(0.0, 70.0, 24.0),     at(50.0, 100.0),    checkpoint(110.0, 80.0, 16.0), at(150.0, 30.0),
        checkpoint(140.0, -40.0, 8.0),   at(100.0, -90.0),   checkpoint(30.0, -110.0, 0.0), at(-30.0, -115.0),
        checkpoint(-80.0, -130.0, -10.0), at(-110.0, -140.0), at(-135.0, -145.0),
    };
    d.countdown = 20.0f;
    d.checkpointSeconds = 5.0f;
    d.grass = {{0.18f, 0.22f, 0.06f}, {0.30f, 0.50f, 0.10f}, {0.52f, 0.70f, 0.20f}, {0.70f, 0.66f, 0.25f}};
    d.grassSeed = 101;
    return d;
}

// A long spiral of fourteen checkpoints from the map's edge into its middle.
CourseDesign makeSpiral() {
    CourseDesign d;
    d.id = "spiral";
    d.name = "Grand Spiral";
    d.about = "A long spiral of fourteen checkpoints from the edge of the map down into its middle.";
    d.channel = plainChannel();
    d.land.noiseSeed = 23;
    d.land.hillHeight = 30.0;
    d.route = {
        checkpoint(-173.2, -100.0, 65.0), at(-119.6, -154.0), checkpoint(-51.4, -182.9, 56.0), at(20.8, -183.8),
        checkpoint(86.2, -158.0, 48.0),   at(135.6, -110.7),  checkpoint(162.5, -49.9, 41.0),  at(164.4, 14.6),
        checkpoint(142.3, 73.2, 34.0),    at(100.9, 117.7),   checkpoint(47.5, 142.3, 27.0),   at(-9.3, 144.7),
        checkpoint(-61.0, 126.0, 20.0),   at(-100.3, 90.3),   checkpoint(-122.3, 44.1, 13.0),  at(-124.9, -5.0),
        checkpoint(-109.2, -49.7, 6.0),   at(-79.0, -83.6),   checkpoint(-39.8, -102.5, -1.0), at(1.7, -105.0),
        checkpoint(39.2, -92.0, -8.0),    at(67.4, -66.9),    checkpoint(83.1, -34.6, -15.0),  at(85.0, -0.7),
        checkpoint(74.3, 29.6, -22.0),    at(54.1, 52.0),     checkpoint(28.5, 63.9, -30.0),   at(5.0, 68.0),
        at(-15.0, 68.0),
    };
    d.countdown = 20.0f;
    d.checkpointSeconds = 3.0f;
    d.grass = {{0.08f, 0.16f, 0.10f}, {0.10f, 0.32f, 0.17f}, {0.22f, 0.52f, 0.30f}, {0.45f, 0.50f, 0.25f}};
    d.grassSeed = 202;
    return d;
}

// Long straights over crests and through dips: the ball must carry its speed up every rise.
CourseDesign makeRollers() {
    CourseDesign d;
    d.id = "rollers";
    d.name = "Rollers";
    d.about = "Straights over crests and through dips: carry the speed up every rise, and hold on over the tops.";
    d.channel = plainChannel();
    d.land.noiseSeed = 31;
    d.land.hillHeight = 20.0;
    d.route = {
        checkpoint(-190.0, -170.0, 45.0), checkpoint(-100.0, -170.0, 20.0), checkpoint(-10.0, -170.0, 30.0),
        at(60.0, -165.0),                 at(110.0, -140.0),                 checkpoint(140.0, -90.0, 8.0),
        at(150.0, -40.0),                 checkpoint(140.0, 20.0, 16.0),     at(110.0, 70.0),
        at(60.0, 90.0),                   checkpoint(0.0, 95.0, -5.0),       checkpoint(-80.0, 95.0, 3.0),
        at(-140.0, 110.0),                checkpoint(-180.0, 150.0, -20.0),  at(-195.0, 170.0),
        at(-205.0, 185.0),
    };
    d.countdown = 12.0f;
    d.checkpointSeconds = 4.0f;
    d.grass = {{0.22f, 0.16f, 0.08f}, {0.40f, 0.30f, 0.08f}, {0.62f, 0.48f, 0.14f}, {0.68f, 0.30f, 0.12f}};
    d.grassSeed = 303;
    return d;
}

// Switchbacks down a hillside: four hairpins, each with its checkpoint at the apex.
CourseDesign makeSwitchbacks() {
    CourseDesign d;
    d.id = "switchbacks";
    d.name = "Switchback Hill";
    d.about = "Five traverses down a hillside joined by four hairpins, each with its checkpoint at the apex.";
    d.channel = plainChannel();
    d.land.noiseSeed = 47;
    d.route = {
        checkpoint(-90.0, -160.0, 62.0), at(0.0, -160.0),   at(90.0, -158.0),  at(120.0, -150.0),
        checkpoint(135.0, -130.0, 54.0), at(120.0, -108.0), at(90.0, -100.0),  checkpoint(0.0, -100.0, 47.0),
        at(-90.0, -98.0),                at(-120.0, -90.0), checkpoint(-135.0, -70.0, 39.0), at(-120.0, -48.0),
        at(-90.0, -40.0),                checkpoint(0.0, -40.0, 32.0), at(90.0, -38.0), at(120.0, -30.0),
        checkpoint(135.0, -10.0, 24.0),  at(120.0, 12.0),   at(90.0, 20.0),    checkpoint(0.0, 20.0, 17.0),
        at(-90.0, 22.0),                 at(-120.0, 30.0),  checkpoint(-135.0, 50.0, 9.0), at(-120.0, 72.0),
        at(-90.0, 80.0),                 checkpoint(-10.0, 80.0, 0.0), at(20.0, 80.0), at(40.0, 80.0),
    };
    d.knots = {{0, 35.0, -4.0}}; // a downhill run off the pad, as a slow start would cost the first traverse
    d.countdown = 22.0f;
    d.checkpointSeconds = 4.0f;
    d.grass = {{0.10f, 0.20f, 0.12f}, {0.14f, 0.36f, 0.18f}, {0.28f, 0.58f, 0.34f}, {0.50f, 0.55f, 0.30f}};
    d.grassSeed = 404;
    return d;
}

// A narrow floor between tall walls, winding across the map: the hardest course, with the least time to spare.
CourseDesign makeCanyon() {
    CourseDesign d;
    d.id = "canyon";
    d.name = "Ochre Canyon";
    d.about = "A narrow floor between tall walls winding across dry land, with the least time to spare.";
    d.channel = plainChannel();
    d.channel.floorHalfWidth = 1.5;
    d.channel.wallMaxSlope = 3.0;
    d.channel.rimHeight = 12.0;
    d.channel.firstBendRim = d.channel.rimHeight;
    d.land.hillHeight = 40.0;
    d.land.noiseSeed = 59;
    d.route = {
        checkpoint(-190.0, 0.0, 50.0), at(-150.0, -30.0), at(-100.0, -50.0), checkpoint(-60.0, -30.0, 38.0),
        at(-30.0, 10.0),               at(0.0, 40.0),     checkpoint(40.0, 50.0, 28.0), at(80.0, 30.0),
        at(110.0, -10.0),              checkpoint(140.0, -50.0, 18.0), at(160.0, -100.0), at(130.0, -140.0),
        checkpoint(80.0, -150.0, 6.0), at(30.0, -140.0), checkpoint(-20.0, -150.0, -6.0), at(-50.0, -155.0),
        at(-70.0, -160.0),
    };
    d.countdown = 16.5f;
    d.checkpointSeconds = 3.0f;
    d.grass = {{0.30f, 0.18f, 0.09f}, {0.42f, 0.34f, 0.12f}, {0.66f, 0.56f, 0.26f}, {0.70f, 0.45f, 0.22f}};
    d.grassSeed = 505;
    return d;
}

} // namespace

const CourseDesign& valleyDesign() {
    static const CourseDesign valley = makeValley();
    return valley;
}

const std::vector<CourseDesign>& generatedCourseDesigns() {
    static const std::vector<CourseDesign> designs = {makeMeadow(), makeSpiral(), makeRollers(), makeSwitchbacks(),
                                                      makeCanyon()};
    return designs;
}
