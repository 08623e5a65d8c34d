// sound.cpp -- the game's sounds: made once at start from a few sines and
// some noise (no file to ship), started by the game's steps as events of the
// frame (soundAt), and handed to the audio library at the end of the frame
// with the camera's ear and the motor (playFrameSounds). The sound only
// follows the game: nothing here writes a global the game reads.

#include <cmath>
#include <vector>

#include "game.h"
#include "sound/audio.h"

// The sounds, SOUND_RATE samples a second, mono.
static std::vector<short> sounds[NB_SOUNDS];

// This frame's events: what starts and where. More than fit in a frame are
// dropped (66 bullets striking at once still fit).
struct SoundEvent {
    int kind;
    float x, z;
};
const int MAX_EVENTS = 96;
static SoundEvent events[MAX_EVENTS];
static int kinds[MAX_EVENTS];
static int nbEvents = 0;

// The noise of the sounds: a fixed generator of its own, so the sounds are
// the same on every run and the forest's generator is left alone.
static unsigned noiseState = 1;
static double noise()
{
    noiseState = noiseState * 1664525u + 1013904223u;
    return (double)(noiseState >> 8) / 8388608.0 - 1.0;
}

// A sound `seconds` long, each sample from shape(t) in -1..1, t in seconds,
// scaled by `peak` and faded over its last 5 ms so that it ends in no click.
template <class Shape>
static std::vector<short> makeSound(double seconds, double peak, Shape shape)
{
    int n = (int)(seconds * SOUND_RATE);
    std::vector<short> out(n);
    int fade = SOUND_RATE / 200;
    for (int i = 0; i < n; i++) {
        double t = (double)i / SOUND_RATE;
        double v = shape(t) * peak;
        if (n - i < fade)
            v *= (double)(n - i) / fade;
        v = v > 1 ? 1 : v < -1 ? -1 : v;
        out[i] = (short)lround(v * 32767);
    }
    return out;
}

// A one-pole low-pass over the noise: darker noise for thuds and rumbles.
struct DarkNoise {
    double level = 0;
    double next(double keep)
    {
        level = keep * level + (1 - keep) * noise();
        return level;
    }
};

// Makes the six sounds. The one-shots stay short and fall away fast, so a
// hundred of them do not tire; their peaks keep them about as loud as each
// other, the shot a little above the rest.
static void makeSounds()
{
    const double TWO_PI = 2 * PI;
    noiseState = 1;

    // The shot: a crack of noise over a thump that drops in pitch.
    sounds[SOUND_SHOT] = makeSound(0.16, 0.8, [&](double t) {
        double crack = noise() * exp(-t * 60);
        double thump = sin(TWO_PI * (150 * t - 200 * t * t)) * exp(-t * 25);
        return 0.55 * crack + 0.45 * thump;
    });

    // A bullet in a tree: a short hollow knock of wood.
    sounds[SOUND_TREE_HIT] = makeSound(0.12, 0.6, [&](double t) {
        double knock = sin(TWO_PI * 420 * t) + 0.6 * sin(TWO_PI * 655 * t);
        return (0.6 * knock + 0.3 * noise() * exp(-t * 200)) * exp(-t * 45);
    });

    // The tree sinking, as long as it sinks (100 frames): a crack, then a
    // low rumble that slides down, fading only as the tree is nearly gone.
    DarkNoise rumble;
    sounds[SOUND_SINKING] = makeSound(1.0, 0.7, [&](double t) {
        double crack = noise() * exp(-t * 40);
        double low = sin(TWO_PI * (90 * t - 25 * t * t));
        double body = (0.5 * low + 2.5 * rumble.next(0.97)) * (1 - t * t);
        return 0.5 * crack + 0.6 * body;
    });

    // A punch: a swish of air and a dull low thud.
    DarkNoise air;
    sounds[SOUND_PUNCH] = makeSound(0.18, 0.7, [&](double t) {
        double swish = 3 * air.next(0.9) * sin(PI * t / 0.18);
        double thud = sin(TWO_PI * (110 * t - 150 * t * t)) * exp(-t * 30);
        return 0.4 * swish + 0.6 * thud;
    });

    // The robot into a tree: a clank of metal, a few tones that are no chord.
    sounds[SOUND_BUMP] = makeSound(0.22, 0.55, [&](double t) {
        double clank = sin(TWO_PI * 540 * t) + 0.7 * sin(TWO_PI * 1230 * t) +
                       0.5 * sin(TWO_PI * 1870 * t);
        return clank / 2.2 * exp(-t * 22);
    });

    // The motor: 0.1 s that loops seamlessly (whole cycles of 60 Hz and its
    // harmonics), quiet under everything else; no fade, its end meets its
    // start.
    sounds[SOUND_MOTOR].resize(SOUND_RATE / 10);
    for (int i = 0; i < (int)sounds[SOUND_MOTOR].size(); i++) {
        double t = (double)i / SOUND_RATE;
        double v = 0.6 * sin(TWO_PI * 60 * t) + 0.3 * sin(TWO_PI * 120 * t) +
                   0.1 * sin(TWO_PI * 300 * t);
        sounds[SOUND_MOTOR][i] = (short)lround(v * 0.18 * 32767);
    }
}

// The samples of one sound, and how many (0 and null for a kind not made).
const short* soundSamples(int kind, int* count)
{
    if (kind < 0 || kind >= NB_SOUNDS || sounds[kind].empty()) {
        *count = 0;
        return nullptr;
    }
    *count = (int)sounds[kind].size();
    return sounds[kind].data();
}

static void openOutput();

// The program's sound goes to the audio device from now on, opened at once
// unless muted (the page, at the player's first key, click or touch).
// Writes soundOutput.
void soundToDevice()
{
    soundOutput = SOUND_DEVICE;
    if (!soundMuted)
        openOutput();
}

// The sound's part of the start: the sounds made (once), no event waiting,
// and the output opened when the program asks for one; a muted game opens
// its device only once the player turns the sound on. Reads soundOutput,
// soundMuted.
void startSound()
{
    if (sounds[0].empty())
        makeSounds();
    nbEvents = 0;
    if (soundOutput == SOUND_NONE)
        return;
    if (soundMuted && soundOutput == SOUND_DEVICE && !audioIsOpen())
        return;
    openOutput();
}

// Opens the output the program asked for (once: a device that is missing
// stays missing) and hands it the sounds. Reads soundOutput, soundMuted.
static void openOutput()
{
    const short* samples[NB_SOUNDS];
    int counts[NB_SOUNDS];
    for (int i = 0; i < NB_SOUNDS; i++)
        samples[i] = soundSamples(i, &counts[i]);
    audioOpen(soundOutput, samples, counts);
    audioMute(soundMuted);
}

// Forgets the last frame's events; the frame's start.
void clearFrameSounds()
{
    nbEvents = 0;
}

// A step of the game starts a sound at (x, z) on the ground. A paused frame
// runs on a world that is put back: it makes no sound. Reads paused.
void soundAt(int kind, float x, float z)
{
    if (paused || nbEvents >= MAX_EVENTS)
        return;
    events[nbEvents] = {kind, x, z};
    kinds[nbEvents] = kind;
    nbEvents++;
}

// Whether the sound can be heard now: an output open and not muted.
int soundHeard()
{
    return audioIsOpen() && !soundMuted;
}

// The events of this frame so far (or of the last frame, after it ran).
int soundEventCount()
{
    return nbEvents;
}
const int* soundEventKinds()
{
    return kinds;
}

// Where the current camera hears from, looking where it looks. The map
// hears from above the field. Reads typeCam, X0, Z0, Xc, Zc, angle and the
// free camera's globals.
static void cameraEar(float eye[3], float forward[3], float up[3])
{
    up[0] = 0, up[1] = 1, up[2] = 0;
    float at[3] = {X0, 0, Z0};
    if (typeCam == CAM_SURVEILLANCE) {
        eye[0] = 9, eye[1] = 14, eye[2] = 9;
    } else if (typeCam == CAM_CHASE || typeCam == CAM_FIRST_PERSON) {
        eye[0] = Xc, eye[1] = typeCam == CAM_CHASE ? 2 : 0, eye[2] = Zc;
        if (Xc == X0 && Zc == Z0) {
            at[0] = (float)(X0 - cos((double)angle));
            at[2] = (float)(Z0 - sin((double)angle));
        }
    } else if (typeCam == CAM_MAP) {
        eye[0] = 0, eye[1] = 45, eye[2] = 0;
        at[0] = 1, at[1] = 0, at[2] = 1;
        up[0] = 0, up[1] = 0, up[2] = 1;
    } else {
        eye[0] = XCamLibre, eye[1] = YCamLibre, eye[2] = ZCamLibre;
        at[0] = (float)(XCamLibre + cos((double)angle2CamLibre));
        at[1] = YCamLibre;
        at[2] = (float)(ZCamLibre + sin((double)angle2CamLibre));
    }
    for (int i = 0; i < 3; i++)
        forward[i] = at[i] - eye[i];
}

// The end of the frame: the camera's ear, this frame's sounds started where
// they happen, the motor while the robot drives (or, lower, turns), and
// everything held while paused. A muted game that asked for the device
// opens it when the sound is turned on. Reads paused, soundMuted,
// soundOutput, HBGDplay, the robot and the cameras.
void playFrameSounds()
{
    if (soundOutput == SOUND_DEVICE && !soundMuted && !audioIsOpen())
        openOutput();
    if (!audioIsOpen())
        return;
    audioMute(soundMuted);
    audioHold(paused);
    float eye[3], forward[3], up[3];
    cameraEar(eye, forward, up);
    audioListener(eye, forward, up);
    for (int i = 0; i < nbEvents; i++)
        audioPlay(events[i].kind, events[i].x, 0.5f, events[i].z);
    int driving = HBGDplay[FLAG_FORWARD] || HBGDplay[FLAG_BACK];
    int turning = HBGDplay[FLAG_LEFT] || HBGDplay[FLAG_RIGHT];
    audioMotor(!paused && (driving || turning), X0, Z0, driving ? 1.0f : 0.8f);
}
