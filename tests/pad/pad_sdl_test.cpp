// pad_sdl_test.cpp -- the desktop's pads (input/pad_sdl.cpp) with SDL's
// virtual joystick, given a game-controller layout, standing in for a pad:
// whole frames run as the game runs them (runFrames reads the pad first).
// Built with -Wl,--wrap=SDL_InitSubSystem: the wrapper fails on demand, as
// SDL does with no device support.

#include <SDL.h>

#include "game.h"
#include "test_world.h"

static int sdlRefuses;  // 1: SDL_InitSubSystem fails

extern "C" int __real_SDL_InitSubSystem(Uint32 flags);
extern "C" int __wrap_SDL_InitSubSystem(Uint32 flags)
{
    return sdlRefuses ? SDL_SetError("no device support") : __real_SDL_InitSubSystem(flags);
}

class PadSdlTest : public ::testing::Test {
protected:
    SDL_Joystick* stick = nullptr;
    int device = -1;

    // The game's start, the pads started, then a virtual pad plugged in.
    void SetUp() override
    {
        startWorld(1);
        ASSERT_EQ(startPad(), 1);
        plugIn();
    }

    // A virtual pad, its buttons and axes in SDL's own game-controller order.
    void plugIn()
    {
        device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                           SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(device, 0) << SDL_GetError();
        char guid[64];
        SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(device), guid, sizeof guid);
        std::string mapping = std::string(guid) + ",Test pad,";
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; b++)
            mapping += std::string(SDL_GameControllerGetStringForButton((SDL_GameControllerButton)b)) +
                       ":b" + std::to_string(b) + ",";
        for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; a++)
            mapping += std::string(SDL_GameControllerGetStringForAxis((SDL_GameControllerAxis)a)) +
                       ":a" + std::to_string(a) + ",";
        ASSERT_GE(SDL_GameControllerAddMapping(mapping.c_str()), 0) << SDL_GetError();
        stick = SDL_JoystickOpen(device);
        ASSERT_NE(stick, nullptr) << SDL_GetError();
        ASSERT_TRUE(SDL_IsGameController(device));
    }

    void TearDown() override
    {
        if (stick != nullptr && SDL_JoystickGetAttached(stick))
            SDL_JoystickDetachVirtual(device);
        if (stick != nullptr)
            SDL_JoystickClose(stick);
        stopPad();
    }

    void button(SDL_GameControllerButton b, int down) { SDL_JoystickSetVirtualButton(stick, b, down); }
    void axis(SDL_GameControllerAxis a, Sint16 v) { SDL_JoystickSetVirtualAxis(stick, a, v); }
    void frames(int n) { runFrames(n, display); }
};

static int heldCount()
{
    int n = 0;
    for (int i = 0; i < 256; i++)
        n += keyStates[i] + specialStates[i];
    return n;
}

static int bulletsInFlight()
{
    int n = 0;
    for (const bu& b : bulletS)
        n += b.etat == 1;
    return n;
}

TEST_F(PadSdlTest, TheStickDrivesAsZDoesAndAButtonFires)
{
    button(SDL_CONTROLLER_BUTTON_A, 1);
    frames(1);
    EXPECT_EQ(bulletsInFlight(), 1);
    button(SDL_CONTROLLER_BUTTON_A, 0);
    frames(1);
    startWorld(1);

    // The keyboard's game: z and space held for 40 frames; then the pad's.
    keyPressed('z', 0, 0);
    keyPressed(' ', 0, 0);
    frames(40);
    std::vector<unsigned char> keyboardWorld(WORLD_BYTES), padWorld(WORLD_BYTES);
    saveWorld(keyboardWorld.data());
    startWorld(1);
    axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    button(SDL_CONTROLLER_BUTTON_A, 1);
    frames(40);
    EXPECT_EQ(specialStates[GLUT_KEY_UP], 1);
    EXPECT_EQ(keyStates[' '], 1);
    EXPECT_TRUE(X0 != 1.0f || Z0 != 1.0f);
    saveWorld(padWorld.data());
    EXPECT_TRUE(padWorld == keyboardWorld);
}

TEST_F(PadSdlTest, TheShouldersCycleTheCamerasAndStartPauses)
{
    const int next[] = {CAM_CHASE, CAM_FIRST_PERSON, CAM_FREE, CAM_MAP, CAM_SURVEILLANCE};
    for (int camera : next) {
        button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 1);
        frames(2);
        button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0);
        frames(1);
        EXPECT_EQ(typeCam, camera);
    }
    button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 1);
    frames(1);
    EXPECT_EQ(typeCam, CAM_MAP);

    button(SDL_CONTROLLER_BUTTON_START, 1);
    frames(3);
    EXPECT_EQ(paused, 1);
    button(SDL_CONTROLLER_BUTTON_START, 0);
    frames(1);
    EXPECT_EQ(paused, 1);
}

TEST_F(PadSdlTest, APadPulledOutLetsGoOfAllItHeldAndOnePluggedInPlays)
{
    axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    axis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
    button(SDL_CONTROLLER_BUTTON_A, 1);
    button(SDL_CONTROLLER_BUTTON_B, 1);
    frames(2);
    EXPECT_EQ(heldCount(), 4);
    ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0);
    frames(1);
    EXPECT_EQ(heldCount(), 0);
    float angleAfter = angle;
    frames(5);
    EXPECT_EQ(angle, angleAfter);

    // Another one, plugged in while playing, holds its keys at once.
    SDL_JoystickClose(stick);
    plugIn();
    button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    frames(1);
    EXPECT_EQ(specialStates[GLUT_KEY_LEFT], 1);
}

TEST(PadSdlStart, WithSdlUnableToStartTheGamePlaysAtTheKeyboard)
{
    startWorld(1);
    sdlRefuses = 1;
    EXPECT_EQ(startPad(), 0);
    sdlRefuses = 0;
    EXPECT_EQ(padPoll, nullptr);
    keyPressed('z', 0, 0);
    runFrames(10, display);
    EXPECT_TRUE(X0 != 1.0f || Z0 != 1.0f);
    stopPad();
}
