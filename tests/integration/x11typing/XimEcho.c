/* A small X client of the tests: a window that takes the keyboard focus,
 * composes what it receives through an input method (dead keys included) and
 * prints it on stdout as UTF-8. A key with Control down prints as
 * <CTRL+keysym>, any other key that types nothing (a function key) as
 * <keysym>; Escape ends the program. "READY" is printed once the window
 * has the focus. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>

int main(void) {
    setlocale(LC_ALL, "");
    XSetLocaleModifiers("");
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "no display\n");
        return 2;
    }
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 400, 100, 0, 0, 0xFFFFFF);
    XSelectInput(d, w, KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask);
    XMapWindow(d, w);
    XEvent ev;
    do XNextEvent(d, &ev);
    while (ev.type != MapNotify);
    XIM im = XOpenIM(d, NULL, NULL, NULL);
    if (!im) {
        fprintf(stderr, "no input method\n");
        return 2;
    }
    XIC ic = XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, w, XNFocusWindow, w,
                       NULL);
    if (!ic) {
        fprintf(stderr, "no input context\n");
        return 2;
    }
    XSetICFocus(ic);
    XSetInputFocus(d, w, RevertToParent, CurrentTime);
    do XNextEvent(d, &ev);
    while (ev.type != FocusIn);
    /* Xlib reads the keymap (and starts following its changes) at the first
     * key it looks up; a running application has long done so. */
    (void)XKeysymToKeycode(d, XK_a);
    XSync(d, False);
    printf("READY\n");
    fflush(stdout);
    for (;;) {
        XNextEvent(d, &ev);
        if (XFilterEvent(&ev, None)) continue;
        if (ev.type == MappingNotify) {
            XRefreshKeyboardMapping(&ev.xmapping);
            continue;
        }
        if (ev.type != KeyPress) continue;
        char buf[64];
        KeySym ks = NoSymbol;
        Status st = 0;
        int n = Xutf8LookupString(ic, &ev.xkey, buf, (int)sizeof buf - 1, &ks, &st);
        if (ks == XK_Escape) break;
        if ((ev.xkey.state & ControlMask) && !IsModifierKey(ks)) {
            const char* name = XKeysymToString(ks);
            printf("<CTRL+%s>", name ? name : "?");
        } else if ((st == XLookupChars || st == XLookupBoth) && n > 0) {
            fwrite(buf, 1, (size_t)n, stdout);
        } else if (ks != NoSymbol && !IsModifierKey(ks)) {
            const char* name = XKeysymToString(ks);
            printf("<%s>", name ? name : "?");
        }
        fflush(stdout);
    }
    XDestroyIC(ic);
    XCloseIM(im);
    XCloseDisplay(d);
    return 0;
}
