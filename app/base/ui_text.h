// Text that comes from other programs or names a file: window titles and
// class names, program paths, version resources, the tree's and the status
// bar's texts, registrations. The NT family has been Unicode inside since its
// first version: there it is UTF-16, so that a title or a path in any script
// comes through whole. Windows 98 and Me have no Unicode window functions:
// there it is the ANSI code page, as everywhere else. Everything above this
// layer reads the same in both.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#if defined(HOVERLANE_FAMILY_95)
using UiChar = char;
#define UI_TEXT(text) text
#else
using UiChar = wchar_t;
#define UI_TEXT(text) L##text
#endif
using UiText = std::basic_string<UiChar>;

// From and to the ANSI code page (the design's own texts, the registry's key
// names); what the code page lacks becomes '?' on the way to it.
UiText UiFromAnsi(const std::string& text);
std::string AnsiFromUi(const UiText& text);

// Letter case ignored, as the system compares file and registry names.
bool UiEqualNoCase(const UiText& a, const UiText& b);

// The family's form of a type or constant: its ANSI form for the 95
// family, its wide form for the NT family.
#if defined(HOVERLANE_FAMILY_95)
#define UI_FORM(ansi, wide) ansi
#else
#define UI_FORM(ansi, wide) wide
#endif
using UiTreeItem = UI_FORM(TVITEMA, TVITEMW);
using UiTreeInsert = UI_FORM(TVINSERTSTRUCTA, TVINSERTSTRUCTW);
using UiListItem = UI_FORM(LVITEMA, LVITEMW);
using UiListColumn = UI_FORM(LVCOLUMNA, LVCOLUMNW);
constexpr UINT kUiTreeInsertItem = UI_FORM(TVM_INSERTITEMA, TVM_INSERTITEMW);
constexpr UINT kUiTreeGetItem = UI_FORM(TVM_GETITEMA, TVM_GETITEMW);
constexpr UINT kUiTreeSetItem = UI_FORM(TVM_SETITEMA, TVM_SETITEMW);
constexpr UINT kUiListInsertItem = UI_FORM(LVM_INSERTITEMA, LVM_INSERTITEMW);
constexpr UINT kUiListSetItemText = UI_FORM(LVM_SETITEMTEXTA, LVM_SETITEMTEXTW);
constexpr UINT kUiListGetItemText = UI_FORM(LVM_GETITEMTEXTA, LVM_GETITEMTEXTW);
constexpr UINT kUiListInsertColumn = UI_FORM(LVM_INSERTCOLUMNA, LVM_INSERTCOLUMNW);
constexpr UINT kUiStatusSetText = UI_FORM(SB_SETTEXTA, SB_SETTEXTW);

// The system's calls in the family's form; each takes and gives counts of
// characters (UiChar), as its A and W forms do.
int UiGetWindowText(HWND window, UiChar* text, int capacity);
int UiGetClassName(HWND window, UiChar* name, int capacity);
DWORD UiGetFileVersionInfoSize(const UiText& path);
bool UiGetFileVersionInfo(const UiText& path, DWORD size, void* data);
bool UiVerQueryValue(const void* block, const UiText& subBlock, void** value, UINT* length);
UINT UiExtractSmallIcon(const UiText& path, HICON* small);

// The registered programs' key: its values enumerated, set and deleted.
LONG UiRegEnumValue(HKEY key, DWORD index, UiChar* name, DWORD* nameLength, DWORD* type, BYTE* data,
                    DWORD* dataLength);
LONG UiRegSetText(HKEY root, const char* keyPath, const UiText& valueName, const UiText& text);
LONG UiRegDeleteValue(HKEY root, const char* keyPath, const UiText& valueName);
