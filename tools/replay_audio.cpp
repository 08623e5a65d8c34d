// replay_audio.cpp -- the replay tool's sound: the game's mix taken from
// OpenAL Soft's loopback device, 10 ms a frame, into a WAV file of stereo
// 32-bit floats at SOUND_RATE, exactly the samples the game made.

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "replay.h"
#include "game.h"
#include "sound/audio.h"

static FILE* wav = nullptr;
static uint32_t samplesWritten = 0;  // stereo frames

// Little-endian whole numbers, as RIFF has them.
static void put32(unsigned char* at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        at[i] = (unsigned char)(v >> (8 * i));
}
static void put16(unsigned char* at, uint16_t v)
{
    at[0] = (unsigned char)v;
    at[1] = (unsigned char)(v >> 8);
}

// The header of a float WAV holding `frames` stereo frames.
const int WAV_HEADER = 58;
static void wavHeader(unsigned char* h, uint32_t frames)
{
    uint32_t data = frames * 8;
    memcpy(h, "RIFF", 4);
    put32(h + 4, WAV_HEADER - 8 + data);
    memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 18);
    put16(h + 20, 3);  // IEEE float
    put16(h + 22, 2);
    put32(h + 24, SOUND_RATE);
    put32(h + 28, SOUND_RATE * 8);
    put16(h + 32, 8);
    put16(h + 34, 32);
    put16(h + 36, 0);
    memcpy(h + 38, "fact", 4);
    put32(h + 42, 4);
    put32(h + 46, frames);
    memcpy(h + 50, "data", 4);
    put32(h + 54, data);
}

int openAudioFile(const std::string& path)
{
    wav = fopen(path.c_str(), "wb");
    if (wav == nullptr) {
        fprintf(stderr, "replay: cannot write audio \"%s\": %s\n", path.c_str(), strerror(errno));
        return 0;
    }
    unsigned char h[WAV_HEADER];
    wavHeader(h, 0);
    fwrite(h, 1, sizeof h, wav);
    return 1;
}

int writeAudioFrame()
{
    static float frame[2 * SOUND_FRAME_SAMPLES];
    if (!audioRender(frame, SOUND_FRAME_SAMPLES)) {
        fputs("replay: --audio needs OpenAL Soft's loopback device, which did not open\n",
              stderr);
        return 0;
    }
    unsigned char bytes[sizeof frame];
    for (int i = 0; i < 2 * SOUND_FRAME_SAMPLES; i++) {
        uint32_t bits;
        memcpy(&bits, &frame[i], 4);
        put32(bytes + 4 * i, bits);
    }
    fwrite(bytes, 1, sizeof bytes, wav);
    samplesWritten += SOUND_FRAME_SAMPLES;
    return 1;
}

int closeAudioFile()
{
    unsigned char h[WAV_HEADER];
    wavHeader(h, samplesWritten);
    int ok = fseek(wav, 0, SEEK_SET) == 0 && fwrite(h, 1, sizeof h, wav) == sizeof h;
    ok = fclose(wav) == 0 && ok;
    wav = nullptr;
    if (!ok)
        fputs("replay: writing the audio failed\n", stderr);
    return ok;
}
