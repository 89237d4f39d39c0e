// Helpers of the window tree tests: sample programs as separate processes,
// nodes of the in-process main window, a user's clicks on the tree view and
// a check that nodes, items and the process-wide references agree.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fixture.h"
#include "harness.h"
#include "in_process_app.h"
#include "window_node.h"

// The program name the sample program's version resource gives.
constexpr char kSampleName[] = "Sample MDI 1.0";

struct Sample {
    harness::Process process;
    HWND frame = nullptr;
    HWND client = nullptr;  // the MDI client, or the panel in /panel mode
};

// Document windows directly inside a container, in Z order.
inline std::vector<HWND> Documents(HWND client) {
    std::vector<HWND> documents;
    for (HWND w = FindWindowExA(client, nullptr, SAMPLE_DOC_CLASS, nullptr); w;
         w = FindWindowExA(client, w, SAMPLE_DOC_CLASS, nullptr))
        documents.push_back(w);
    return documents;
}

inline bool WaitForDocuments(HWND client, size_t count) {
    return harness::WaitUntil([&] { return Documents(client).size() == count; });
}

// Starts the sample program and waits until its frame and the documents
// named on its command line are there; frame is none when they are not.
inline Sample StartSample(const std::string& args, const char* exe = HL_SAMPLE_MDI) {
    size_t documents = 0;
    bool plain = false, panel = false;
    std::istringstream words(args);
    for (std::string word; words >> word;) {
        if (word[0] == '"') word.erase(0, 1);
        if (word == "/plain") plain = true;
        if (word == "/panel") panel = true;
        if (word[0] != '/') ++documents;
    }
    Sample sample;
    sample.process = harness::Process::Start(harness::WinPath(exe), args);
    sample.frame = harness::WaitForTopWindow(SAMPLE_FRAME_CLASS, nullptr, sample.process.id());
    if (!sample.frame || plain) return sample;
    // The frame is found while it is still making its children, and its bars
    // are panels too: look for the one container its mode makes.
    const char* container = panel ? SAMPLE_PANEL_CLASS : "MDIClient";
    harness::WaitUntil([&] {
        sample.client = FindWindowExA(sample.frame, nullptr, container, nullptr);
        return sample.client != nullptr;
    });
    if (!WaitForDocuments(sample.client, documents)) sample.frame = nullptr;
    return sample;
}

inline HWND DocumentTitled(HWND client, const std::string& title) {
    for (HWND w : Documents(client))
        if (harness::WindowText(w) == title) return w;
    return nullptr;
}

inline WindowNode* ChildNode(const WindowNode* parent, HWND window) {
    if (!parent) return nullptr;
    auto found = parent->children.find(window);
    return found == parent->children.end() ? nullptr : found->second.get();
}

inline WindowNode* ProgramNode(HWND frame) {
    return ChildNode(RootNode.get(), frame);
}

inline WindowNode* NodeOfItem(HTREEITEM item) {
    if (!item) return nullptr;
    TVITEMA query = {};
    query.mask = TVIF_HANDLE | TVIF_PARAM;
    query.hItem = item;
    if (!SendMessageA(TreeView, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query))) return nullptr;
    return reinterpret_cast<WindowNode*>(query.lParam);
}

inline HTREEITEM CaretItem() {
    return reinterpret_cast<HTREEITEM>(SendMessageA(TreeView, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

// The nodes of the item's children, in the tree view's order.
inline std::vector<WindowNode*> ItemChildren(HTREEITEM item) {
    std::vector<WindowNode*> nodes;
    for (const auto& info : harness::TreeChildren(TreeView, item))
        nodes.push_back(reinterpret_cast<WindowNode*>(info.param));
    return nodes;
}

inline std::string ItemText(HTREEITEM item) {
    return harness::ReadTreeItem(TreeView, item).text;
}

inline bool ItemExpanded(HTREEITEM item) {
    return (harness::ReadTreeItem(TreeView, item).state & TVIS_EXPANDED) != 0;
}

inline std::string StatusText(int part) {
    return harness::RemoteStatusText(StatusBar, part);
}

inline void SelectItem(HTREEITEM item) {
    SendMessageA(TreeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

// A mouse click on the item's expand button, as the user makes it (the tree
// view reports every such toggle; TVM_EXPAND reports only the first).
inline bool ClickExpandButton(HTREEITEM item) {
    SendMessageA(TreeView, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    // Showing a long text may have scrolled the buttons out of view.
    SendMessageA(TreeView, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    // TVM_GETITEMRECT takes the item in the rectangle's place.
    RECT row = {};
    std::memcpy(&row, &item, sizeof(item));
    if (!SendMessageA(TreeView, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row))) return false;
    const int y = (row.top + row.bottom) / 2;
    for (int x = 0; x < row.left; ++x) {
        TVHITTESTINFO hit = {};
        hit.pt = {x, y};
        SendMessageA(TreeView, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.hItem == item && (hit.flags & TVHT_ONITEMBUTTON)) {
            SendMessageA(TreeView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
            SendMessageA(TreeView, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
            return true;
        }
    }
    return false;
}

inline void CollectNodes(WindowNode* node, std::set<WindowNode*>& nodes) {
    nodes.insert(node);
    for (auto& child : node->children) CollectNodes(child.second.get(), nodes);
}

inline void CollectItems(HTREEITEM item, std::vector<HTREEITEM>& items) {
    for (HTREEITEM child = harness::TreeChild(TreeView, item); child;
         child = harness::TreeNext(TreeView, child)) {
        items.push_back(child);
        CollectItems(child, items);
    }
}

// Every node's item carries the node and sits under its parent's item;
// every item belongs to a live node; SelectedNode and TargetNode are live
// (or none) and SelectedNode is the tree view's selection (or the root,
// when nothing is selected).
inline ::testing::AssertionResult TreeIsConsistent() {
    if (!RootNode) return ::testing::AssertionFailure() << "no root";
    std::set<WindowNode*> nodes;
    CollectNodes(RootNode.get(), nodes);
    for (WindowNode* node : nodes) {
        for (auto& child : node->children)
            if (child.second->parent != node || child.first != child.second->window)
                return ::testing::AssertionFailure() << "child link broken";
        if (!node->treeItem) continue;
        if (NodeOfItem(node->treeItem) != node)
            return ::testing::AssertionFailure() << "item does not carry its node";
        const HTREEITEM parentItem = reinterpret_cast<HTREEITEM>(SendMessageA(
            TreeView, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(node->treeItem)));
        const HTREEITEM expected = node->parent ? node->parent->treeItem : nullptr;
        if (parentItem != expected) return ::testing::AssertionFailure() << "item under another parent";
    }
    std::vector<HTREEITEM> items;
    CollectItems(nullptr, items);
    for (HTREEITEM item : items)
        if (!nodes.count(NodeOfItem(item)))
            return ::testing::AssertionFailure() << "item of a destroyed node";
    if (SelectedNode && !nodes.count(SelectedNode))
        return ::testing::AssertionFailure() << "SelectedNode dangles";
    if (TargetNode && !nodes.count(TargetNode))
        return ::testing::AssertionFailure() << "TargetNode dangles";
    // With nothing selected the monitoring tick takes the root for the
    // selection, without selecting its item.
    const bool rootForNothing = SelectedNode == RootNode.get() && !CaretItem();
    if (SelectedNode && SelectedNode != NodeOfItem(CaretItem()) && !rootForNothing)
        return ::testing::AssertionFailure() << "SelectedNode is not the selection";
    return ::testing::AssertionSuccess();
}

// Records what the main window asks of its tree view.
class TreeViewSpy {
public:
    TreeViewSpy() {
        Current() = this;
        Original() = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(TreeView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    }
    ~TreeViewSpy() {
        if (IsWindow(TreeView))
            SetWindowLongPtrA(TreeView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Original()));
        Current() = nullptr;
    }
    TreeViewSpy(const TreeViewSpy&) = delete;
    TreeViewSpy& operator=(const TreeViewSpy&) = delete;

    void Clear() {
        inserted.clear();
        textsSet = 0;
        deletes = 0;
    }

    std::vector<HWND> inserted;  // windows of the inserted nodes
    int textsSet = 0;
    int deletes = 0;

private:
    static TreeViewSpy*& Current() {
        static TreeViewSpy* current = nullptr;
        return current;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        TreeViewSpy* spy = Current();
        // The NT family's core sends the wide forms, the 95 family's the
        // ANSI ones; their items carry lParam at the same place.
        if (spy && (message == TVM_INSERTITEMA || message == TVM_INSERTITEMW))
            spy->inserted.push_back(
                reinterpret_cast<WindowNode*>(reinterpret_cast<TVINSERTSTRUCTA*>(lParam)->item.lParam)
                    ->window);
        if (spy && (message == TVM_SETITEMA || message == TVM_SETITEMW)) ++spy->textsSet;
        if (spy && message == TVM_DELETEITEM) ++spy->deletes;
        return CallWindowProcA(Original(), window, message, wParam, lParam);
    }
    static WNDPROC& Original() {
        static WNDPROC original = nullptr;
        return original;
    }
};
