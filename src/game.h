// game.h -- everything the subsystems share: the two records, every global
// of the world (grouped by the subsystem that owns it) and every function
// one subsystem calls in another.
//
// All state is global and lives for the whole run; nothing is allocated while
// the game runs. Positions and angles are 32-bit floats, but every update is
// computed in double precision and rounded once, when it is stored.

#ifndef CLANKWISE_GAME_H
#define CLANKWISE_GAME_H

#include <GL/freeglut.h>  // freeglut: also the modifier keys

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// One bullet of the pool.
struct bu {
    int etat;   // 1 in flight, 0 free slot
    float dir;  // heading in radians, copied from the robot when fired
    float X;    // world X
    float Z;    // world Z
};

// One fir tree of the table.
struct sa {
    float X = 0;         // world X: collision centre, drawn truncated to int
    float Z = 0;         // world Z
    float color = 0;     // green of the crown, 0.10 .. 0.79
    int Pv = 5;          // hit points left before the tree starts to sink
    float destroy = 10;  // sink level: 10 standing, < 10 sinking, <= 0 gone
};

const int NB_BULLETS = 66;  // slots in the bullet pool
const int NB_TREES = 211;   // records in the tree table

// The field: ground squares from -FIELD to FIELD - 1 on both axes; bullets
// fly while -FIELD <= X, Z <= FIELD.
const int FIELD = 27;

// Camera modes, the values of typeCam. The top-row keys cross the last
// two: top-row 4 is the free camera, top-row 5 the map.
const int CAM_SURVEILLANCE = 0;
const int CAM_CHASE = 1;
const int CAM_FIRST_PERSON = 2;
const int CAM_MAP = 3;
const int CAM_FREE = 4;

// Movement kinds, the last argument of moveEn.
const int MOVE_ROBOT = 0;        // collision radius 2.5, step 0.25
const int MOVE_BULLET = 1;       // radius 1.5, step 1
const int MOVE_CHASE_PROBE = 2;  // radius 2, step 0.25, reversed
const int MOVE_STEP_PROBE = 3;   // radius 1.5, step 1, reversed

// Movement flags, the indices of HBGDplay and of every mover's flags.
const int FLAG_BACK = 0;
const int FLAG_FORWARD = 1;
const int FLAG_LEFT = 2;
const int FLAG_RIGHT = 3;

// The game's sounds, the kinds of soundAt. The motor is not an event: it
// runs while the robot drives or turns.
const int SOUND_SHOT = 0;      // a bullet leaves the gun
const int SOUND_TREE_HIT = 1;  // a bullet strikes a tree
const int SOUND_SINKING = 2;   // a tree's fifth hit: it sinks, 100 frames
const int SOUND_PUNCH = 3;     // an arm starts a punch
const int SOUND_BUMP = 4;      // the robot runs into a tree
const int SOUND_MOTOR = 5;     // the wheels' motor, a loop
const int NB_SOUNDS = 6;

// Where the sound goes, the values of soundOutput.
const int SOUND_NONE = 0;      // nowhere: the tests, benchmarks and most tools
const int SOUND_DEVICE = 1;    // the default audio device, if there is one
const int SOUND_LOOPBACK = 2;  // rendered on demand (replay --audio)

const int SOUND_RATE = 48000;                    // samples a second
const int SOUND_FRAME_SAMPLES = SOUND_RATE / 100;  // samples of one 10 ms frame

const int START_HINT_FRAMES = 600;  // the "H: help" hint: 6 s at full speed

// Headings wrap at pi, compared in double precision, to the float nearest
// pi, whose magnitude is just above pi.
const double PI = 3.141592653589793;
const float PI_F = 3.1415927410125732f;
const double DEGREES_PER_RADIAN = 57.29577951308232;

// ---------------------------------------------------------------------------
// Globals, grouped by subsystem; all are defined in world/state.cpp. The
// trailing note gives the unit and range, then who writes it.
// ---------------------------------------------------------------------------

// World (src/world): the robot, the trees, the run
extern float X0;          // robot world X, start 1; moveEn (motion)
extern float Z0;          // robot world Z, start 1; moveEn (motion)
extern float y;           // robot drawing height, always 0; nobody
extern float angle;       // robot heading, radians, -pi..pi (wraps); moveEn (motion)
extern float roue1;       // wheel 1 angle, degrees, -15..375; moveEn, display (frame)
extern float roue2;       // wheel 2 angle, likewise
extern sa sapinS[NB_TREES];     // tree table; plantTrees, moveEn (sinking, hits)
extern int nbsapin;             // trees in use, 211; nobody but the tests
extern double tab[2 * NB_TREES];  // layout: (Z, X) pairs in tree order; constant
extern int paused;        // 1 while paused (p): frames draw, nothing moves; togglePause
extern int windowGone;    // 1 once the window is closed: no callback may touch it; shutdown
extern int windowWidth;   // window size in pixels, 500 at start; reshape
extern int windowHeight;  // likewise
extern int windowHidden;  // 1 while the window is hidden or minimised; windowStatus
extern int frameDrawn;    // 1: this frame is drawn; 0: it runs but is not drawn (the
                          // pace fell behind: a later frame's picture is shown); pace
extern int designedPacing;  // 1: one frame per 10 ms tick, every frame drawn, as
                            // designed (CLANKWISE_DESIGNED_PACING=1); startGame
extern long framesDropped;  // frames the pace gave up on since the start; pace
extern double (*paceClock)();  // the pace's monotonic clock, ms; pace (tests: a fake)

extern int robotBumping;  // 1 while the robot is pushed back by a tree; moveEn (motion)

// Sound (src/sound): output only, the game never reads it
extern int soundOutput;   // SOUND_NONE, SOUND_DEVICE or SOUND_LOOPBACK; each program
                          // before startGame (main, page, replay --audio)
extern int soundMuted;    // 1: nothing heard (the n key, --mute); keyPressed, options

// Input (src/input): held keys and what they mean this frame
extern int keyStates[256];      // character keys, 1 = held; key callbacks
extern int specialStates[256];  // special keys (arrows, F1..), 1 = held; key callbacks
extern int HBGDplay[4];         // robot flags, FLAG_BACK..FLAG_RIGHT, 0/1; keyboard
extern int camlibre485679oklm[10];  // free-camera key flags, 0/1; keyboard
extern int typeCam;             // camera mode, CAM_SURVEILLANCE..CAM_FREE; keyboard
extern int capsLock;            // 1 while upper-case letters come with no Shift; keyPressed
extern int (*capsLockState)();  // the platform's Caps Lock, 1 or 0; null: cannot tell; main

const int NB_CONTROLS = 22;     // rows of the controls table
extern const char* const CONTROLS[NB_CONTROLS][4];  // key, twin, pad, action; input/keys.cpp

// A game pad as the platform reads it (SDL's game controller on the desktop,
// the Gamepad API's standard mapping in the page): buttons by place, sticks
// -1..1 with +Y down, triggers 0..1. input/pad.cpp turns it into held keys.
const int PAD_A = 0;              // face buttons: bottom,
const int PAD_B = 1;              // right,
const int PAD_X = 2;              // left,
const int PAD_Y = 3;              // top
const int PAD_BACK = 4;           // Back, Select, View
const int PAD_START = 5;          // Start, Menu
const int PAD_LEFT_STICK = 6;     // the left stick pressed in (L3)
const int PAD_RIGHT_STICK = 7;    // the right stick pressed in (R3)
const int PAD_LEFT_SHOULDER = 8;  // LB
const int PAD_RIGHT_SHOULDER = 9; // RB
const int PAD_UP = 10;            // the d-pad
const int PAD_DOWN = 11;
const int PAD_LEFT = 12;
const int PAD_RIGHT = 13;
const int PAD_BUTTONS = 14;
const int PAD_LEFT_X = 0;         // the left stick
const int PAD_LEFT_Y = 1;
const int PAD_RIGHT_X = 2;        // the right stick
const int PAD_RIGHT_Y = 3;
const int PAD_LEFT_TRIGGER = 4;   // LT
const int PAD_RIGHT_TRIGGER = 5;  // RT
const int PAD_AXES = 6;
const double PAD_DEAD_ZONE = 0.3;   // a stick nearer its centre than this holds nothing
const double PAD_TRIGGER_ON = 0.5;  // a trigger pulled this far holds its key
struct PadState {
    int connected;                // 0: no pad; everything the pad held is let go
    int button[PAD_BUTTONS];      // 1 while pressed
    double axis[PAD_AXES];
};
extern int padKeys[256];      // character keys the pad holds, 1 = held; padFrame
extern int padSpecials[256];  // special keys the pad holds; padFrame
extern int padShoulders;      // shoulder buttons held at the last read, bits 1 LB, 2 RB; padFrame
extern int padCycleKey;       // the camera key a shoulder holds, 0: none; padFrame
extern void (*padPoll)();     // reads the pad before each frame, null: no pad support
                              // started; startPad, stopPad

// Motion (src/motion): bullets
extern bu bulletS[NB_BULLETS];  // bullet pool; fire, moveBullets, moveEn
extern int bull;                // fire cooldown, frames, 0..10; fire

// Render (src/render): cameras, robot, scenery
extern float Xc;              // camera probe world X; placeCamera
extern float Zc;              // camera probe world Z; placeCamera
extern float XCamLibre;       // free camera eye X, unbounded; vuelibre
extern float YCamLibre;       // free camera eye Y, whole units; vuelibre
extern float ZCamLibre;       // free camera eye Z, unbounded; vuelibre
extern float angle1CamLibre;  // free camera tilt from +Y toward +Z, rad; vuelibre
extern float angle2CamLibre;  // free camera heading from +X toward +Z, rad; vuelibre
extern int hit;               // punch state 0..3 (2, 3: arm 0, 1 punching); robot
extern int punch;             // keyframe the punching arm moves to, 0..6; robot
extern float angleP1;         // punching arm first joint, degrees; robot
extern float angleP2;         // punching arm second joint, degrees; robot
extern GLUquadric* Cbras;     // arm cylinders; created before main
extern GLUquadric* Croue;     // wheel axle; created before main
extern GLUquadric* Csapin2;   // tree trunks; created before main
extern int immediateDrawing;  // 1: draw as designed, call by call (CLANKWISE_IMMEDIATE=1),
                              // 0: ground and trees from lists; startGame, --immediate
extern int treeStacks;        // stacks of each cone and trunk of a tree, 10 as designed,
                              // 1 while recording a tree the light cannot reach; cache

// The player's interface (render/overlay.cpp draws it)
extern int playerInterface;   // 1 in the game itself: help, start hint, notes and F11;
                              // 0 in the tools, tests and benchmarks; startGame
extern int startHint;         // 1 unless --no-hint: the game starts with its hint; options
extern int helpShown;         // 1 while the controls are shown over the scene; keyPressed
extern int hintFrames;        // frames the start hint still stays, 0 once gone;
                              // startGame, the key callbacks (a key ends it), overlay

// ---------------------------------------------------------------------------
// The world a frame may change
// ---------------------------------------------------------------------------

// One global (or table) that a frame may change: where it is and its size.
struct WorldPiece {
    void* at;
    int size;
};

// Everything a frame may change, listed once: the pause keeps these bytes
// and puts them back, the start puts back their start values, and a test
// checks that a paused frame leaves every byte of them alone. A new global
// that a frame changes belongs here.
inline constexpr WorldPiece WORLD[] = {
    {&X0, sizeof X0}, {&Z0, sizeof Z0}, {&angle, sizeof angle},
    {&roue1, sizeof roue1}, {&roue2, sizeof roue2},
    {sapinS, sizeof sapinS}, {bulletS, sizeof bulletS}, {&bull, sizeof bull},
    {&hit, sizeof hit}, {&punch, sizeof punch},
    {&angleP1, sizeof angleP1}, {&angleP2, sizeof angleP2},
    {&typeCam, sizeof typeCam}, {&Xc, sizeof Xc}, {&Zc, sizeof Zc},
    {&XCamLibre, sizeof XCamLibre}, {&YCamLibre, sizeof YCamLibre},
    {&ZCamLibre, sizeof ZCamLibre},
    {&angle1CamLibre, sizeof angle1CamLibre}, {&angle2CamLibre, sizeof angle2CamLibre},
    {HBGDplay, sizeof HBGDplay}, {camlibre485679oklm, sizeof camlibre485679oklm},
    {&robotBumping, sizeof robotBumping},
};
const int NB_WORLD_PIECES = sizeof WORLD / sizeof WORLD[0];

// The bytes of all the pieces, end to end.
constexpr int worldBytes()
{
    int n = 0;
    for (const WorldPiece& piece : WORLD)
        n += piece.size;
    return n;
}
const int WORLD_BYTES = worldBytes();

// ---------------------------------------------------------------------------
// Functions
// ---------------------------------------------------------------------------

// world/startup.cpp
void startGame(unsigned seed, int player);
void resetWorld();
void saveWorld(unsigned char* to);
void restoreWorld(const unsigned char* from);
void printCommands();
void clearTables();
void plantTrees();
void openWindow(int* argc, char** argv);
void initRendering();
void reshape(int w, int h);

// input/pad.cpp: a pad's state into held keys
void padFrame(const PadState& pad);

// input/pad_sdl.cpp: the desktop's pads, through SDL's game controllers;
// started by playInWindow. 1: started; 0: no pad support, and none is needed
int startPad();
void stopPad();

// world/pace.cpp
void resetPace();
int framesDue(double now);
void update(int value);
void runFrames(int count, void (*frame)());
void runDueFrames(void (*frame)());
void pacedDisplay();

// world/forest_rand.cpp: glibc's rand() sequence on every platform
void seedForest(unsigned seed);
int forestRand();
void glibcSrand(unsigned seed);
int glibcRand();

// world/options.cpp
int readCommandLine(int argc, char** argv);

// world/window_life.cpp: the desktop window's life, linked only by the
// programs that open the real window
int openShownWindow(char* program);
void playInWindow();
void windowClosing();
void closeWindow();

// world/xwindow.cpp (world/win32_window.cpp on Windows): the part that is
// the platform's own, linked only by programs that open the real window
int checkDisplay(const char* program, int argc, char** argv);
void nameWindow();
void watchFocus(int value);
int keyboardCapsLock();
void releaseContext();

// world/pause.cpp
void togglePause();
void beginPausedFrame();
void endPausedFrame();

// world/frame.cpp
void display();

// input/keys.cpp
void keyPressed(unsigned char key, int x, int y);
void keyUp(unsigned char key, int x, int y);
void specialPressed(int key, int x, int y);
void specialUp(int key, int x, int y);
void windowStatus(int state);
void releaseAllKeys();
void keyboard();

// motion/move.cpp
double sqr(double a);
void moveEn(float* Xm, float* Zm, float* r1, float* r2, float* anglem,
            int* HBGDm, int* etatm, int typem);

// motion/bullets.cpp
void fire();
void moveBullets();

// sound/sound.cpp: the sounds, made at start, and this frame's events
void startSound();
void soundToDevice();
int soundHeard();
void clearFrameSounds();
void soundAt(int kind, float x, float z);
void playFrameSounds();
int soundEventCount();
const int* soundEventKinds();
const short* soundSamples(int kind, int* count);

// render/camera.cpp
void placeCamera();
void vuelibre();

// render/robot.cpp
void punchTrigger();
void drawPlayer();
void robot(float R1, float R2, int type);
void body(float R1, float R2, int type);
void bras(int type);
void lumiere();

// render/scenery.cpp
void terrain();
void sapin(int Sx, int Sy, int Sz, float color, float destroy);

// render/cache.cpp
void startCachedTrees();
void drawCachedTree(int i);
void endCachedTrees();
void drawCachedGround();
void forgetCachedLists();

// render/overlay.cpp
void drawOverlay();

// render/cull.cpp
int sphereInView(const double m[16], double x, double y, double z, double r);
int sphereVisibility(const double m[16], double x, double y, double z, double r);
int sphereInSpot(const double light[4], const double direction[3], double cutoff,
                 const double centre[3], double r);

#endif
