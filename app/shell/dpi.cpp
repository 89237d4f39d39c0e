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

LOGFONTA FontLook(HFONT font) {
    LOGFONTA look = {};
    if (!font || !GetObjectA(font, sizeof(look), &look))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(look), &look);
    return look;
}

HFONT FontForDpi(const LOGFONTA& look, UINT dpi) {
    LOGFONTA font = look;
    font.lfHeight = MulDiv(look.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return CreateFontIndirectA(&font);
}

int SmallIconSize(UINT dpi) {
    using MetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto metricsForDpi =
        SystemFunction<MetricsForDpiFunction>("user32.dll", "GetSystemMetricsForDpi");
    const int size = metricsForDpi ? metricsForDpi(SM_CXSMICON, dpi) : 0;
    if (size > 0) return size;
    return MulDiv(GetSystemMetrics(SM_CXSMICON), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}
