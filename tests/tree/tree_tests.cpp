// The window tree with real programs: the sample MDI program runs as a
// separate process, hoverlane's main window inside the test process so that
// the nodes can be looked at directly.
#include <gtest/gtest.h>

#include <random>

#include "icon_cache.h"
#include "plain_discovery.h"
#include "registered_programs.h"
#include "resource.h"
#include "tree_test_util.h"

namespace {

// The program ends, and the tree's next refresh sees it gone.
bool EndAndRefresh(Sample& sample) {
    PostMessageA(sample.frame, WM_COMMAND, SAMPLE_EXIT, 0);
    if (!sample.process.WaitExit()) return false;
    Refresh(*RootNode);
    return true;
}

class TreeTest : public ProductTest {
protected:
    // The sample program "Editor" with these documents, then the main
    // window; the program's node (none when something failed).
    WindowNode* StartEditor(const std::string& documents) {
        editor = StartSample("/frame:Editor /at:300,200,600,400 " + documents);
        if (!editor.frame) return nullptr;
        app = std::make_unique<InProcessApp>();
        return ProgramNode(editor.frame);
    }
    void TearDown() override {
        app.reset();
        ProductTest::TearDown();
    }

    Sample editor;
    std::unique_ptr<InProcessApp> app;
};


TEST_F(TreeTest, StartUpShowsTheDesktopExpandedWithOneItemPerProgram) {
    Sample editor = StartSample("/frame:Editor /at:300,200,600,400 Report Notes");
    Sample plain = StartSample("/frame:Plain /plain /at:320,220,400,300");
    ASSERT_NE(nullptr, editor.frame);
    ASSERT_NE(nullptr, plain.frame);

    InProcessApp app;
    ASSERT_TRUE(app.created());

    const auto top = harness::TreeChildren(TreeView, nullptr);
    ASSERT_EQ(1u, top.size());
    EXPECT_EQ("desktop", top[0].text);
    EXPECT_TRUE(top[0].state & TVIS_EXPANDED);
    EXPECT_EQ(1, top[0].children);
    EXPECT_EQ(reinterpret_cast<LPARAM>(RootNode.get()), top[0].param);
    EXPECT_EQ(GetDesktopWindow(), RootNode->window);
    EXPECT_EQ(GetDesktopWindow(), RootNode->container);
    EXPECT_TRUE(RootNode->programName.empty());
    EXPECT_GE(top[0].image, 0);

    // The frame without captioned child windows is no program.
    const auto programs = harness::TreeChildren(TreeView, top[0].item);
    ASSERT_EQ(1u, programs.size());
    EXPECT_EQ(1u, RootNode->children.size());
    EXPECT_EQ(nullptr, ProgramNode(plain.frame));
    WindowNode* program = ProgramNode(editor.frame);
    ASSERT_NE(nullptr, program);
    EXPECT_EQ(reinterpret_cast<LPARAM>(program), programs[0].param);
    EXPECT_EQ("Editor", programs[0].text);
    EXPECT_EQ(1, programs[0].children);
    EXPECT_FALSE(programs[0].state & TVIS_EXPANDED);

    EXPECT_EQ(kSampleName, AnsiFromUi(program->programName));
    EXPECT_EQ(0, lstrcmpiA(harness::WinPath(HL_SAMPLE_MDI).c_str(), AnsiFromUi(program->modulePath).c_str()))
        << AnsiFromUi(program->modulePath);
    EXPECT_EQ(editor.client, program->container);
    EXPECT_EQ(SAMPLE_FRAME_CLASS, AnsiFromUi(program->className));
    EXPECT_EQ(editor.process.id(), program->processId);
    EXPECT_EQ(RootNode.get(), program->parent);
    EXPECT_FALSE(program->leaf);
    EXPECT_FALSE(program->dead);
    EXPECT_FALSE(program->registered);
    EXPECT_TRUE(program->children.empty());  // documents only once expanded
    EXPECT_EQ("", StatusText(0));
    EXPECT_TRUE(TreeIsConsistent());
}

TEST_F(TreeTest, DesktopOpensWhenTheFirstProgramArrivesAfterStartUp) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    ASSERT_TRUE(RootNode->children.empty());

    Sample editor = StartSample("/frame:Editor /at:300,200,600,400 Report");
    ASSERT_NE(nullptr, editor.frame);
    // Listed by a periodic refresh, with "desktop" opened to show it.
    ASSERT_TRUE(harness::WaitUntil([&] { return ProgramNode(editor.frame) != nullptr; }));
    const auto top = harness::TreeChildren(TreeView, nullptr);
    ASSERT_EQ(1u, top.size());
    EXPECT_TRUE(top[0].state & TVIS_EXPANDED);
    ASSERT_EQ(1u, harness::TreeChildren(TreeView, top[0].item).size());

    // Once the user closes it, it stays closed.
    SendMessageA(TreeView, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(top[0].item));
    Sample second = StartSample("/frame:Second /at:320,220,600,400 Other");
    ASSERT_NE(nullptr, second.frame);
    ASSERT_TRUE(harness::WaitUntil([&] { return ProgramNode(second.frame) != nullptr; }));
    EXPECT_FALSE(harness::ReadTreeItem(TreeView, top[0].item).state & TVIS_EXPANDED);
}

TEST_F(TreeTest, SelectionSetsStatusPartZeroAndTheRegisterCommand) {
    WindowNode* program = StartEditor("Report");
    ASSERT_NE(nullptr, program);
    auto registerState = [&] {
        SendMessageA(app->window(), WM_ENTERMENULOOP, FALSE, 0);
        return MenuItemState(app->options(), IDM_REGISTER_PROGRAM) & MFS_GRAYED;
    };

    SelectItem(program->treeItem);
    EXPECT_EQ(program, SelectedNode);
    EXPECT_EQ(kSampleName, StatusText(0));
    EXPECT_EQ(0u, registerState());

    SelectItem(RootNode->treeItem);
    EXPECT_EQ(RootNode.get(), SelectedNode);
    EXPECT_EQ("", StatusText(0));
    EXPECT_EQ(static_cast<UINT>(MFS_GRAYED), registerState());

    ASSERT_TRUE(ClickExpandButton(program->treeItem));
    ASSERT_EQ(1u, program->children.size());
    WindowNode* document = program->children.begin()->second.get();
    SelectItem(document->treeItem);
    EXPECT_EQ(document, SelectedNode);
    EXPECT_EQ("", StatusText(0));

    // A program whose file cannot be read says so, and cannot be registered.
    const UiText path = program->modulePath;
    program->modulePath.clear();
    SelectItem(program->treeItem);
    EXPECT_EQ(AnsiFromUi(kUnreadableProgramText), StatusText(0));
    EXPECT_EQ(static_cast<UINT>(MFS_GRAYED), registerState());
    program->modulePath = path;

    // A registered program cannot be registered again.
    SelectItem(RootNode->treeItem);
    SelectItem(program->treeItem);
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, AnsiFromUi(program->modulePath).c_str(),
                       AnsiFromUi(program->programName));
    RefreshPrograms();
    EXPECT_TRUE(program->registered);
    EXPECT_EQ(static_cast<UINT>(MFS_GRAYED), registerState());
}

TEST_F(TreeTest, ExpandingListsDocumentsThatFollowTheirTitlesWhileShown) {
    WindowNode* program = StartEditor("Report Notes Letter");
    ASSERT_NE(nullptr, program);

    ASSERT_TRUE(ClickExpandButton(program->treeItem));
    EXPECT_TRUE(ItemExpanded(program->treeItem));
    EXPECT_TRUE(program->itemState & TVIS_EXPANDED);
    ASSERT_EQ(3u, program->children.size());
    std::vector<std::string> titles;
    for (WindowNode* document : ItemChildren(program->treeItem)) {
        ASSERT_NE(nullptr, document);
        EXPECT_TRUE(document->leaf);
        EXPECT_FALSE(document->dead);
        EXPECT_EQ(nullptr, document->container);
        // A document has no module path, and is not dead for it.
        EXPECT_TRUE(document->modulePath.empty());
        EXPECT_EQ(0, harness::ReadTreeItem(TreeView, document->treeItem).children);
        titles.push_back(ItemText(document->treeItem));
    }
    // In the platform's enumeration order, the Z order of the documents.
    std::vector<std::string> inZOrder;
    for (HWND document : Documents(editor.client)) inZOrder.push_back(harness::WindowText(document));
    EXPECT_EQ(inZOrder, titles);

    HWND report = DocumentTitled(editor.client, "Report");
    HWND notes = DocumentTitled(editor.client, "Notes");
    ASSERT_TRUE(report && notes);
    SetWindowTextA(report, "Report (edited)");
    Refresh(*RootNode);
    EXPECT_EQ("Report (edited)", ItemText(ChildNode(program, report)->treeItem));

    // Hidden in the tray: documents and item texts wait.
    ShowWindow(app->window(), SW_MINIMIZE);
    ASSERT_TRUE(MainWindowHidden);
    SetWindowTextA(report, "Report, third draft");
    PostMessageA(notes, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForDocuments(editor.client, 2));
    Refresh(*RootNode);
    ASSERT_NE(nullptr, ChildNode(program, report));
    EXPECT_EQ("Report (edited)", ItemText(ChildNode(program, report)->treeItem));
    EXPECT_NE(nullptr, ChildNode(program, notes));

    // Shown again: the next refresh catches up.
    SendMessageA(app->window(), WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
    ASSERT_FALSE(MainWindowHidden);
    Refresh(*RootNode);
    EXPECT_EQ("Report, third draft", ItemText(ChildNode(program, report)->treeItem));
    EXPECT_EQ(nullptr, ChildNode(program, notes));
    EXPECT_EQ(2u, ItemChildren(program->treeItem).size());

    // A title that becomes empty removes the document.
    SetWindowTextA(report, "");
    Refresh(*RootNode);
    EXPECT_EQ(nullptr, ChildNode(program, report));
    EXPECT_TRUE(TreeIsConsistent());
}

TEST_F(TreeTest, ExpandingByKeyboardGivesThePointerBack) {
    WindowNode* program = StartEditor("Report");
    ASSERT_NE(nullptr, program);
    SelectItem(program->treeItem);
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(arrow);
    SendMessageA(TreeView, WM_KEYDOWN, VK_ADD, 0);
    ASSERT_EQ(1u, program->children.size());
    EXPECT_EQ(arrow, GetCursor());
}

TEST_F(TreeTest, CollapsingDestroysDocumentsButNeverPrograms) {
    WindowNode* program = StartEditor("Report Notes");
    ASSERT_NE(nullptr, program);

    ASSERT_TRUE(ClickExpandButton(program->treeItem));
    ASSERT_EQ(2u, program->children.size());
    SelectItem(program->children.begin()->second->treeItem);

    ASSERT_TRUE(ClickExpandButton(program->treeItem));
    EXPECT_FALSE(ItemExpanded(program->treeItem));
    EXPECT_TRUE(program->children.empty());
    EXPECT_EQ(nullptr, harness::TreeChild(TreeView, program->treeItem));
    EXPECT_TRUE(TreeIsConsistent());
    // Collapsed, the program gains no documents at a refresh.
    Refresh(*RootNode);
    EXPECT_TRUE(program->children.empty());

    // Expanding again lists the documents anew.
    ASSERT_TRUE(ClickExpandButton(program->treeItem));
    EXPECT_EQ(2u, program->children.size());

    ASSERT_TRUE(ClickExpandButton(RootNode->treeItem));
    EXPECT_FALSE(ItemExpanded(RootNode->treeItem));
    EXPECT_EQ(program, ProgramNode(editor.frame));
    EXPECT_EQ(2u, program->children.size());
    // The root keeps refreshing: a closed program still goes.
    ASSERT_TRUE(EndAndRefresh(editor));
    EXPECT_EQ(nullptr, ProgramNode(editor.frame));
    EXPECT_TRUE(TreeIsConsistent());
}

TEST_F(TreeTest, ClosingTheSelectedProgramMovesTheSelection) {
    Sample first = StartSample("/frame:First /at:300,200,600,400 One Two");
    Sample second = StartSample("/frame:Second /at:340,240,600,400 Three");
    ASSERT_NE(nullptr, first.frame);
    ASSERT_NE(nullptr, second.frame);
    InProcessApp app;
    WindowNode* closing = ProgramNode(first.frame);
    ASSERT_NE(nullptr, closing);
    ASSERT_TRUE(ClickExpandButton(closing->treeItem));
    ASSERT_EQ(2u, closing->children.size());
    SelectItem(closing->treeItem);
    ASSERT_EQ(closing, SelectedNode);

    ASSERT_TRUE(EndAndRefresh(first));

    EXPECT_EQ(nullptr, ProgramNode(first.frame));
    EXPECT_EQ(1u, ItemChildren(RootNode->treeItem).size());
    EXPECT_TRUE(TreeIsConsistent());
    EXPECT_EQ(NodeOfItem(CaretItem()), SelectedNode);
    EXPECT_EQ(SelectedNode ? AnsiFromUi(SelectedNode->programName) : std::string(), StatusText(0));

    // A selected document whose program closes: the selection passes
    // through its siblings and its program, and ends on a live item.
    WindowNode* last = ProgramNode(second.frame);
    ASSERT_NE(nullptr, last);
    ASSERT_TRUE(ClickExpandButton(last->treeItem));
    ASSERT_EQ(1u, last->children.size());
    SelectItem(last->children.begin()->second->treeItem);
    ASSERT_TRUE(EndAndRefresh(second));
    EXPECT_TRUE(RootNode->children.empty());
    EXPECT_TRUE(TreeIsConsistent());
    EXPECT_EQ(NodeOfItem(CaretItem()), SelectedNode);
    EXPECT_EQ(SelectedNode ? AnsiFromUi(SelectedNode->programName) : std::string(), StatusText(0));
}

// Hidden in the tray, the tree keeps only its programs up to date; one that
// closes still leaves, and so do the references to it.
TEST_F(TreeTest, WhileHiddenAClosedProgramLeavesTheTree) {
    Sample editor = StartSample("/frame:Editor /at:300,200,600,400 One");
    ASSERT_NE(nullptr, editor.frame);
    InProcessApp app;
    WindowNode* program = ProgramNode(editor.frame);
    ASSERT_NE(nullptr, program);
    SelectItem(program->treeItem);
    TargetNode = program;
    ShowWindow(app.window(), SW_MINIMIZE);
    ASSERT_TRUE(MainWindowHidden);

    ASSERT_TRUE(EndAndRefresh(editor));
    EXPECT_EQ(nullptr, ProgramNode(editor.frame));
    EXPECT_EQ(nullptr, TargetNode);
    EXPECT_TRUE(TreeIsConsistent());
}

// A listed document that another program takes into its container is no
// longer the first program's, though its title is unchanged.
TEST_F(TreeTest, ADocumentMovedIntoAnotherProgramLeavesTheFirst) {
    Sample first = StartSample("/frame:First /at:300,200,600,400 One Two");
    Sample second = StartSample("/frame:Second /at:340,240,600,400 Three");
    ASSERT_NE(nullptr, first.frame);
    ASSERT_NE(nullptr, second.frame);
    InProcessApp app;
    WindowNode* program = ProgramNode(first.frame);
    ASSERT_NE(nullptr, program);
    ASSERT_TRUE(ClickExpandButton(program->treeItem));
    const HWND one = DocumentTitled(first.client, "One");
    ASSERT_NE(nullptr, ChildNode(program, one));

    SetParent(one, second.client);
    ASSERT_EQ(second.client, GetAncestor(one, GA_PARENT));
    Refresh(*RootNode);
    EXPECT_EQ(nullptr, ChildNode(program, one));
    EXPECT_EQ(1u, program->children.size());
    EXPECT_TRUE(TreeIsConsistent());
}

TEST_F(TreeTest, DestroyingTheTargetEmptiesTheStatusItShows) {
    Sample editor = StartSample("/frame:Editor /at:300,200,600,400 One");
    Sample other = StartSample("/frame:Other /at:340,240,600,400 Two");
    ASSERT_NE(nullptr, editor.frame);
    ASSERT_NE(nullptr, other.frame);
    InProcessApp app;
    auto setPart1 = [](const char* text) {
        SendMessageA(StatusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    };

    // Only selected: part 1 stays as it is.
    SelectItem(ProgramNode(other.frame)->treeItem);
    setPart1("working on it");
    ASSERT_TRUE(EndAndRefresh(other));
    EXPECT_EQ("working on it", StatusText(1));

    // Target and selected: both parts are emptied.
    WindowNode* target = ProgramNode(editor.frame);
    ASSERT_NE(nullptr, target);
    SelectItem(target->treeItem);
    ASSERT_EQ(kSampleName, StatusText(0));
    TargetNode = target;
    ASSERT_TRUE(EndAndRefresh(editor));
    EXPECT_EQ(nullptr, TargetNode);
    EXPECT_EQ("", StatusText(1));
    EXPECT_EQ("", StatusText(0));
    EXPECT_TRUE(TreeIsConsistent());
}

// Programs and documents come and go while the tree refreshes and the user
// selects, expands and collapses; no reference may outlive its node. The
// main window starts with no program running, so "desktop" stays collapsed
// (there was nothing to expand) and selecting a program makes the tree view
// expand it, which refreshes the programs in the middle of the selection.
TEST_F(TreeTest, NothingDanglesWhileProgramsAndDocumentsComeAndGo) {
    InProcessApp app;
    std::vector<Sample> samples;
    std::mt19937 random(20240611);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    auto allNodes = [] {
        std::set<WindowNode*> nodes;
        CollectNodes(RootNode.get(), nodes);
        return std::vector<WindowNode*>(nodes.begin(), nodes.end());
    };

    std::string ops;  // the steps taken, shown when one goes wrong
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE(step);
        const size_t op = pick(8);
        ops += std::to_string(op);
        switch (op) {
        case 0:
            if (samples.size() < 3) {
                const int at = 300 + 20 * static_cast<int>(samples.size());
                samples.push_back(StartSample("/frame:Busy /at:" + std::to_string(at) + "," +
                                              std::to_string(at - 100) + ",500,360 A B C"));
            }
            break;
        case 1:
            if (!samples.empty()) {
                const size_t i = pick(samples.size());
                PostMessageA(samples[i].frame, WM_COMMAND, SAMPLE_EXIT, 0);
                samples[i].process.WaitExit();
                samples.erase(samples.begin() + static_cast<std::ptrdiff_t>(i));
            }
            break;
        case 2:
            if (!samples.empty())
                PostMessageA(samples[pick(samples.size())].frame, WM_COMMAND, SAMPLE_NEW_DOC, 0);
            break;
        case 3:
            if (!samples.empty())
                PostMessageA(samples[pick(samples.size())].frame, WM_COMMAND, SAMPLE_CLOSE_DOC, 0);
            break;
        case 4: {
            const auto nodes = allNodes();
            WindowNode* node = nodes[pick(nodes.size())];
            if (node->treeItem) SelectItem(node->treeItem);
            break;
        }
        case 5: {
            const auto nodes = allNodes();
            TargetNode = nodes[pick(nodes.size())];
            break;
        }
        case 6: {
            if (RootNode->children.empty()) break;
            auto it = RootNode->children.begin();
            std::advance(it, static_cast<std::ptrdiff_t>(pick(RootNode->children.size())));
            if (it->second->treeItem && !it->second->dead) ClickExpandButton(it->second->treeItem);
            break;
        }
        default:
            Refresh(*RootNode);
            break;
        }
        harness::PumpFor(0);
        ASSERT_TRUE(TreeIsConsistent()) << ops;
    }
    for (Sample& sample : samples) PostMessageA(sample.frame, WM_COMMAND, SAMPLE_EXIT, 0);
    for (Sample& sample : samples) ASSERT_TRUE(sample.process.WaitExit());
    Refresh(*RootNode);
    EXPECT_TRUE(RootNode->children.empty());
    EXPECT_TRUE(TreeIsConsistent());
}

// Two programs with one title, each with two documents of one title: every
// node keeps its own window, its item, its place, the expansion and the
// selection, whichever twin lies on top.
TEST_F(TreeTest, TwinsKeepTheirItems) {
    Sample first = StartSample("/frame:Twin /at:320,220,500,360 Doc Doc");
    Sample second = StartSample("/frame:Twin /at:340,240,500,360 Doc Doc");
    ASSERT_TRUE(first.frame && second.frame);
    InProcessApp app;
    for (HWND frame : {first.frame, second.frame}) {
        ASSERT_NE(nullptr, ProgramNode(frame));
        ASSERT_TRUE(ClickExpandButton(ProgramNode(frame)->treeItem));
        ASSERT_EQ(2u, ProgramNode(frame)->children.size());
    }
    WindowNode* selected = ItemChildren(ProgramNode(second.frame)->treeItem).back();
    SelectItem(selected->treeItem);
    std::vector<HTREEITEM> items;
    CollectItems(nullptr, items);

    TreeViewSpy spy;
    for (int refresh = 0; refresh < 3; ++refresh) {
        // Each twin comes first in turn, frames and documents alike.
        const Sample& top = refresh % 2 ? first : second;
        SetWindowPos(top.frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(Documents(top.client).back(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Refresh(*RootNode);
    }
    EXPECT_TRUE(spy.inserted.empty());
    EXPECT_EQ(0, spy.deletes);
    std::vector<HTREEITEM> after;
    CollectItems(nullptr, after);
    EXPECT_EQ(items, after);
    EXPECT_EQ(selected, SelectedNode);
    EXPECT_TRUE(ItemExpanded(ProgramNode(first.frame)->treeItem));
    EXPECT_TRUE(TreeIsConsistent());
}

TEST_F(TreeTest, ProgramNamesComeFromTheVersionResource) {
    Sample plainVersion = StartSample("/frame:Plain /at:300,200,500,360 Doc");
    Sample second = StartSample("/frame:Second /at:310,210,500,360 Doc", HL_SAMPLE_MDI_V2);
    Sample noVersion = StartSample("/frame:Bare /at:320,220,500,360 Doc", HL_SAMPLE_MDI_NOVERSION);
    Sample language0 = StartSample("/frame:Zero /at:330,230,500,360 Doc", HL_SAMPLE_MDI_LANG0);
    Sample untranslated =
        StartSample("/frame:Untranslated /at:340,240,500,360 Doc", HL_SAMPLE_MDI_NOTRANSLATION);
    InProcessApp app;
    Refresh(*RootNode);

    struct Expected {
        HWND frame;
        const char* programName;
        WORD language;
        WORD codePage;
    };
    for (const Expected& expected :
         {Expected{plainVersion.frame, kSampleName, 0x0409, 1252},
          Expected{second.frame, "Sample MDI 2.0", 0x0409, 1252},
          // No resource: a blank for a name, and the node lives.
          Expected{noVersion.frame, " ", 0x0409, 1252},
          // A translation of 0/0 and no translation at all are both read as 040904e4.
          Expected{language0.frame, kSampleName, 0x0409, 1252},
          Expected{untranslated.frame, kSampleName, 0x0409, 1252}}) {
        WindowNode* node = ProgramNode(expected.frame);
        ASSERT_NE(nullptr, node) << expected.programName;
        SCOPED_TRACE(AnsiFromUi(node->windowText));
        EXPECT_EQ(expected.programName, AnsiFromUi(node->programName));
        EXPECT_FALSE(node->dead);
        EXPECT_EQ(expected.language, node->version.language);
        EXPECT_EQ(expected.codePage, node->version.codePage);
    }
    EXPECT_EQ(nullptr, ProgramNode(noVersion.frame)->version.buffer);
    SelectItem(ProgramNode(noVersion.frame)->treeItem);
    EXPECT_EQ(" ", StatusText(0));
}

// Registrations are matched on module path and program name, letter case
// ignored in both.
TEST_F(TreeTest, RegisteredProgramsAreRecognised) {
    WindowNode* program = StartEditor("Doc");
    ASSERT_NE(nullptr, program);
    EXPECT_FALSE(program->registered);

    std::string otherCase = AnsiFromUi(program->modulePath);
    CharUpperBuffA(&otherCase[0], static_cast<DWORD>(otherCase.size()));
    if (otherCase == AnsiFromUi(program->modulePath))
        CharLowerBuffA(&otherCase[0], static_cast<DWORD>(otherCase.size()));
    ASSERT_NE(otherCase, AnsiFromUi(program->modulePath));
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, otherCase.c_str(), "Sample MDI 0.9");
    program->CheckRegistered();
    EXPECT_FALSE(program->registered);

    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, otherCase.c_str(), "SAMPLE mdi 1.0");
    RefreshPrograms();
    EXPECT_TRUE(program->registered);

    harness::DeleteKeyTree(HKEY_CURRENT_USER, kRegisteredProgramsKey);
    RefreshPrograms();
    EXPECT_FALSE(program->registered);
}

// Discovery looks only at the windows that can pass the parent test
// (top-level windows for the desktop, the container's own children below a
// program) and tests the cheap things first. The tree must be exactly what
// the plain algorithm gives.
std::vector<plain::Child> TreeDiscovery(const WindowNode& node) {
    std::vector<plain::Child> children;
    for (WindowNode* child : ItemChildren(node.treeItem)) children.push_back({child->window, child->container});
    return children;
}

// The node's children found afresh and what the plain algorithm finds, at a
// moment when the windows' Z order holds still (programs that have just
// started may still be coming to the top).
std::vector<plain::Child> Rediscover(WindowNode& node) {
    std::vector<plain::Child> expected;
    harness::WaitUntil([&] {
        expected = plain::Discover(node);
        node.DeleteChildren();
        RefreshChildren(node);
        return plain::Discover(node) == expected;
    });
    return expected;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefFrameProcA(window, FindWindowExA(window, nullptr, "MDIClient", nullptr), message, wParam,
                         lParam);
}

// A frame of this process with an MDI client holding one captioned document.
HWND MakeMdiFrame(const char* title, DWORD style, HWND owner, int x) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA frameClass = {};
        frameClass.lpfnWndProc = FrameProc;
        frameClass.hInstance = GetModuleHandleA(nullptr);
        frameClass.lpszClassName = "TreeTestFrame";
        RegisterClassA(&frameClass);
        WNDCLASSA docClass = {};
        docClass.lpfnWndProc = DefMDIChildProcA;
        docClass.hInstance = GetModuleHandleA(nullptr);
        docClass.lpszClassName = "TreeTestDoc";
        RegisterClassA(&docClass);
        registered = true;
    }
    HWND frame = CreateWindowExA(0, "TreeTestFrame", title, style, x, 300, 300, 200, owner, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    CLIENTCREATESTRUCT create = {};
    create.idFirstChild = 100;
    HWND client = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  280, 150, frame, nullptr, GetModuleHandleA(nullptr), &create);
    CreateMDIWindowA("TreeTestDoc", "Inner", WS_VISIBLE, 0, 0, 150, 100, client,
                     GetModuleHandleA(nullptr), 0);
    return frame;
}

TEST_F(TreeTest, DiscoveryGivesTheTreeOfThePlainAlgorithm) {
    Sample editor = StartSample("/frame:Editor /at:300,200,500,360 One Two");
    Sample panel = StartSample("/frame:Panel /panel /at:320,220,500,360 Three Four");
    Sample plain = StartSample("/frame:Plain /plain /at:340,240,400,300");
    Sample bare = StartSample("/frame:Bare /at:360,260,400,300");  // an MDI client, no documents
    ASSERT_NE(nullptr, editor.frame);
    ASSERT_NE(nullptr, panel.frame);
    HWND owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
    HWND ownedFrame = MakeMdiFrame("Owned", WS_POPUP | WS_CAPTION | WS_VISIBLE, owner, 420);
    HWND hiddenFrame = MakeMdiFrame("Hidden", WS_OVERLAPPEDWINDOW, nullptr, 440);
    HWND ownFrame = MakeMdiFrame("Own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 460);

    InProcessApp app;
    const std::vector<plain::Child> programs = Rediscover(*RootNode);
    EXPECT_EQ(programs, TreeDiscovery(*RootNode));
    // What the plain algorithm found, to know the comparison covers it.
    std::set<HWND> found;
    for (const plain::Child& child : programs) found.insert(child.window);
    EXPECT_TRUE(found.count(editor.frame) && found.count(panel.frame) && found.count(bare.frame) &&
                found.count(ownFrame));
    EXPECT_FALSE(found.count(plain.frame) || found.count(ownedFrame) || found.count(hiddenFrame));

    for (HWND frame : {editor.frame, panel.frame, bare.frame, ownFrame}) {
        WindowNode* program = ProgramNode(frame);
        ASSERT_NE(nullptr, program);
        ASSERT_TRUE(ClickExpandButton(program->treeItem));
        EXPECT_EQ(Rediscover(*program), TreeDiscovery(*program)) << program->windowText;
    }
    EXPECT_EQ(2u, ProgramNode(panel.frame)->children.size());
    EXPECT_EQ(panel.client, ProgramNode(panel.frame)->container);

    // A refresh of the unchanged desktop changes nothing.
    Refresh(*RootNode);
    EXPECT_EQ(programs, TreeDiscovery(*RootNode));
    DestroyWindow(ownFrame);
    DestroyWindow(hiddenFrame);
    DestroyWindow(ownedFrame);
    DestroyWindow(owner);
}

// Where the plain algorithm and discovery differ: a window moved inside
// another without becoming a child window (no WS_CHILD) has no parent for
// GetParent. The plain walk would make it a program, whose look-up among the
// top-level windows then fails at every refresh, so its item would vanish
// and come back every two seconds. Discovery leaves it out.
TEST_F(TreeTest, AWindowMovedIntoAnotherIsNoProgram) {
    HWND host = CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 400,
                                300, nullptr, nullptr, nullptr, nullptr);
    HWND moved = MakeMdiFrame("Moved", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 420);
    SetParent(moved, host);
    ASSERT_EQ(nullptr, GetParent(moved));
    ASSERT_EQ(host, GetAncestor(moved, GA_PARENT));

    InProcessApp app;
    bool plainFindsIt = false;
    for (const plain::Child& child : plain::Discover(*RootNode)) plainFindsIt |= child.window == moved;
    EXPECT_TRUE(plainFindsIt);
    EXPECT_NE(moved, FindWindowExA(GetDesktopWindow(), nullptr, "TreeTestFrame", "Moved"));
    Refresh(*RootNode);
    EXPECT_EQ(nullptr, ProgramNode(moved));
    EXPECT_EQ(nullptr, ProgramNode(host));
    DestroyWindow(host);
}

// The frame's instance handle names no module: the program is known by its
// process's program file instead, listed by its title and kept.
TEST_F(TreeTest, AFrameNamingNoModuleIsKnownByItsProcess) {
    WindowNode* program = StartEditor("/badinstance Doc");
    ASSERT_NE(nullptr, program);
    EXPECT_FALSE(program->dead);
    EXPECT_EQ("Editor", ItemText(program->treeItem));
    EXPECT_EQ(0, lstrcmpiA(harness::WinPath(HL_SAMPLE_MDI).c_str(), AnsiFromUi(program->modulePath).c_str()))
        << AnsiFromUi(program->modulePath);
    EXPECT_EQ(kSampleName, AnsiFromUi(program->programName));

    TreeViewSpy spy;
    for (int refresh = 0; refresh < 3; ++refresh) Refresh(*RootNode);
    EXPECT_EQ(program, ProgramNode(editor.frame));
    EXPECT_TRUE(spy.inserted.empty());
    EXPECT_EQ(0, spy.deletes);
}

// Item texts pass through 260-character buffers: a longer title shows cut to
// 259 characters, and the item is not rewritten at every refresh for it.
TEST_F(TreeTest, LongTitlesAreCutOnceAndLeftAlone) {
    const std::string longTitle = "Long" + std::string(400, 'x') + "end";
    Sample editor = StartSample("\"/frame:" + longTitle + "\" /at:300,200,500,360 Doc");
    ASSERT_NE(nullptr, editor.frame);
    InProcessApp app;
    WindowNode* program = ProgramNode(editor.frame);
    ASSERT_NE(nullptr, program);
    EXPECT_EQ(longTitle, AnsiFromUi(program->windowText));
    EXPECT_EQ(longTitle.substr(0, 259), ItemText(program->treeItem));

    HWND document = Documents(editor.client).at(0);
    ASSERT_TRUE(ClickExpandButton(program->treeItem));
    TreeViewSpy spy;
    SetWindowTextA(document, longTitle.c_str());
    Refresh(*RootNode);
    EXPECT_EQ(1, spy.textsSet);
    EXPECT_EQ(longTitle.substr(0, 259), ItemText(ChildNode(program, document)->treeItem));
    spy.Clear();
    Refresh(*RootNode);
    Refresh(*RootNode);
    EXPECT_EQ(0, spy.textsSet);
    EXPECT_FALSE(program->dead);
}

TEST_F(TreeTest, ShutdownDeletesTheTreeBeforeTheImageList) {
    WindowNode* program = StartEditor("Doc");
    ASSERT_NE(nullptr, program);
    SelectItem(program->treeItem);
    TargetNode = program;
    SendMessageA(app->window(), WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(nullptr, RootNode);
    EXPECT_EQ(nullptr, SelectedNode);
    EXPECT_EQ(nullptr, TargetNode);
    EXPECT_EQ(nullptr, TreeImageList.get());
}

}  // namespace
