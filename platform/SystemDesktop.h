#pragma once
// The real desktop of this edition, for the front ends that pick it at build
// time: the X server's on Linux, Windows' own on Windows. Both take the
// window's (or the terminal's) event processing with SetMessagePump.
#ifdef _WIN32
#include "platform/win32/Win32Desktop.h"
namespace zel {
using TSystemDesktop = TWin32Desktop;
}
#else
#include "platform/x11/X11Desktop.h"
namespace zel {
using TSystemDesktop = TX11Desktop;
}
#endif
