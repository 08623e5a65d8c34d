// pad_sdl.cpp -- the desktop's pads, read through SDL2's game-controller
// layer (its mapping database gives any common pad the same layout); the
// window stays freeglut's, so only SDL's game-controller subsystem is
// started, which needs no display. Every pad plugged in plays, all at once;
// one pulled out lets go of all it held. No pad, no device support or no
// permission to read the devices leaves the game as it was, silently.

#include <SDL.h>

#include "game.h"

const int MOST_PADS = 4;
static SDL_GameController* pads[MOST_PADS];  // the pads open, null: free slot

// Closes the pads SDL says are gone, opens the game controllers not yet
// open. Writes pads.
static void followPlugs()
{
    for (SDL_GameController*& pad : pads) {
        if (pad != nullptr && !SDL_GameControllerGetAttached(pad)) {
            SDL_GameControllerClose(pad);
            pad = nullptr;
        }
    }
    int count = SDL_NumJoysticks();
    for (int i = 0; i < count; i++) {
        if (!SDL_IsGameController(i))
            continue;
        SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        int open = 0;
        for (SDL_GameController* pad : pads)
            open |= pad != nullptr && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id;
        for (SDL_GameController*& pad : pads) {
            if (!open && pad == nullptr) {
                pad = SDL_GameControllerOpen(i);  // null if it cannot be read
                open = 1;
            }
        }
    }
}

// SDL's buttons and axes in PadState's order.
static const SDL_GameControllerButton BUTTONS[PAD_BUTTONS] = {
    SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y, SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK, SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
};
static const SDL_GameControllerAxis AXES[PAD_AXES] = {
    SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY, SDL_CONTROLLER_AXIS_RIGHTX,
    SDL_CONTROLLER_AXIS_RIGHTY, SDL_CONTROLLER_AXIS_TRIGGERLEFT,
    SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
};

// Reads every pad open into one: a button pressed on any, each axis from
// the pad that pushes it furthest.
static PadState readPads()
{
    PadState state = {};
    for (SDL_GameController* pad : pads) {
        if (pad == nullptr)
            continue;
        state.connected = 1;
        for (int b = 0; b < PAD_BUTTONS; b++)
            state.button[b] |= SDL_GameControllerGetButton(pad, BUTTONS[b]) != 0;
        for (int a = 0; a < PAD_AXES; a++) {
            double value = SDL_GameControllerGetAxis(pad, AXES[a]) / 32767.0;
            if (value * value > state.axis[a] * state.axis[a])
                state.axis[a] = value;
        }
    }
    return state;
}

// Once before each frame: SDL's devices and events brought up to date (the
// events are not wanted: the pads are read as they stand), then the pads
// read into held keys.
static void pollSdlPads()
{
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    followPlugs();
    padFrame(readPads());
}

// Starts SDL's game controllers for the pads. SDL keeps its hands off the
// signals (Ctrl-C still ends the game) and reads the pads whatever window
// has the focus: it knows nothing of freeglut's. Returns 1 when started (a
// pad may come later), 0 when SDL cannot start them: the game plays on the
// keyboard, and nothing is said. Writes padPoll.
int startPad()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return 0;
    padPoll = pollSdlPads;
    return 1;
}

// Lets go of all the pads held, closes them and stops SDL's game
// controllers. Writes padPoll, pads and the key tables.
void stopPad()
{
    if (padPoll != pollSdlPads)
        return;
    padPoll = nullptr;
    padFrame(PadState{});
    for (SDL_GameController*& pad : pads) {
        if (pad != nullptr)
            SDL_GameControllerClose(pad);
        pad = nullptr;
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}
