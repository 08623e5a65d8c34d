// xwindow.cpp -- what the game asks of X itself, past GLUT: whether the
// display can be opened at all, the window's class and icon, whether the
// window still has the keyboard focus and whether Caps Lock is on, and
// letting go of the GLX context. It is the game's own X-specific corner
// (win32_window.cpp is Windows'): only programs that open the real window
// pull it in, and the rest of the game knows nothing of X.

#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game.h"

// Lets go of the GL context while its window still exists, so nothing is
// flushed into a window that is gone.
void releaseContext()
{
    if (glXGetCurrentContext() != nullptr) {
        glFinish();
        glXMakeCurrent(glXGetCurrentDisplay(), None, nullptr);
    }
}

// The window icon, 16 and 32 pixels square, as _NET_WM_ICON wants it: width,
// height, then one 0xAARRGGBB value per pixel, rows from the top; made from
// the game's own icon by packaging/icons/make-window-icon.sh.
static const unsigned long WINDOW_ICON[] = {
#include "window_icon.inc"
};

// The display a -display option names, else $DISPLAY (nullptr when unset).
static const char* displayName(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; i++)
        if (strcmp(argv[i], "-display") == 0)
            return argv[i + 1];
    return getenv("DISPLAY");
}

// GLUT would end the game with a bare "failed to open display" of its own;
// a player started without a desktop gets one line that says what to do.
// Returns 1 when the display opens, else prints that line and returns 0.
int checkDisplay(const char* program, int argc, char** argv)
{
    const char* name = displayName(argc, argv);
    Display* display = XOpenDisplay(name);
    if (display != nullptr) {
        XCloseDisplay(display);
        return 1;
    }
    if (name == nullptr || name[0] == '\0')
        fprintf(stderr, "%s: cannot open a display: DISPLAY is not set; start the game from a "
                        "desktop session, or under a virtual one (xvfb-run %s)\n",
                program, program);
    else
        fprintf(stderr, "%s: cannot open the display \"%s\": start the game from a desktop "
                        "session, or under a virtual one (xvfb-run %s)\n",
                program, name, program);
    return 0;
}

// Names the current window for the desktop: its class (WM_CLASS clankwise,
// Clankwise, which the menu entry's StartupWMClass matches) and its icon,
// so docks and task switchers show the game's own. GLUT draws in the X
// window itself, so the GLX drawable is the window.
void nameWindow()
{
    Display* display = glXGetCurrentDisplay();
    Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == None)
        return;
    char name[] = "clankwise", className[] = "Clankwise";
    XClassHint hint = {name, className};
    XSetClassHint(display, window, &hint);
    Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
    XChangeProperty(display, window, icon, XA_CARDINAL, 32, PropModeReplace,
                    (const unsigned char*)WINDOW_ICON, sizeof WINDOW_ICON / sizeof WINDOW_ICON[0]);
    XFlush(display);
}

// Does the window hold the keyboard focus? X sends FocusOut only to windows
// that ask for it, and GLUT neither asks nor passes it on, so the focus is
// read back. With no window manager the focus follows the pointer
// (PointerRoot), and the keys reach the window the pointer is in: that counts
// as held.
static int hasFocus(Display* display, Window window)
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus == window || focus == PointerRoot;
}

// The focus watch, a GLUT timer every 10 ms like the frames: a key let go
// while another window had the focus never reaches the game, so whatever
// was held when the focus went is let go then. Stops with the window.
// Reads windowGone; writes the key tables through releaseAllKeys.
void watchFocus(int value)
{
    static int hadFocus = 1;
    (void)value;
    if (windowGone)
        return;
    Display* display = glXGetCurrentDisplay();
    Window window = glXGetCurrentDrawable();
    if (display != nullptr && window != None) {
        int focus = hasFocus(display, window);
        if (hadFocus && !focus)
            releaseAllKeys();
        hadFocus = focus;
    }
    glutTimerFunc(10, watchFocus, 0);
}

// Whether the keyboard's Caps Lock is on (1) or off (0), from the modifiers
// X keeps locked; 1 when X cannot say, so the letter that asked decides.
int keyboardCapsLock()
{
    Display* display = glXGetCurrentDisplay();
    XkbStateRec state;
    if (display == nullptr || XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return 1;
    return (state.locked_mods & LockMask) != 0;
}
