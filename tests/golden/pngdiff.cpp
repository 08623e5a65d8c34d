// pngdiff.cpp -- compares two PNG pictures the way the golden tests judge
// them: a pixel differs when any of its red, green or blue values differs
// by more than a threshold, and the pictures match when the share of
// differing pixels is at most a limit. Small shifts of the renderer (edge
// pixels, rounding) stay under the limit; a wrong colour, a missing piece or
// a moved camera changes far more pixels than that.
//
//   pngdiff [--threshold T] [--max-share S] [--diff OUT.png] EXPECTED ACTUAL
//
// Exit status: 0 match, 1 differ (or sizes differ), 2 bad arguments or
// unreadable picture.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <png.h>
#include <string>
#include <vector>

// Defaults of the golden tests: a channel may move by 10 of 255 (4%), and
// 0.05% of the pixels (125 of the 500 by 500 window) may move further.
// Mesa's two software rasterisers, llvmpipe and softpipe, which share no
// drawing code, differ on at most 9 pixels of any kept picture under this
// threshold. The scene is lit mostly by the 0.2 global ambient light, so a
// colour component changed by 0.2 moves its pixels by about 10; the robot's
// torso alone covers more than 125 pixels even in the surveillance view.
static int threshold = 10;
static double maxShare = 0.0005;
static std::string diffPath;

// One picture in 8-bit RGB, whatever its format in the file.
struct Picture {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> rgb;
};

static int readPicture(const char* path, Picture& pic)
{
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) {
        fprintf(stderr, "pngdiff: %s: %s\n", path, image.message);
        return 0;
    }
    image.format = PNG_FORMAT_RGB;
    pic.width = image.width;
    pic.height = image.height;
    pic.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pic.rgb.data(), 0, nullptr)) {
        fprintf(stderr, "pngdiff: %s: %s\n", path, image.message);
        return 0;
    }
    return 1;
}

// Counts the differing pixels. With a diff path, also writes a picture of
// them: differing pixels red, the rest the expected picture darkened.
static long countDifferences(const Picture& a, const Picture& b, Picture& marks)
{
    long count = 0;
    marks = a;
    for (size_t p = 0; p < a.rgb.size(); p += 3) {
        int worst = 0;
        for (int c = 0; c < 3; c++)
            worst = std::max(worst, abs((int)a.rgb[p + c] - (int)b.rgb[p + c]));
        int differs = worst > threshold;
        count += differs;
        for (int c = 0; c < 3; c++)
            marks.rgb[p + c] = differs ? (c == 0 ? 255 : 0) : a.rgb[p + c] / 3;
    }
    return count;
}

static int writePicture(const std::string& path, const Picture& pic)
{
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = pic.width;
    image.height = pic.height;
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pic.rgb.data(), 0, nullptr)) {
        fprintf(stderr, "pngdiff: cannot write %s: %s\n", path.c_str(), image.message);
        return 0;
    }
    return 1;
}

// Reads the options; returns the index of the first picture argument, or 0.
static int readOptions(int argc, char** argv)
{
    int i = 1;
    for (; i + 1 < argc && strncmp(argv[i], "--", 2) == 0; i += 2) {
        char* end = nullptr;
        if (strcmp(argv[i], "--threshold") == 0) {
            threshold = (int)strtol(argv[i + 1], &end, 10);
            if (*end != '\0' || threshold < 0 || threshold > 255)
                return 0;
        } else if (strcmp(argv[i], "--max-share") == 0) {
            maxShare = strtod(argv[i + 1], &end);
            if (*end != '\0' || !(maxShare >= 0 && maxShare <= 1))
                return 0;
        } else if (strcmp(argv[i], "--diff") == 0) {
            diffPath = argv[i + 1];
        } else {
            return 0;
        }
    }
    return argc - i == 2 ? i : 0;
}

int main(int argc, char** argv)
{
    int first = readOptions(argc, argv);
    if (first == 0) {
        fputs("usage: pngdiff [--threshold 0..255] [--max-share 0..1] [--diff OUT.png]"
              " EXPECTED ACTUAL\n", stderr);
        return 2;
    }
    Picture expected, actual, marks;
    if (!readPicture(argv[first], expected) || !readPicture(argv[first + 1], actual))
        return 2;
    if (expected.width != actual.width || expected.height != actual.height) {
        printf("%s: size %ux%u, expected %ux%u\n", argv[first + 1], actual.width,
               actual.height, expected.width, expected.height);
        return 1;
    }
    long differing = countDifferences(expected, actual, marks);
    long total = (long)expected.width * expected.height;
    double share = total > 0 ? (double)differing / total : 0;
    int ok = share <= maxShare;
    printf("%s: %ld of %ld pixels differ by more than %d (%.4f%%, at most %.4f%%): %s\n",
           argv[first + 1], differing, total, threshold, 100 * share, 100 * maxShare,
           ok ? "match" : "DIFFER");
    if (!diffPath.empty() && !writePicture(diffPath, marks))
        return 2;
    return ok ? 0 : 1;
}
