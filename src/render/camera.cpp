// camera.cpp -- the five cameras. Each frame resets the model-view matrix
// and makes exactly one gluLookAt for the current mode. The chase and
// first-person cameras find their eye by walking a probe point back from the
// robot with the shared movement step, so trees stop the eye as they stop
// the robot.

#include <cmath>

#include "game.h"

// The chase and first-person eyes look at the robot from where the probe
// stopped. A probe that a tree stopped on its very first step (the robot can
// stand closer to a tree than its own radius after a diagonal approach) is
// still on the robot: a view from the target itself, or from straight above
// it along the up vector, has no orientation, and GLU would flatten the whole
// scene. The eye then looks one unit ahead along the robot's heading.
// Reads X0, Z0, angle.
static void lookFromProbe(float eyeX, double eyeY, float eyeZ)
{
    double targetX = X0;
    double targetZ = Z0;
    if (eyeX == X0 && eyeZ == Z0) {
        targetX = (double)X0 - cos((double)angle);
        targetZ = (double)Z0 - sin((double)angle);
    }
    gluLookAt(eyeX, eyeY, eyeZ, targetX, 0.0, targetZ, 0.0, 1.0, 0.0);
}

// Places this frame's camera. Reads typeCam, X0, Z0, angle; writes Xc, Zc
// (chase and first person) and, through vuelibre, the free camera.
void placeCamera()
{
    float tmpCamF = 0;           // takes the probes' wheel turns, never read
    int bullhb[4] = {0};         // the probes only step "forward",
    bullhb[FLAG_FORWARD] = 1;    // which their reversed kinds turn back

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    if (typeCam == CAM_SURVEILLANCE)  // surveillance: a fixed eye that turns to the robot
        gluLookAt(9.0, 14.0, 9.0, X0, 0.0, Z0, 0.0, 1.0, 0.0);
    if (typeCam == CAM_CHASE) {  // chase: 5 units behind, 2 up
        Zc = Z0;
        Xc = X0;
        for (int i = 0; i < 20; i++)
            moveEn(&Xc, &Zc, &tmpCamF, &tmpCamF, &angle, bullhb, bullhb, MOVE_CHASE_PROBE);
        lookFromProbe(Xc, 2.0, Zc);
    }
    if (typeCam == CAM_FIRST_PERSON) {  // first person: one unit behind the centre
        Zc = Z0;
        Xc = X0;
        moveEn(&Xc, &Zc, &tmpCamF, &tmpCamF, &angle, bullhb, bullhb, MOVE_STEP_PROBE);
        lookFromProbe(Xc, 0.0, Zc);
    }
    if (typeCam == CAM_MAP)  // overhead map, world +Z to the top of the screen
        gluLookAt(0.0, 45.0, 0.0, 1.0, 0.0, 1.0, 0.0, 0.0, 1.0);
    if (typeCam == CAM_FREE)
        vuelibre();
}

// An angle past pi (in double precision) jumps to the float nearest -pi and
// one below -pi to the float nearest pi; the overshoot is dropped.
static float wrapAngle(float a)
{
    if ((double)a > PI)
        return -PI_F;
    if ((double)a < -PI)
        return PI_F;
    return a;
}

// Moves the free camera's eye by its six movement keys, each along world X,
// Z or Y, using the heading from before this frame's turn.
// Reads camlibre485679oklm, angle2CamLibre; writes X/Y/ZCamLibre.
static void moveFreeEye()
{
    const int* k = camlibre485679oklm;
    double heading = angle2CamLibre;

    if (k[1] != 0)
        ZCamLibre = (float)((double)ZCamLibre + 2 * cos(heading));
    if (k[2] != 0)
        ZCamLibre = (float)((double)ZCamLibre - 2 * cos(heading));
    if (k[3] != 0)
        XCamLibre = (float)((double)XCamLibre + 2 * sin(heading));
    if (k[0] != 0)
        XCamLibre = (float)((double)XCamLibre - 2 * sin(heading));
    if (k[4] != 0)
        YCamLibre = (float)((double)YCamLibre + 1);
    if (k[5] != 0)
        YCamLibre = (float)((double)YCamLibre - 1);
}

// The free camera: move the eye, then either tilt (o, l) or turn (k, m), and
// look at a target in whole world units.
//
// Each branch computes two of the target's components. The tilt branch looks
// one whole unit toward +X from the eye's truncated X, which always lies
// strictly on the +X side of the eye, so the view is never parallel to the up
// vector. The heading branch looks level, at the eye's truncated height: its
// X and Z already lie at least a unit from the eye on one axis.
// Reads camlibre485679oklm; writes the free camera's globals.
void vuelibre()
{
    const int* k = camlibre485679oklm;
    int XtmpC, YtmpC, ZtmpC;

    moveFreeEye();

    if (k[6] == 1 || k[8] == 1) {
        if (k[6] == 1)
            angle1CamLibre = (float)((double)angle1CamLibre + 0.01);
        else
            angle1CamLibre = (float)((double)angle1CamLibre - 0.01);
        angle1CamLibre = wrapAngle(angle1CamLibre);
        XtmpC = (int)XCamLibre + 1;
        YtmpC = (int)((double)YCamLibre + 10 * cos((double)angle1CamLibre));
        ZtmpC = (int)((double)ZCamLibre + 10 * sin((double)angle1CamLibre));
    } else {
        if (k[7] == 1)
            angle2CamLibre = (float)((double)angle2CamLibre + 0.1);
        else if (k[9] == 1)
            angle2CamLibre = (float)((double)angle2CamLibre - 0.1);
        angle2CamLibre = wrapAngle(angle2CamLibre);
        XtmpC = (int)((double)XCamLibre + 2 * cos((double)angle2CamLibre));
        YtmpC = (int)YCamLibre;
        ZtmpC = (int)((double)ZCamLibre + 2 * sin((double)angle2CamLibre));
    }

    gluLookAt(XCamLibre, YCamLibre, ZCamLibre, XtmpC, YtmpC, ZtmpC, 0.0, 1.0, 0.0);
}
