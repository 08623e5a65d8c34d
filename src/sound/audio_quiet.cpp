// audio_quiet.cpp -- the platform's part of keeping the sound silent when
// there is nothing to play on: the audio libraries print their failures to
// stderr (OpenAL Soft's log, and on Linux ALSA's own messages when there is
// no sound card), while to this game a missing device is no error. Called
// once, before the first OpenAL call.

#include <cstdlib>

#include "sound/audio.h"

#if defined(__EMSCRIPTEN__)

// The page's OpenAL writes nothing of its own.
void quietAudioLibraries()
{
}

#elif defined(_WIN32)

// OpenAL Soft's log, off unless the player asked for it.
void quietAudioLibraries()
{
    if (getenv("ALSOFT_LOGLEVEL") == nullptr)
        _putenv_s("ALSOFT_LOGLEVEL", "0");
}

#else

#include <dlfcn.h>

// ALSA's error handler, which this one replaces: it says nothing.
static void sayNothing(const char*, int, const char*, int, const char*, ...)
{
}

// OpenAL Soft's log, off unless the player asked for it; ALSA, if it is
// there, kept loaded with an error handler that says nothing, so the
// library OpenAL Soft loads is this one, already quiet.
void quietAudioLibraries()
{
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (alsa == nullptr)
        return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    auto setHandler = (int (*)(Handler))dlsym(alsa, "snd_lib_error_set_handler");
    if (setHandler != nullptr)
        setHandler(sayNothing);
}

#endif
