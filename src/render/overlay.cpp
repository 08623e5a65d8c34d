// overlay.cpp -- what the game tells the player over the scene: a start
// hint ("H: help") in a corner, the controls table on h or ?, and what the
// player must know right now (the game is paused, Caps Lock is on, the
// frame rate reached). It is drawn last in a frame, in window pixels, with
// all of GL's state it touches saved and put back, so the next frame draws
// as if it had never been there.
//
// Only the game itself turns it on (playerInterface): the replay and record
// tools, the tests and the benchmarks draw the scene alone.

#include <chrono>
#include <cstdio>

#include "game.h"

// The fonts, largest first; the help takes the largest that fits.
static void* const FONTS[] = {GLUT_BITMAP_HELVETICA_18, GLUT_BITMAP_HELVETICA_12,
                              GLUT_BITMAP_HELVETICA_10};
static const int FONT_LINE[] = {24, 16, 13};  // line height of each, pixels
const int NB_FONTS = 3;
const int MARGIN = 10;  // pixels around the text on its backdrop

static double picturesPerSecond;  // frames drawn in the last whole second
static double framesPerSecond;    // frames run, drawn or not, likewise

// GLUT's bitmap fonts are Latin-1; the controls table is UTF-8 (é). Copies
// text into out (size bytes), two-byte sequences turned into their Latin-1
// character, anything else outside ASCII into '?'.
static const unsigned char* latin1(const char* text, unsigned char* out, int size)
{
    int n = 0;
    for (const unsigned char* c = (const unsigned char*)text; *c != 0 && n < size - 1; c++) {
        if (*c < 0x80)
            out[n++] = *c;
        else if ((*c & 0xE0) == 0xC0 && (c[1] & 0xC0) == 0x80 && *c <= 0xC3)
            out[n++] = (unsigned char)(((*c & 0x1F) << 6) | (c[1] & 0x3F)), c++;
        else if ((*c & 0xC0) != 0x80)
            out[n++] = '?';
    }
    out[n] = 0;
    return out;
}

// Width in pixels of a UTF-8 text in a font.
static int textWidth(void* font, const char* text)
{
    unsigned char buffer[128];
    return glutBitmapLength(font, latin1(text, buffer, sizeof buffer));
}

// Draws a text with its baseline's left end at (x, y), window pixels from the
// bottom left.
static void drawText(void* font, int x, int y, const char* text)
{
    unsigned char buffer[128];
    glRasterPos2i(x, y);
    glutBitmapString(font, latin1(text, buffer, sizeof buffer));
}

// A dark, see-through panel from (x0, y0) to (x1, y1) behind the text.
static void drawBackdrop(int x0, int y0, int x1, int y1)
{
    glColor4f(0, 0, 0, 0.78f);
    glBegin(GL_QUADS);
    glVertex3f((float)x0, (float)y0, 0);
    glVertex3f((float)x1, (float)y0, 0);
    glVertex3f((float)x1, (float)y1, 0);
    glVertex3f((float)x0, (float)y1, 0);
    glEnd();
}

// Lines of text on a backdrop: the box's top left corner at (x, top), each
// line in its own colour (white, or yellow for the notes).
static void drawPanel(void* font, int line, int x, int top, const char* const* lines,
                      const int* notes, int count)
{
    int width = 0;
    for (int i = 0; i < count; i++)
        width = width > textWidth(font, lines[i]) ? width : textWidth(font, lines[i]);
    drawBackdrop(x, top - count * line - 2 * MARGIN, x + width + 2 * MARGIN, top);
    for (int i = 0; i < count; i++) {
        if (notes[i])
            glColor3f(1, 0.85f, 0.2f);
        else
            glColor3f(1, 1, 1);
        drawText(font, x + MARGIN, top - MARGIN - (i + 1) * line + line / 4, lines[i]);
    }
}

// The notes that hold now: the pause, Caps Lock. Fills notes (at most 2)
// and returns their number. Reads paused, capsLock.
static int currentNotes(const char** notes)
{
    int n = 0;
    if (paused)
        notes[n++] = "Paused: press P to go on";
    if (capsLock)
        notes[n++] = "Caps Lock is on: the letter keys need lower case";
    return n;
}

// Counts the frames and the pictures of each second of the clock, for the
// help's figure line. Reads frameDrawn; writes framesPerSecond,
// picturesPerSecond.
static void countFrame()
{
    using Clock = std::chrono::steady_clock;
    static Clock::time_point since = Clock::now();
    static int frames, pictures;
    frames++;
    pictures += frameDrawn;
    double seconds = std::chrono::duration<double>(Clock::now() - since).count();
    if (seconds >= 1) {
        framesPerSecond = frames / seconds;
        picturesPerSecond = pictures / seconds;
        frames = pictures = 0;
        since = Clock::now();
    }
}

// The help's figure line: the pictures a second and the game's speed, which
// is full while it runs its 100 frames a second (97: a second of the clock
// seldom holds exactly 100 of them). Reads the two rates.
static void figureLine(char* line, int size)
{
    if (framesPerSecond >= 97)
        snprintf(line, size, "%.0f pictures a second, game at full speed", picturesPerSecond);
    else
        snprintf(line, size, "%.0f pictures a second, game at %.0f%% of its speed",
                 picturesPerSecond, framesPerSecond);
}

// The widest a help row can be, in pixels, with its four columns (key,
// twin, pad, action); column[] gets the width of the first three, with
// their gaps.
static int helpWidth(void* font, int column[3])
{
    int action = 0;
    column[0] = column[1] = column[2] = 0;
    for (int i = 0; i < NB_CONTROLS; i++) {
        for (int c = 0; c < 3; c++) {
            int w = textWidth(font, CONTROLS[i][c]);
            column[c] = column[c] > w ? column[c] : w;
        }
        int a = textWidth(font, CONTROLS[i][3]);
        action = action > a ? action : a;
    }
    int gap = textWidth(font, "   ");
    for (int c = 0; c < 3; c++)
        column[c] += gap;
    return column[0] + column[1] + column[2] + action;
}

// The controls table, centred, in the largest font that fits the window,
// with the notes and the frame rate under it. In a window too small even
// for the smallest font, the table is cut at the right and the bottom. Reads CONTROLS, windowWidth, windowHeight,
// framesPerSecond.
static void drawHelp(const char* const* notes, int nbNotes)
{
    const int rows = NB_CONTROLS + 4 + nbNotes;  // title, gap, table, gap, rate, notes
    int f = 0, column[3] = {0, 0, 0}, width = 0;
    for (; f < NB_FONTS; f++) {
        width = helpWidth(FONTS[f], column) + 2 * MARGIN;
        if (width <= windowWidth && rows * FONT_LINE[f] + 2 * MARGIN <= windowHeight)
            break;
    }
    f = f < NB_FONTS ? f : NB_FONTS - 1;
    void* font = FONTS[f];
    int line = FONT_LINE[f];
    int x = (windowWidth - width) / 2 > 0 ? (windowWidth - width) / 2 : 0;
    // Too tall for the window, it hangs from the top: the title and the
    // first rows are read first.
    int top = (windowHeight + rows * line + 2 * MARGIN) / 2;
    top = top < windowHeight ? top : windowHeight;
    drawBackdrop(x, top - rows * line - 2 * MARGIN, x + width, top);

    int y = top - MARGIN - line + line / 4;
    glColor3f(1, 0.85f, 0.2f);
    drawText(font, x + MARGIN, y, "Clankwise: the controls (h or ? hides them)");
    y -= 2 * line;
    glColor3f(1, 1, 1);
    for (int i = 0; i < NB_CONTROLS; i++, y -= line) {
        int left = x + MARGIN;
        for (int c = 0; c < 4; c++) {
            drawText(font, left, y, CONTROLS[i][c]);
            left += c < 3 ? column[c] : 0;
        }
    }
    char rate[80];
    figureLine(rate, sizeof rate);
    y -= line;
    drawText(font, x + MARGIN, y, rate);
    glColor3f(1, 0.85f, 0.2f);
    for (int i = 0; i < nbNotes; i++)
        drawText(font, x + MARGIN, y -= line, notes[i]);
}

// Window pixels as coordinates, lighting and depth off, blending on; the
// frame's own state is saved first. Reads windowWidth, windowHeight.
static void beginPixels()
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, windowWidth, 0, windowHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

// Puts back the frame's matrices and state.
static void endPixels()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

// Draws whatever the player should see now, over the finished scene: the
// help, or else the notes in a box at the top and the start hint in the
// bottom left corner while it lasts. Draws nothing, and calls no GL, when
// there is nothing to show or outside the game itself. Reads
// playerInterface, helpShown, paused, capsLock, the window size, frameDrawn;
// writes hintFrames, which counts down in frames not drawn too.
void drawOverlay()
{
    // A minimised window reports no pixels to draw in.
    if (!playerInterface || windowWidth < 1 || windowHeight < 1)
        return;
    countFrame();
    if (!frameDrawn) {
        if (hintFrames > 0 && !helpShown)
            hintFrames--;
        return;
    }
    const char* notes[2];
    int nbNotes = currentNotes(notes);
    if (!helpShown && nbNotes == 0 && hintFrames <= 0)
        return;

    beginPixels();
    void* font = FONTS[windowWidth >= 700 ? 0 : 1];
    int line = FONT_LINE[windowWidth >= 700 ? 0 : 1];
    if (helpShown) {
        drawHelp(notes, nbNotes);
    } else if (nbNotes > 0) {
        const char* lines[3] = {notes[0], nbNotes > 1 ? notes[1] : nullptr, nullptr};
        lines[nbNotes] = "H: the controls";
        const int colours[3] = {1, nbNotes > 1, 0};
        drawPanel(font, line, MARGIN, windowHeight - MARGIN, lines, colours, nbNotes + 1);
    }
    if (hintFrames > 0 && !helpShown) {
        const char* hint[1] = {"H: help"};
        const int colour[1] = {1};
        drawPanel(font, line, MARGIN, MARGIN + line + 2 * MARGIN, hint, colour, 1);
        hintFrames--;
    }
    endPixels();
}
