// replay_output.cpp -- what the replay tool writes: pictures of the window
// (PNG, read back from the front buffer) and one line of game state per
// frame, every float printed with %.9g so that equal lines mean equal bits.

#include <cerrno>
#include <cstring>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "replay.h"
#include "game.h"

// ---- Where Windows differs: mkdir takes no permission bits there, and a
// stream in text mode would write every "\n" as "\r\n", which would break
// byte-for-byte comparison of traces and key scripts.
#ifdef _WIN32
#include <direct.h>
#include <fcntl.h>
#include <io.h>
static int makeFolder(const char* path)
{
    return _mkdir(path);
}
void binaryStdout()
{
    fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}
#else
static int makeFolder(const char* path)
{
    return mkdir(path, 0777);
}
void binaryStdout()
{
}
#endif
// ---- end of the Windows differences

// Makes sure pictures can be written into dir: creates it if it is missing
// (its parent must exist) and writes and removes a probe file, which also
// holds for root, whom permission bits do not stop. Returns 0 after an error.
int prepareOutFolder(const std::string& dir)
{
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 && makeFolder(dir.c_str()) != 0) {
        fprintf(stderr, "replay: cannot create output folder \"%s\": %s\n", dir.c_str(),
                strerror(errno));
        return 0;
    }
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        fprintf(stderr, "replay: output folder \"%s\" is not a folder\n", dir.c_str());
        return 0;
    }
    std::string probe = dir + "/.replay-probe-" + std::to_string((long)getpid());
    FILE* f = fopen(probe.c_str(), "wb");
    if (f == nullptr || fputc('x', f) == EOF || fclose(f) != 0) {
        fprintf(stderr, "replay: output folder \"%s\" is not writable: %s\n", dir.c_str(),
                strerror(errno));
        return 0;
    }
    remove(probe.c_str());
    return 1;
}

// Reads the window back and writes it as an 8-bit RGB PNG. The window is
// single-buffered, so the frame is in the front buffer; GL's rows run
// bottom-up, so libpng is handed a negative stride to flip them.
int writeFrontBufferPng(const std::string& path)
{
    int w = glutGet(GLUT_WINDOW_WIDTH);
    int h = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<unsigned char> pixels((size_t)w * h * 3);
    glReadBuffer(GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    GLenum err = glGetError();
    if (err != GL_NO_ERROR) {
        fprintf(stderr, "replay: reading the window back failed (GL error 0x%x)\n", err);
        return 0;
    }

    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = w;
    image.height = h;
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), -3 * w, nullptr)) {
        fprintf(stderr, "replay: cannot write \"%s\": %s\n", path.c_str(), image.message);
        return 0;
    }
    return 1;
}

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
