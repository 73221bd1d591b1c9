#pragma once
// Text at the Win32 edge: the core's Windows-1252 and file names (UTF-8)
// as the UTF-16 the window functions take, and hints as tooltips.
#include <windows.h>

#include <string>

namespace zel {

std::wstring WideText(const std::string& cp1252);
std::string CoreText(const std::wstring& wide);
std::wstring WideFileName(const std::string& fileName);
std::wstring WideUtf8(const std::string& utf8);
std::string FileNameOf(const std::wstring& wide);

// A window's text, whole.
std::wstring WindowText(HWND hwnd);

// The hint shown when the pointer rests on the control (core text); one
// tooltip for the whole window.
void SetToolTip(HWND control, const std::string& hint);

}  // namespace zel
