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

#if defined(HOVERLANE_FAMILY_95)
using UiTreeItem = TVITEMA;
using UiTreeInsert = TVINSERTSTRUCTA;
using UiListItem = LVITEMA;
using UiListColumn = LVCOLUMNA;
constexpr UINT kUiTreeInsertItem = TVM_INSERTITEMA;
constexpr UINT kUiTreeGetItem = TVM_GETITEMA;
constexpr UINT kUiTreeSetItem = TVM_SETITEMA;
constexpr UINT kUiListInsertItem = LVM_INSERTITEMA;
constexpr UINT kUiListSetItemText = LVM_SETITEMTEXTA;
constexpr UINT kUiListGetItemText = LVM_GETITEMTEXTA;
constexpr UINT kUiListInsertColumn = LVM_INSERTCOLUMNA;
constexpr UINT kUiStatusSetText = SB_SETTEXTA;
#else
using UiTreeItem = TVITEMW;
using UiTreeInsert = TVINSERTSTRUCTW;
using UiListItem = LVITEMW;
using UiListColumn = LVCOLUMNW;
constexpr UINT kUiTreeInsertItem = TVM_INSERTITEMW;
constexpr UINT kUiTreeGetItem = TVM_GETITEMW;
constexpr UINT kUiTreeSetItem = TVM_SETITEMW;
constexpr UINT kUiListInsertItem = LVM_INSERTITEMW;
constexpr UINT kUiListSetItemText = LVM_SETITEMTEXTW;
constexpr UINT kUiListGetItemText = LVM_GETITEMTEXTW;
constexpr UINT kUiListInsertColumn = LVM_INSERTCOLUMNW;
constexpr UINT kUiStatusSetText = SB_SETTEXTW;
#endif

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
