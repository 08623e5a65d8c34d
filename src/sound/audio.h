// audio.h -- the audio library's side of the sound (audio_openal.cpp): the
// sounds the game made handed to it once, then, frame by frame, where the
// camera hears from, the sounds that start and the motor. The game's side
// (sound.cpp) knows nothing of the library; a device that is missing or
// fails leaves every call here doing nothing.

#ifndef CLANKWISE_AUDIO_H
#define CLANKWISE_AUDIO_H

// Keeps the audio libraries from printing their failures (audio_quiet.cpp,
// the platform's part). Called once, before the first OpenAL call.
void quietAudioLibraries();

// Opens the output (SOUND_DEVICE or SOUND_LOOPBACK) and loads the NB_SOUNDS
// sounds, mono, SOUND_RATE a second. Returns 1 when sound can be heard, 0
// (silently) when there is no device or it failed. Opens once; later calls
// stop whatever plays and answer as the first did.
int audioOpen(int output, const short* const samples[], const int counts[]);

// Whether an output is open.
int audioIsOpen();

// This frame's listener: the eye, the direction it looks and its up.
void audioListener(const float eye[3], const float forward[3], const float up[3]);

// Starts one sound at a place in the world.
void audioPlay(int kind, float x, float y, float z);

// The motor: on (at the robot, at the given pitch) or off.
void audioMotor(int on, float x, float z, float pitch);

// Holds every sound where it is (paused 1) or lets them go on (0).
void audioHold(int paused);

// Everything heard at full loudness (0) or not at all (1).
void audioMute(int muted);

// Loopback only: the next `frames` stereo frames as floats, left then
// right. Returns 0 when no loopback output is open.
int audioRender(float* stereo, int frames);

// Stops every sound and closes the output.
void audioClose();

#endif
