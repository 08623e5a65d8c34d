// sweep.cpp -- the default drawing against the designed one over a table of
// views generated here, not only those of the key scripts: the free camera
// above, at and below the ground (far below too), at the field's edge and
// outside it, inside and beside a tree and beside sinking ones, looking
// level, straight up, straight down and at grazing angles; and the other
// four cameras with the robot at the start, beside a tree, at the edge and
// among the sinking trees, facing four ways; and a ring of level views
// below the ground among the trees. In every view eight trees are sinking,
// four of them with a cone's base in the ground plane, and one is gone.
//
// Each view is drawn three times in the real window: once by default so
// that the trees (drawn before the camera moves, with the last frame's
// view) see this view, once by default to keep, once as designed to
// compare. The golden rule judges: a pixel differs when one of its colour
// values differs by more than 10 of 255; at most 125 of the 250,000 may.
//
//   sweep [--out DIR] [--verbose]
//       prints every failing view and the worst of all; with --out, writes
//       the two pictures of each failing view there (PPM); with --verbose,
//       the count of every view. Exit status 1 if any view fails.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game.h"
#include "play.h"

const int TOLERANCE = 10;    // colour levels of 255 a pixel may move
const int MAX_DIFFERING = 125;  // pixels that may move more

struct Pose {
    std::string name;
    int cam;                    // typeCam
    float x0, z0, angle;        // the robot
    float fx, fy, fz;           // the free camera's eye
    float tilt, heading;        // its angles before the frame
    int tiltKey;                // 1: o held, the tilt branch; 0: heading branch
};

// The sinking trees of every view: (tree, sink level), 0 for gone.
struct Sink {
    int tree;
    float destroy;
};
static std::vector<Sink> sinks;

// Picks eight trees of the central square and sinks them by as many of the
// game's steps of 0.1 (the frame adds one more): from barely started, past
// the four levels where a cone's base lies in the ground plane, to gone.
// Reads sapinS; writes sinks.
static void chooseSinkingTrees()
{
    const int steps[] = {0, 9, 20, 30, 39, 55, 79, 100};
    int next = 0;
    for (int i = 0; i < nbsapin && next < 8; i++) {
        const sa& tree = sapinS[i];
        if (tree.X > -12 && tree.X < 12 && tree.Z > -12 && tree.Z < 12) {
            float level = 10;
            for (int k = 0; k < steps[next]; k++)
                level = (float)((double)level - 0.1);
            sinks.push_back({i, level});
            next++;
        }
    }
}

static std::string format(const char* f, double a, double b, double c, double d = 0)
{
    char text[160];
    snprintf(text, sizeof text, f, a, b, c, d);
    return text;
}

// The free camera's views: every pair of spot and height, each with three
// of the looks, cycled so that every height meets every look somewhere.
static void addFreeViews(std::vector<Pose>& poses)
{
    const sa& tree = sapinS[0];
    const sa& sunk = sapinS[sinks[3].tree];
    const float spots[][2] = {
        {0, 0},
        {-26, 3},                                      // just inside the west edge
        {26.5f, -4},                                   // on the east edge
        {33, 10},                                      // beyond the ring
        {-60, -70},                                    // far outside
        {(float)(int)tree.X, (float)(int)tree.Z},      // inside a tree
        {(float)(int)tree.X + 1.2f, (float)(int)tree.Z + 0.7f},  // beside it
        {(float)(int)sunk.X + 3, (float)(int)sunk.Z},  // beside sinking trees
    };
    const float heights[] = {-40, -12, -6, -3, -2, -1, 0, 1, 3, 14, 45};
    // (tilt key, angle): level headings, then tilts from straight up to
    // straight down (the frame adds 0.01 to the tilt first).
    const float looks[][2] = {
        {0, 0}, {0, 0.8f}, {0, 2.3f}, {0, -1.6f}, {0, -0.3f},
        {1, -0.01f}, {1, 3.13f}, {1, 1.56f}, {1, 1.44f}, {1, 1.69f}, {1, 0.25f}, {1, 2.9f},
    };
    const int nSpots = sizeof spots / sizeof spots[0];
    const int nHeights = sizeof heights / sizeof heights[0];
    const int nLooks = sizeof looks / sizeof looks[0];
    for (int s = 0; s < nSpots; s++)
        for (int h = 0; h < nHeights; h++)
            for (int j = 0; j < 3; j++) {
                const float* look = looks[(s * 5 + h + j * 4) % nLooks];
                Pose p{"", 4, 1, 1, 0, spots[s][0], heights[h], spots[s][1], 0, 0, (int)look[0]};
                (p.tiltKey ? p.tilt : p.heading) = look[1];
                p.name = format(p.tiltKey ? "free camera eye (%g, %g, %g), tilt %g"
                                          : "free camera eye (%g, %g, %g), heading %g",
                                p.fx, p.fy, p.fz, look[1]);
                poses.push_back(p);
            }
}

// Below the ground, looking level all around, among the trees and the
// sinking ones: where the ground is seen from beneath near the eye.
static void addUndergroundViews(std::vector<Pose>& poses)
{
    const float spots[][2] = {{-10, 0}, {-20, 0}, {0, 10}, {-20, 10}};
    const float heights[] = {-3, -4, -5, -8};
    for (const auto& spot : spots)
        for (float y : heights)
            for (int h = 0; h < 8; h++) {
                Pose p{"", 4, 1, 1, 0, spot[0], y, spot[1], 0, (float)(h * 0.785 - 3.0), 0};
                p.name = format("free camera eye (%g, %g, %g), heading %g", p.fx, p.fy, p.fz,
                                p.heading);
                poses.push_back(p);
            }
}

// The robot's four cameras, with the robot at four spots facing four ways.
static void addRobotViews(std::vector<Pose>& poses)
{
    const sa& sunk = sapinS[sinks[2].tree];
    // The tree at X 4.5, Z 1 stands 3.5 units behind the robot's start.
    const float spots[][2] = {{1, 1}, {2.6f, 1}, {-25, -3}, {sunk.X + 2.5f, sunk.Z}};
    const float headings[] = {0, 1.6f, 3.0f, -2.2f};
    const char* names[] = {"surveillance", "chase", "first-person", "map"};
    for (int cam = 0; cam < 4; cam++)
        for (const auto& spot : spots)
            for (float heading : headings) {
                Pose p{"", cam, spot[0], spot[1], heading, 0, 0, 0, 0, 0, 0};
                p.name = std::string(names[cam]) +
                         format(" camera, robot at (%g, %g) heading %g", spot[0], spot[1], heading);
                poses.push_back(p);
            }
}

// Puts the world into the view's state, as it stands before its frame.
// Writes the robot, the free camera, typeCam, the held keys and the sink
// levels of the sinking trees.
static void setPose(const Pose& p)
{
    typeCam = p.cam;
    X0 = p.x0;
    Z0 = p.z0;
    angle = p.angle;
    XCamLibre = p.fx;
    YCamLibre = p.fy;
    ZCamLibre = p.fz;
    angle1CamLibre = p.tilt;
    angle2CamLibre = p.heading;
    releaseAllKeys();
    keyStates['o'] = p.tiltKey;
    for (const Sink& s : sinks)
        sapinS[s.tree].destroy = s.destroy;
}

// The view drawn in the drawing `designed` (0 default, 1 designed).
static std::vector<unsigned char> drawPose(const Pose& p, int designed)
{
    immediateDrawing = designed;
    setPose(p);
    playFrame();
    return readWindow();
}

static void writePpm(const std::string& path, const std::vector<unsigned char>& rgb)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr)
        return;
    fprintf(f, "P6\n500 500\n255\n");
    for (int row = 499; row >= 0; row--)
        fwrite(&rgb[(size_t)row * 500 * 3], 1, 500 * 3, f);
    fclose(f);
}

// Pixels differing by the golden rule, and the largest difference of all.
static int differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                     int* largest)
{
    int count = 0;
    for (size_t px = 0; px < a.size(); px += 3) {
        int worst = 0;
        for (int c = 0; c < 3; c++)
            worst = std::max(worst, abs((int)a[px + c] - (int)b[px + c]));
        count += worst > TOLERANCE;
        *largest = std::max(*largest, worst);
    }
    return count;
}

int main(int argc, char** argv)
{
    std::string out;
    int verbose = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--verbose") == 0)
            verbose = 1;
        else if (strcmp(argv[i], "--out") == 0 && i + 1 < argc)
            out = argv[++i];
    }
    if (!openGameWindow(argv[0], 1))
        return 1;
    chooseSinkingTrees();
    std::vector<Pose> poses;
    addFreeViews(poses);
    addUndergroundViews(poses);
    addRobotViews(poses);

    int failed = 0, worst = -1, worstCount = -1;
    for (size_t k = 0; k < poses.size(); k++) {
        const Pose& p = poses[k];
        drawPose(p, 0);  // the trees now see this view
        std::vector<unsigned char> ours = drawPose(p, 0);
        std::vector<unsigned char> designed = drawPose(p, 1);
        int largest = 0;
        int count = differing(ours, designed, &largest);
        if (count > worstCount) {
            worstCount = count;
            worst = (int)k;
            if (!out.empty()) {
                writePpm(out + "/worst-default.ppm", ours);
                writePpm(out + "/worst-designed.ppm", designed);
            }
        }
        if (verbose)
            printf("view %zu, %s: %d (largest %d)\n", k, p.name.c_str(), count, largest);
        if (count > MAX_DIFFERING) {
            failed++;
            printf("FAIL view %zu, %s: %d pixels differ by more than %d (largest %d)\n", k,
                   p.name.c_str(), count, TOLERANCE, largest);
            if (!out.empty()) {
                writePpm(out + "/view" + std::to_string(k) + "-default.ppm", ours);
                writePpm(out + "/view" + std::to_string(k) + "-designed.ppm", designed);
            }
        }
    }
    printf("%zu views, %d failed; the worst, view %d (%s), has %d pixels over %d\n",
           poses.size(), failed, worst, poses[worst].name.c_str(), worstCount, TOLERANCE);
    closeWindow();
    return failed == 0 ? 0 : 1;
}
