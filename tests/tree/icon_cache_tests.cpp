// The icon cache behind the tree view's image list, with real windows and
// icons; the main window runs in the test process for its image list.
#include <gtest/gtest.h>

#include "icon_cache.h"
#include "threads.h"
#include "tree_test_util.h"

namespace {

class IconCacheTest : public ProductTest {};

// A 16x16 icon of one colour.
HICON SolidIcon(COLORREF colour) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    HDC screen = GetDC(nullptr);
    HBITMAP colourBits = CreateCompatibleBitmap(screen, cx, cy);
    HBITMAP mask = CreateBitmap(cx, cy, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, colourBits);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, cx, cy};
    FillRect(dc, &all, brush);
    SelectObject(dc, mask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ICONINFO info = {TRUE, 0, 0, mask, colourBits};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colourBits);
    DeleteObject(mask);
    return icon;
}

// The colour in the middle of an image of the tree image list.
COLORREF ImageColour(int index) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bits = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(dc, bits);
    ImageList_Draw(TreeImageList.get(), index, dc, 0, 0, ILD_NORMAL);
    const COLORREF colour = GetPixel(dc, 8, 8);
    SelectObject(dc, old);
    DeleteObject(bits);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return colour;
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window class with the given small icon (none for nullptr) and a
// captioned window of it.
HWND MakeWindow(const char* className, HICON smallIcon, int x = 400) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = PlainProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIconSm = smallIcon;
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 300, 200, 120,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A node of a window, made as discovery makes a document node.
std::unique_ptr<WindowNode> NodeOf(HWND window) {
    return std::make_unique<WindowNode>(window, RootNode.get(), nullptr);
}

TEST_F(IconCacheTest, OneImagePerIconHandle) {
    InProcessApp app;
    HICON red = SolidIcon(RGB(255, 0, 0));
    HWND first = MakeWindow("IconTestRed", red, 400);
    HWND second = MakeWindow("IconTestRed", red, 450);
    const int before = ImageList_GetImageCount(TreeImageList.get());

    auto firstNode = NodeOf(first);
    auto secondNode = NodeOf(second);
    const int index = GetWindowImageIndex(*firstNode);
    ASSERT_GE(index, 0);
    EXPECT_EQ(index, GetWindowImageIndex(*secondNode));
    EXPECT_EQ(index, GetWindowImageIndex(*firstNode));
    EXPECT_EQ(before + 1, ImageList_GetImageCount(TreeImageList.get()));
    EXPECT_EQ(RGB(255, 0, 0), ImageColour(index));
    EXPECT_EQ(UI_TEXT("IconTestRed"), IconCache.at(red).className);

    DestroyWindow(first);
    DestroyWindow(second);
    DestroyIcon(red);
}

// Handle values come back once their icon is destroyed: the same handle met
// on a window of another class is another icon, which takes the old image's
// place so that no index handed out before changes meaning.
TEST_F(IconCacheTest, AHandleMetOnAnotherClassReplacesItsImageInPlace) {
    InProcessApp app;
    HICON green = SolidIcon(RGB(0, 255, 0));
    HICON blue = SolidIcon(RGB(0, 0, 255));
    HWND greenWindow = MakeWindow("IconTestGreen", green, 400);
    HWND blueWindow = MakeWindow("IconTestBlue", blue, 450);
    const int greenIndex = GetWindowImageIndex(*NodeOf(greenWindow));
    ASSERT_GE(greenIndex, 0);
    // The blue icon's handle as if it had belonged to another class before.
    const int stale = ImageList_ReplaceIcon(TreeImageList.get(), -1, green);
    IconCache[blue] = IconCacheEntry{UI_TEXT("IconTestGone"), stale};
    const int count = ImageList_GetImageCount(TreeImageList.get());

    EXPECT_EQ(stale, GetWindowImageIndex(*NodeOf(blueWindow)));
    EXPECT_EQ(count, ImageList_GetImageCount(TreeImageList.get()));
    EXPECT_EQ(RGB(0, 0, 255), ImageColour(stale));
    EXPECT_EQ(UI_TEXT("IconTestBlue"), IconCache.at(blue).className);
    EXPECT_EQ(greenIndex, IconCache.at(green).imageIndex);
    EXPECT_EQ(RGB(0, 255, 0), ImageColour(greenIndex));

    DestroyWindow(greenWindow);
    DestroyWindow(blueWindow);
    DestroyIcon(green);
    DestroyIcon(blue);
}

// A program that makes a new icon at every start: the image of the last
// start, which no item shows any more, is taken for the next.
TEST_F(IconCacheTest, AnImageNoItemShowsGoesToTheNextNewIcon) {
    InProcessApp app;
    const int before = ImageList_GetImageCount(TreeImageList.get());
    int start = 0;
    for (COLORREF colour : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}) {
        HICON icon = SolidIcon(colour);
        HWND window = MakeWindow(("IconTestStart" + std::to_string(++start)).c_str(), icon);
        auto node = NodeOf(window);
        InsertTreeItem(*node);
        EXPECT_EQ(colour, ImageColour(node->imageIndex));
        node.reset();
        EXPECT_EQ(0u, IconCache.count(icon));
        DestroyWindow(window);
        DestroyIcon(icon);
    }
    EXPECT_EQ(before + 1, ImageList_GetImageCount(TreeImageList.get()));
}

// Two items show one image and one of them goes: the image stays for the
// other, and a new icon gets a place of its own.
TEST_F(IconCacheTest, AnImageStaysWhileAnotherItemShowsIt) {
    InProcessApp app;
    HICON red = SolidIcon(RGB(255, 0, 0));
    HICON blue = SolidIcon(RGB(0, 0, 255));
    HWND first = MakeWindow("IconTestShared", red, 400);
    HWND second = MakeWindow("IconTestShared", red, 450);
    HWND later = MakeWindow("IconTestLater", blue, 500);
    auto firstNode = NodeOf(first);
    auto secondNode = NodeOf(second);
    InsertTreeItem(*firstNode);
    InsertTreeItem(*secondNode);
    ASSERT_EQ(firstNode->imageIndex, secondNode->imageIndex);

    firstNode.reset();
    auto laterNode = NodeOf(later);
    InsertTreeItem(*laterNode);
    EXPECT_NE(secondNode->imageIndex, laterNode->imageIndex);
    EXPECT_EQ(RGB(255, 0, 0), ImageColour(secondNode->imageIndex));

    secondNode.reset();
    laterNode.reset();
    for (HWND window : {first, second, later}) DestroyWindow(window);
    DestroyIcon(red);
    DestroyIcon(blue);
}

// At another DPI the images are drawn again at their new size, each in its
// place.
TEST_F(IconCacheTest, ImagesKeepTheirPlacesAtAnotherSize) {
    InProcessApp app;
    HICON green = SolidIcon(RGB(0, 255, 0));
    HWND window = MakeWindow("IconTestResized", green);
    auto node = NodeOf(window);
    InsertTreeItem(*node);
    const int count = ImageList_GetImageCount(TreeImageList.get());
    SetTreeImageSize(2 * GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(count, ImageList_GetImageCount(TreeImageList.get()));
    EXPECT_EQ(RGB(0, 255, 0), ImageColour(node->imageIndex));
    node.reset();
    DestroyWindow(window);
    DestroyIcon(green);
}

TEST_F(IconCacheTest, AWindowWithoutIconGetsNone) {
    InProcessApp app;
    HWND window = MakeWindow("IconTestNone", nullptr);
    const size_t cached = IconCache.size();
    const int count = ImageList_GetImageCount(TreeImageList.get());
    EXPECT_EQ(-1, GetWindowImageIndex(*NodeOf(window)));
    EXPECT_EQ(cached, IconCache.size());
    EXPECT_EQ(count, ImageList_GetImageCount(TreeImageList.get()));

    // One set on the window itself is asked for.
    HICON yellow = SolidIcon(RGB(255, 255, 0));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(yellow));
    const int index = GetWindowImageIndex(*NodeOf(window));
    ASSERT_GE(index, 0);
    EXPECT_EQ(RGB(255, 255, 0), ImageColour(index));
    DestroyWindow(window);
    DestroyIcon(yellow);
}

TEST_F(IconCacheTest, TheDesktopIconIsCopiedAndDestroyed) {
    InProcessApp app;
    ASSERT_GE(RootNode->imageIndex, 0);
    EXPECT_EQ(RootNode->imageIndex, harness::ReadTreeItem(TreeView, RootNode->treeItem).image);
    // The root's entry is the only one without a class; its handle is gone.
    HICON desktop = nullptr;
    for (const auto& entry : IconCache)
        if (entry.second.className.empty()) desktop = entry.first;
    ASSERT_NE(nullptr, desktop);
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(desktop, &info));
    EXPECT_EQ(RootNode->imageIndex, IconCache.at(desktop).imageIndex);
}

// A window whose thread stops answering must not freeze hoverlane: asking
// it for its icon gives up after a while, and it gets none. (Under Wine a
// window of another process cannot be asked at all, so the hung window
// belongs to another thread of this process.)
TEST_F(IconCacheTest, AWindowThatDoesNotAnswerGetsNoIcon) {
    InProcessApp app;
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND window = nullptr;
    harness::Thread owner([&] {
        HWND own = MakeWindow("IconTestHung", nullptr, 420);
        window = own;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            // Stops answering until the test lets it go.
            if (message.message == WM_APP) WaitForSingleObject(release, INFINITE);
            if (message.message == WM_APP + 1) break;
            DispatchMessageA(&message);
        }
        DestroyWindow(own);
    });
    ASSERT_TRUE(harness::WaitUntil([&] { return window != nullptr; }));
    auto node = NodeOf(window);  // while it still answers
    ASSERT_FALSE(node->dead);

    PostMessageA(window, WM_APP, 0, 0);
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(harness::WaitUntil([&] {
        return !SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 100, &ignored);
    }));
    EXPECT_EQ(-1, GetWindowImageIndex(*node));

    SetEvent(release);
    PostMessageA(window, WM_APP + 1, 0, 0);
    owner.join();
    CloseHandle(release);
}

}  // namespace
