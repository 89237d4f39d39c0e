#include "dpi.h"

#include "system_function.h"

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT WindowDpi(HWND window) {
    using DpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow =
        SystemFunction<DpiForWindowFunction>("user32.dll", "GetDpiForWindow");
    const UINT dpi = dpiForWindow ? dpiForWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

HFONT FontForDpi(HFONT systemFont, UINT dpi) {
    LOGFONTA font = {};
    if (!systemFont) systemFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!GetObjectA(systemFont, sizeof(font), &font)) return nullptr;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return CreateFontIndirectA(&font);
}
