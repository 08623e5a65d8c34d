// audio_openal.cpp -- the sound through OpenAL: OpenAL Soft on Linux and
// Windows, emscripten's OpenAL over Web Audio in the page. One source loops
// the motor; the one-shot sounds take turns on a few more. Every sound is
// placed in the world and heard from the listener, fainter with distance.
// With no device, or one that fails, nothing opens and every call does
// nothing: the game plays on, silently, and says nothing.

#include <cstdlib>

#include <AL/al.h>
#include <AL/alc.h>
#ifndef __EMSCRIPTEN__
#include <AL/alext.h>
#endif

#include "game.h"
#include "sound/audio.h"

const int NB_VOICES = 32;  // one-shot sounds that can play at once

static int tried = 0;   // audioOpen has run once
static int opened = 0;  // an output is open, with its sounds loaded
static ALCdevice* device = nullptr;
static ALCcontext* context = nullptr;
static ALuint buffers[NB_SOUNDS];
static ALuint voices[NB_VOICES];
static ALuint motor = 0;
static int nextVoice = 0;  // the voice tried first for the next sound
static int motorOn = 0;
static int held = 0;       // the sounds are held by a pause

#ifdef ALC_SOFT_loopback
static LPALCRENDERSAMPLESSOFT renderSamples = nullptr;

// OpenAL Soft's loopback device: the mix rendered on demand, stereo floats.
static ALCdevice* openLoopback(ALCint* attributes)
{
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
        return nullptr;
    auto open = (LPALCLOOPBACKOPENDEVICESOFT)alcGetProcAddress(nullptr,
                                                              "alcLoopbackOpenDeviceSOFT");
    renderSamples = (LPALCRENDERSAMPLESSOFT)alcGetProcAddress(nullptr, "alcRenderSamplesSOFT");
    if (open == nullptr || renderSamples == nullptr)
        return nullptr;
    ALCint loopback[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                         ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                         ALC_FREQUENCY, SOUND_RATE, 0};
    for (int i = 0; loopback[i] != 0; i++)
        attributes[i] = loopback[i];
    attributes[6] = 0;
    return open(nullptr);
}
#endif

// Stops every sound. The motor too.
static void stopAll()
{
    alSourceStopv(NB_VOICES, voices);
    alSourceStop(motor);
    motorOn = 0;
    held = 0;
}

// Lets go of whatever audioOpen got before it failed.
static void letGo()
{
    alcMakeContextCurrent(nullptr);
    if (context != nullptr)
        alcDestroyContext(context);
    if (device != nullptr)
        alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
}

int audioOpen(int output, const short* const samples[], const int counts[])
{
    if (tried) {
        if (opened)
            stopAll();
        return opened;
    }
    tried = 1;
    quietAudioLibraries();
    ALCint attributes[8] = {0};
    if (output == SOUND_LOOPBACK) {
#ifdef ALC_SOFT_loopback
        device = openLoopback(attributes);
#endif
    } else {
        device = alcOpenDevice(nullptr);
    }
    if (device != nullptr)
        context = alcCreateContext(device, attributes);
    if (context == nullptr || !alcMakeContextCurrent(context)) {
        letGo();
        return 0;
    }
    alGenBuffers(NB_SOUNDS, buffers);
    for (int i = 0; i < NB_SOUNDS; i++)
        alBufferData(buffers[i], AL_FORMAT_MONO16, samples[i],
                     (ALsizei)(counts[i] * sizeof(short)), SOUND_RATE);
    alGenSources(NB_VOICES, voices);
    alGenSources(1, &motor);
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    for (int i = 0; i <= NB_VOICES; i++) {
        ALuint source = i < NB_VOICES ? voices[i] : motor;
        alSourcef(source, AL_REFERENCE_DISTANCE, 8);
        alSourcef(source, AL_ROLLOFF_FACTOR, 1);
        alSourcef(source, AL_MAX_DISTANCE, 200);
    }
    alSourcei(motor, AL_BUFFER, (ALint)buffers[SOUND_MOTOR]);
    alSourcei(motor, AL_LOOPING, AL_TRUE);
    if (alGetError() != AL_NO_ERROR) {
        letGo();
        return 0;
    }
    opened = 1;
    atexit(audioClose);
    return 1;
}

int audioIsOpen()
{
    return opened;
}

void audioListener(const float eye[3], const float forward[3], const float up[3])
{
    if (!opened)
        return;
    ALfloat orientation[6] = {forward[0], forward[1], forward[2], up[0], up[1], up[2]};
    alListener3f(AL_POSITION, eye[0], eye[1], eye[2]);
    alListenerfv(AL_ORIENTATION, orientation);
}

// Is the source playing, or held by the pause?
static int busy(ALuint source)
{
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING || state == AL_PAUSED;
}

void audioPlay(int kind, float x, float y, float z)
{
    if (!opened || kind < 0 || kind >= NB_SOUNDS)
        return;
    // The first free voice from the turn on; with none free, the one whose
    // turn it is, which has played longest.
    int v = nextVoice;
    for (int i = 0; i < NB_VOICES; i++) {
        int candidate = (nextVoice + i) % NB_VOICES;
        if (!busy(voices[candidate])) {
            v = candidate;
            break;
        }
    }
    nextVoice = (v + 1) % NB_VOICES;
    alSourceStop(voices[v]);
    alSourcei(voices[v], AL_BUFFER, (ALint)buffers[kind]);
    alSource3f(voices[v], AL_POSITION, x, y, z);
    alSourcePlay(voices[v]);
}

void audioMotor(int on, float x, float z, float pitch)
{
    if (!opened)
        return;
    alSource3f(motor, AL_POSITION, x, 0.5f, z);
    alSourcef(motor, AL_PITCH, pitch);
    if (on && !motorOn)
        alSourcePlay(motor);
    if (!on && motorOn)
        alSourceStop(motor);
    motorOn = on;
}

void audioHold(int paused)
{
    if (!opened || paused == held)
        return;
    held = paused;
    for (int i = 0; i < NB_VOICES; i++) {
        ALint state = AL_STOPPED;
        alGetSourcei(voices[i], AL_SOURCE_STATE, &state);
        if (paused && state == AL_PLAYING)
            alSourcePause(voices[i]);
        if (!paused && state == AL_PAUSED)
            alSourcePlay(voices[i]);
    }
}

void audioMute(int muted)
{
    if (opened)
        alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
}

int audioRender(float* stereo, int frames)
{
#ifdef ALC_SOFT_loopback
    if (opened && renderSamples != nullptr) {
        renderSamples(device, stereo, frames);
        return 1;
    }
#endif
    (void)stereo;
    (void)frames;
    return 0;
}

void audioClose()
{
    if (!opened)
        return;
    stopAll();
    alDeleteSources(NB_VOICES, voices);
    alDeleteSources(1, &motor);
    alDeleteBuffers(NB_SOUNDS, buffers);
    letGo();
    opened = 0;
}
