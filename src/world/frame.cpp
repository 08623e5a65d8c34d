// frame.cpp -- one frame of the game: read the keys, advance the world by one
// step and draw it. A frame is the game's unit of time: every speed,
// cooldown and animation step elsewhere is an amount per frame.
//
// A frame whose picture would never be seen (frameDrawn 0: the pace runs
// several frames for one picture) is still a whole frame of the game, to
// the bit; only its drawing is left out. It keeps what the next drawn frame
// takes over from it: the camera's model-view matrix (the next frame draws
// its trees with it) and the robot's light; every piece drawn sets its own
// colour, normal and materials.

#include "game.h"

// A wheel driven past a full turn starts over; exactly 0 and 360 stay.
static void keepWheelInRange(float* wheel)
{
    if (*wheel > 360)
        *wheel = 0;
    if (*wheel < 0)
        *wheel = 360;
}

// Runs one frame. Reads and writes, through the steps it calls, the whole
// world state; reads paused, frameDrawn.
void display()
{
    // 0. While paused, the frame runs on the world as it stood when the
    //    pause began, with no key held, and puts it all back at the end.
    if (paused)
        beginPausedFrame();
    clearFrameSounds();

    // 1. Clear the colour and depth buffers.
    if (frameDrawn)
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // 2. Poll the keys; this also fires bullets and starts punches.
    keyboard();

    // 3. Keep the wheel angles in range.
    keepWheelInRange(&roue1);
    keepWheelInRange(&roue2);

    // 4. Move the robot. The same step sinks the sinking trees and draws
    //    the trees, still with last frame's view. After a reshape the
    //    projection matrix is selected, so select the model-view first lest
    //    the trees land in the projection.
    glMatrixMode(GL_MODELVIEW);
    moveEn(&X0, &Z0, &roue1, &roue2, &angle, HBGDplay, HBGDplay, MOVE_ROBOT);

    // 5, 6. Reset the model-view matrix and place this frame's camera.
    placeCamera();

    // 7. The ground.
    if (frameDrawn)
        immediateDrawing ? terrain() : drawCachedGround();

    // 8. Cull, draw and move the bullets.
    moveBullets();

    // 9. The robot, which also places the scene's only light.
    drawPlayer();

    // 10. Over the scene, what the player needs to know: the start hint,
    //     the controls, the pause. Only in the game itself.
    drawOverlay();

    // 11. The window is single-buffered: the flush shows the frame.
    if (frameDrawn) {
        glutSwapBuffers();
        glFlush();
    }

    // 12. The sounds the steps started, heard from this frame's camera, and
    //     the motor while the robot drives; none while paused.
    playFrameSounds();

    if (paused)
        endPausedFrame();
}
