// The rules a window must pass to become a node, window ancestry, and the
// plain-value decisions behind titles and version resources.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "harness.h"
#include "plain_discovery.h"
#include "tree_rules.h"
#include "discovery.h"
#include "window_readers.h"

namespace {

// A window of this process, destroyed with the test.
class TestWindow {
public:
    TestWindow(const char* title, DWORD style, HWND parent = nullptr, int x = 400)
        : window_(CreateWindowExA(0, "STATIC", title, style, x, 300, 200, 120, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr)) {}
    ~TestWindow() {
        if (IsWindow(window_)) DestroyWindow(window_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST(AcceptableWindow, NeedsAFullCaptionVisibilityAndATitle) {
    TestWindow captioned("Doc", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE);
    TestWindow frameOnly("Doc", WS_POPUP | WS_DLGFRAME | WS_VISIBLE);
    TestWindow borderOnly("Doc", WS_POPUP | WS_BORDER | WS_VISIBLE);
    TestWindow hidden("Doc", WS_OVERLAPPED | WS_CAPTION);
    TestWindow untitled("", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE);
    ASSERT_TRUE(captioned.get() && frameOnly.get() && borderOnly.get() && hidden.get() && untitled.get());
    ASSERT_EQ(WS_DLGFRAME, GetWindowLongA(frameOnly.get(), GWL_STYLE) & WS_CAPTION);

    EXPECT_TRUE(IsAcceptableWindow(captioned.get()));
    EXPECT_FALSE(IsAcceptableWindow(frameOnly.get()));
    EXPECT_FALSE(IsAcceptableWindow(borderOnly.get()));
    EXPECT_FALSE(IsAcceptableWindow(hidden.get()));
    EXPECT_FALSE(IsAcceptableWindow(untitled.get()));
    EXPECT_FALSE(IsAcceptableWindow(nullptr));

    // A captioned child inside a hidden window is not visible either.
    TestWindow child("Inner", WS_CHILD | WS_CAPTION | WS_VISIBLE, hidden.get(), 0);
    EXPECT_FALSE(IsAcceptableWindow(child.get()));
    ShowWindow(hidden.get(), SW_SHOWNOACTIVATE);
    EXPECT_TRUE(IsAcceptableWindow(child.get()));

    // The quicker order of the tests decides as the written order does.
    for (HWND window : {captioned.get(), frameOnly.get(), borderOnly.get(), hidden.get(),
                        untitled.get(), child.get()})
        EXPECT_EQ(plain::Acceptable(window), IsAcceptableWindow(window));

    HWND gone = captioned.get();
    DestroyWindow(gone);
    EXPECT_FALSE(IsAcceptableWindow(gone));
    // Extended styles, owner and enabled state play no part.
    TestWindow tool("Tool", WS_POPUP | WS_CAPTION | WS_VISIBLE | WS_DISABLED, untitled.get());
    SetWindowLongA(tool.get(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    EXPECT_TRUE(IsAcceptableWindow(tool.get()));
}

// Discovery asks GetParent only of windows whose style lets it report one.
TEST(ReportedParent, ComesOnlyFromChildAndPopupWindows) {
    TestWindow overlapped("Top", WS_OVERLAPPEDWINDOW);
    TestWindow owned("Owned", WS_POPUP | WS_CAPTION, overlapped.get());
    TestWindow ownedOverlapped("Owned too", WS_OVERLAPPED | WS_CAPTION, overlapped.get());
    TestWindow child("Child", WS_CHILD | WS_CAPTION, overlapped.get(), 0);
    TestWindow moved("Moved", WS_OVERLAPPEDWINDOW);
    SetParent(moved.get(), overlapped.get());
    for (HWND window : {overlapped.get(), owned.get(), ownedOverlapped.get(), child.get(), moved.get()}) {
        if (!MayReportParent(GetWindowLongA(window, GWL_STYLE))) {
            EXPECT_EQ(nullptr, GetParent(window)) << harness::WindowText(window);
        }
    }
    EXPECT_TRUE(MayReportParent(GetWindowLongA(owned.get(), GWL_STYLE)));
    EXPECT_EQ(overlapped.get(), GetParent(owned.get()));
    EXPECT_EQ(overlapped.get(), GetParent(child.get()));
    EXPECT_FALSE(MayReportParent(GetWindowLongA(moved.get(), GWL_STYLE)));
}

TEST(WindowTitle, IsReadWholeHoweverLong) {
    const std::string longTitle(5000, 'T');
    TestWindow window(longTitle.c_str(), WS_OVERLAPPED | WS_CAPTION);
    EXPECT_EQ(UiFromAnsi(longTitle), GetWindowTitle(window.get()));
    TestWindow untitled("", WS_OVERLAPPED | WS_CAPTION);
    EXPECT_TRUE(GetWindowTitle(untitled.get()).empty());
    EXPECT_TRUE(GetWindowTitle(nullptr).empty());
}

TEST(WindowWithin, FollowsTheParentChain) {
    TestWindow top("Top", WS_OVERLAPPEDWINDOW);
    TestWindow middle("Middle", WS_CHILD, top.get(), 0);
    TestWindow inner("Inner", WS_CHILD, middle.get(), 0);
    TestWindow unrelated("Unrelated", WS_OVERLAPPEDWINDOW);
    EXPECT_TRUE(IsWindowWithin(inner.get(), inner.get()));
    EXPECT_TRUE(IsWindowWithin(inner.get(), top.get()));
    EXPECT_TRUE(IsWindowWithin(inner.get(), middle.get()));
    EXPECT_FALSE(IsWindowWithin(top.get(), inner.get()));
    EXPECT_FALSE(IsWindowWithin(top.get(), unrelated.get()));
    EXPECT_FALSE(IsWindowWithin(unrelated.get(), top.get()));
}

TEST(VersionRules, ZeroTranslationsMeanUsEnglishWestern) {
    EXPECT_EQ("\\StringFileInfo\\040904e4\\ProductName",
              VersionQueryPath(TranslationFrom(0), "ProductName"));
    EXPECT_EQ("\\StringFileInfo\\040904b0\\FileVersion",
              VersionQueryPath(TranslationFrom(0x04B00000), "FileVersion"));
    EXPECT_EQ("\\StringFileInfo\\040704e4\\ProductName",
              VersionQueryPath(TranslationFrom(0x00000407), "ProductName"));
    EXPECT_EQ("\\StringFileInfo\\0c0a04e4\\X", VersionQueryPath(TranslationFrom(0x04E40C0A), "X"));
}

TEST(VersionRules, AFileWithoutResourceGivesEmptyTexts) {
    VersionInfo version;
    EXPECT_FALSE(version.Load(UI_TEXT("C:\\no\\such\\file.exe")));
    EXPECT_EQ(nullptr, version.buffer);
    EXPECT_EQ(kVersionFallbackLanguage, version.language);
    EXPECT_EQ(kVersionFallbackCodePage, version.codePage);
    EXPECT_TRUE(version.QueryString("ProductName").empty());
}

bool EveryByteLeads(unsigned char byte) {
    return byte >= 0x80;
}

TEST(ItemText, IsCutToTheBufferOnCharacterBoundaries) {
    EXPECT_EQ(UI_TEXT("short"), ItemTextFor(UI_TEXT("short")));
    const UiText exact(259, 'a');
    EXPECT_EQ(exact, ItemTextFor(exact));
    EXPECT_EQ(exact, ItemTextFor(exact + UI_TEXT("bc")));
    EXPECT_EQ(exact, ItemTextFor(ItemTextFor(exact + UI_TEXT("bc"))));
    // A character beyond the first 65,536 (two UTF-16 units) is never halved.
    const std::wstring pair = L"\xD83D\xDE00";
    EXPECT_EQ(std::wstring(258, 'a'), CutAtCharBoundary(std::wstring(258, 'a') + pair, 259));
    EXPECT_EQ(std::wstring(257, 'a') + pair, CutAtCharBoundary(std::wstring(257, 'a') + pair + L"b", 259));
    EXPECT_EQ(std::wstring(259, 'a'), CutAtCharBoundary(std::wstring(259, 'a') + pair, 259));

    // A two-byte character that would lose its second byte is left out whole.
    EXPECT_EQ("abc", CutAtCharBoundary("abc\x81\x40", 4, EveryByteLeads));
    EXPECT_EQ("abc\x81\x40", CutAtCharBoundary("abc\x81\x40z", 5, EveryByteLeads));
    EXPECT_EQ("ab", CutAtCharBoundary("abcd", 2, EveryByteLeads));
}

TEST(HandleOrder, IsByUnsignedValue) {
    HandleOrder order;
    const HWND low = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10));
    const HWND high = reinterpret_cast<HWND>(~static_cast<uintptr_t>(0));
    EXPECT_TRUE(order(low, high));
    EXPECT_FALSE(order(high, low));
    EXPECT_FALSE(order(low, low));
}

}  // namespace
