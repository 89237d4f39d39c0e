// The displays' scale. hoverlane declares itself aware of each monitor's
// DPI: Windows then neither stretches its window as a picture (blurry on a
// second monitor of another scale) nor hands it made-up coordinates, and it
// draws its window for the DPI of the monitor the window is on.
#pragma once

#include <windows.h>

// The DPI the system's fonts and metrics are made for.
UINT SystemDpi();
// The DPI of the monitor the window is on (Windows 10 and later); the
// system's elsewhere.
UINT WindowDpi(HWND window);
// A length in pixels at 96 DPI, at that DPI.
inline int ScaleToDpi(int pixelsAt96, UINT dpi) {
    return MulDiv(pixelsAt96, static_cast<int>(dpi), 96);
}
// How a control's font looks at the system's DPI: the font's description,
// kept in place of the font itself, which stays the control's. The default
// GUI font's where the control names none.
LOGFONTA FontLook(HFONT font);
// A new font of that look for dpi; the caller owns it.
HFONT FontForDpi(const LOGFONTA& look, UINT dpi);
// The side of a small icon at dpi (Windows 10 and later know it for each
// DPI; elsewhere the system's, scaled).
int SmallIconSize(UINT dpi);
