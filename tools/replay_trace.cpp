// replay_trace.cpp -- one line of game state per frame, every float printed
// with %.9g so that equal lines mean equal bits. Kept apart from the
// pictures so that a build without libpng (the web page) writes the very
// same lines.

#include <cstdio>

#include "replay.h"
#include "game.h"

// A float exactly: nine significant digits tell any two floats apart.
static void putFloat(FILE* out, float v)
{
    fprintf(out, "%.9g", (double)v);
}

// Bullets in flight, as slot:X,Z. Reads bulletS.
static void putBullets(FILE* out)
{
    fputs(" bullets=[", out);
    const char* sep = "";
    for (int i = 0; i < NB_BULLETS; i++) {
        if (bulletS[i].etat != 1)
            continue;
        fprintf(out, "%s%d:", sep, i);
        putFloat(out, bulletS[i].X);
        fputc(',', out);
        putFloat(out, bulletS[i].Z);
        sep = " ";
    }
    fputc(']', out);
}

// Trees that have been hit or are sinking, as index:Pv,destroy. Reads sapinS.
static void putDamagedTrees(FILE* out)
{
    fputs(" trees=[", out);
    const char* sep = "";
    for (int i = 0; i < nbsapin; i++) {
        if (sapinS[i].Pv == 5 && sapinS[i].destroy == 10)
            continue;
        fprintf(out, "%s%d:%d,", sep, i, sapinS[i].Pv);
        putFloat(out, sapinS[i].destroy);
        sep = " ";
    }
    fputc(']', out);
}

// One line of state after a frame: the robot, the camera mode, bullets,
// damaged trees, the punch and the free camera.
void writeStateLine(FILE* out, long frame)
{
    const float robotState[] = {X0, Z0, angle, roue1, roue2};
    const char* robotNames[] = {"X0", "Z0", "angle", "roue1", "roue2"};
    fprintf(out, "%ld", frame);
    for (int i = 0; i < 5; i++) {
        fprintf(out, " %s=", robotNames[i]);
        putFloat(out, robotState[i]);
    }
    fprintf(out, " typeCam=%d", typeCam);
    putBullets(out);
    putDamagedTrees(out);
    fprintf(out, " hit=%d punch=%d angleP=", hit, punch);
    putFloat(out, angleP1);
    fputc(',', out);
    putFloat(out, angleP2);
    const float freeCam[] = {XCamLibre, YCamLibre, ZCamLibre, angle1CamLibre, angle2CamLibre};
    fputs(" free=", out);
    for (int i = 0; i < 5; i++) {
        if (i > 0)
            fputc(',', out);
        putFloat(out, freeCam[i]);
    }
    fputc('\n', out);
}
