/* wm_state: the one answer Wine waits for from a window manager, and nothing else.
 *
 * Wine's X11 driver, after mapping or withdrawing a window with a title bar, waits up
 * to 2 s for a window manager to set the window's WM_STATE property (Normal, or
 * Withdrawn). The test display runs no window manager, since one that moves the focus
 * makes Wine forget keys held through SendInput; so this client only watches every
 * window map and unmap on the screen and sets WM_STATE as a window manager would. It
 * redirects nothing and never touches the focus.
 *
 *   wm_state        (on $DISPLAY, until killed or the display goes)
 */
#include <X11/Xlib.h>

enum { kWithdrawnState = 0, kNormalState = 1 };

/* A window may be gone before its state is set: nothing to answer then. */
static int ignore_error(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0;
}

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) return 1;
    XSetErrorHandler(ignore_error);
    const Atom wm_state = XInternAtom(display, "WM_STATE", False);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify && event.type != UnmapNotify) continue;
        const int mapped = event.type == MapNotify;
        long state[2] = {mapped ? kNormalState : kWithdrawnState, None};
        XChangeProperty(display, mapped ? event.xmap.window : event.xunmap.window, wm_state,
                        wm_state, 32, PropModeReplace, (unsigned char*)state, 2);
        XFlush(display);
    }
}
