// replay_output.cpp -- the pictures the replay tool writes: PNG, read back
// from the front buffer. The state lines are in replay_trace.cpp.

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
