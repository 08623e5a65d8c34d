// openal_win32.cpp -- Windows only: OpenAL is the DLL beside the game
// (OpenAL32.dll, OpenAL Soft), loaded when the sound first needs it rather
// than linked, so that a player can put another build of it in its place
// and the game still starts, silent, when it is missing. Each OpenAL call
// the game makes is defined here and goes to the DLL's own; with no DLL,
// or a DLL without it, it does nothing and answers "none".
// The build defines AL_LIBTYPE_STATIC, so the headers declare these as
// the game's own functions.

#include <windows.h>

// OpenAL Soft's headers from 1.24 on declare the calls noexcept in C++,
// older ones do not; asked to, the newer ones leave it out too, and the
// definitions below then match every version's declarations.
#define AL_DISABLE_NOEXCEPT
#include <AL/al.h>
#include <AL/alc.h>
#ifdef AL_API_NOEXCEPT
#define OPENAL_NOEXCEPT AL_API_NOEXCEPT
#else
#define OPENAL_NOEXCEPT
#endif

// The DLL, loaded on first use; null when there is none.
static HMODULE openal()
{
    static HMODULE library = LoadLibraryA("OpenAL32.dll");
    return library;
}

// One function of the DLL, or null.
template <class Function>
static Function find(const char* name)
{
    HMODULE library = openal();
    return library != nullptr ? (Function)(void*)GetProcAddress(library, name) : nullptr;
}

// A call that answers: the DLL's, or `none` without it.
#define ANSWER(type, api, name, params, args, none)                        \
    type api name params OPENAL_NOEXCEPT                                   \
    {                                                                      \
        static auto call = find<type(api*) params>(#name);                 \
        return call != nullptr ? call args : none;                         \
    }
// A call that only acts: the DLL's, or nothing without it.
#define ACT(api, name, params, args)                                       \
    void api name params OPENAL_NOEXCEPT                                   \
    {                                                                      \
        static auto call = find<void(api*) params>(#name);                 \
        if (call != nullptr)                                               \
            call args;                                                     \
    }

ANSWER(ALCdevice*, ALC_APIENTRY, alcOpenDevice, (const ALCchar* name), (name), nullptr)
ANSWER(ALCcontext*, ALC_APIENTRY, alcCreateContext, (ALCdevice* d, const ALCint* a), (d, a),
       nullptr)
ANSWER(ALCboolean, ALC_APIENTRY, alcMakeContextCurrent, (ALCcontext* c), (c), ALC_FALSE)
ACT(ALC_APIENTRY, alcDestroyContext, (ALCcontext* c), (c))
ANSWER(ALCboolean, ALC_APIENTRY, alcCloseDevice, (ALCdevice* d), (d), ALC_FALSE)
ANSWER(ALCboolean, ALC_APIENTRY, alcIsExtensionPresent, (ALCdevice* d, const ALCchar* e), (d, e),
       ALC_FALSE)
ANSWER(void*, ALC_APIENTRY, alcGetProcAddress, (ALCdevice* d, const ALCchar* f), (d, f), nullptr)

ANSWER(ALenum, AL_APIENTRY, alGetError, (void), (), AL_INVALID_OPERATION)
ACT(AL_APIENTRY, alDistanceModel, (ALenum model), (model))
ACT(AL_APIENTRY, alListenerf, (ALenum p, ALfloat v), (p, v))
ACT(AL_APIENTRY, alListener3f, (ALenum p, ALfloat x, ALfloat y, ALfloat z), (p, x, y, z))
ACT(AL_APIENTRY, alListenerfv, (ALenum p, const ALfloat* v), (p, v))
ACT(AL_APIENTRY, alGenSources, (ALsizei n, ALuint* s), (n, s))
ACT(AL_APIENTRY, alDeleteSources, (ALsizei n, const ALuint* s), (n, s))
ACT(AL_APIENTRY, alSourcef, (ALuint s, ALenum p, ALfloat v), (s, p, v))
ACT(AL_APIENTRY, alSource3f, (ALuint s, ALenum p, ALfloat x, ALfloat y, ALfloat z),
    (s, p, x, y, z))
ACT(AL_APIENTRY, alSourcei, (ALuint s, ALenum p, ALint v), (s, p, v))
ACT(AL_APIENTRY, alGetSourcei, (ALuint s, ALenum p, ALint* v), (s, p, v))
ACT(AL_APIENTRY, alSourceStopv, (ALsizei n, const ALuint* s), (n, s))
ACT(AL_APIENTRY, alSourcePlay, (ALuint s), (s))
ACT(AL_APIENTRY, alSourceStop, (ALuint s), (s))
ACT(AL_APIENTRY, alSourcePause, (ALuint s), (s))
ACT(AL_APIENTRY, alGenBuffers, (ALsizei n, ALuint* b), (n, b))
ACT(AL_APIENTRY, alDeleteBuffers, (ALsizei n, const ALuint* b), (n, b))
ACT(AL_APIENTRY, alBufferData, (ALuint b, ALenum f, const ALvoid* d, ALsizei n, ALsizei r),
    (b, f, d, n, r))
