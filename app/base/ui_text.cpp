#include "ui_text.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "handles.h"
#include "text.h"

#if defined(HOVERLANE_FAMILY_95)

UiText UiFromAnsi(const std::string& text) {
    return text;
}

std::string AnsiFromUi(const UiText& text) {
    return text;
}

LONG UiRegSetText(HKEY root, const char* keyPath, const UiText& valueName, const UiText& text) {
    return SHSetValueA(root, keyPath, valueName.c_str(), REG_SZ, text.c_str(),
                       static_cast<DWORD>(text.size() + 1));
}

LONG UiRegDeleteValue(HKEY root, const char* keyPath, const UiText& valueName) {
    return SHDeleteValueA(root, keyPath, valueName.c_str());
}

#else

UiText UiFromAnsi(const std::string& text) {
    if (text.empty()) return UiText();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    UiText wide(length > 0 ? length : 0, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string AnsiFromUi(const UiText& text) {
    return AnsiFromWide(text);
}

LONG UiRegSetText(HKEY root, const char* keyPath, const UiText& valueName, const UiText& text) {
    // SHSetValueW is not in every shell of the floor: the key by its ANSI
    // name (the layout's, ASCII), the value in Unicode.
    ScopedRegKey key;
    const LONG opened =
        RegCreateKeyExA(root, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (opened != ERROR_SUCCESS) return opened;
    return RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LONG UiRegDeleteValue(HKEY root, const char* keyPath, const UiText& valueName) {
    ScopedRegKey key;
    const LONG opened = RegOpenKeyExA(root, keyPath, 0, KEY_SET_VALUE, key.put());
    return opened != ERROR_SUCCESS ? opened : RegDeleteValueW(key.get(), valueName.c_str());
}

#endif

bool UiEqualNoCase(const UiText& a, const UiText& b) {
    return UI_FORM(lstrcmpiA, lstrcmpiW)(a.c_str(), b.c_str()) == 0;
}

int UiGetWindowText(HWND window, UiChar* text, int capacity) {
    return UI_FORM(GetWindowTextA, GetWindowTextW)(window, text, capacity);
}

int UiGetClassName(HWND window, UiChar* name, int capacity) {
    return UI_FORM(GetClassNameA, GetClassNameW)(window, name, capacity);
}

DWORD UiGetFileVersionInfoSize(const UiText& path) {
    DWORD ignored = 0;
    return UI_FORM(GetFileVersionInfoSizeA, GetFileVersionInfoSizeW)(path.c_str(), &ignored);
}

bool UiGetFileVersionInfo(const UiText& path, DWORD size, void* data) {
    return UI_FORM(GetFileVersionInfoA, GetFileVersionInfoW)(path.c_str(), 0, size, data) != FALSE;
}

bool UiVerQueryValue(const void* block, const UiText& subBlock, void** value, UINT* length) {
    return UI_FORM(VerQueryValueA, VerQueryValueW)(block, subBlock.c_str(), value, length) != FALSE;
}

UINT UiExtractSmallIcon(const UiText& path, HICON* small) {
    return UI_FORM(ExtractIconExA, ExtractIconExW)(path.c_str(), 0, nullptr, small, 1);
}

LONG UiRegEnumValue(HKEY key, DWORD index, UiChar* name, DWORD* nameLength, DWORD* type, BYTE* data,
                    DWORD* dataLength) {
    return UI_FORM(RegEnumValueA, RegEnumValueW)(key, index, name, nameLength, nullptr, type, data, dataLength);
}
