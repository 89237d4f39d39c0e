// Small move-only owners for the system handles the programs create.
#pragma once

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <commctrl.h>

#include <utility>

template <typename T, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T value) : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const { return value_; }
    bool valid() const { return Traits::Valid(value_); }
    explicit operator bool() const { return valid(); }
    // For out-parameters: releases what is held and hands out the slot.
    T* put() {
        reset();
        return &value_;
    }
    T release() {
        T v = value_;
        value_ = Traits::Invalid();
        return v;
    }
    void reset(T value = Traits::Invalid()) {
        if (Traits::Valid(value_)) Traits::Close(value_);
        value_ = value;
    }

private:
    T value_ = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
// CreateFileA reports failure as INVALID_HANDLE_VALUE; both count as empty.
using ScopedHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool Valid(HKEY k) { return k != nullptr; }
    static void Close(HKEY k) { RegCloseKey(k); }
};
using ScopedRegKey = UniqueHandle<HKEY, RegKeyTraits>;

struct UsKeyTraits {
    static HUSKEY Invalid() { return nullptr; }
    static bool Valid(HUSKEY k) { return k != nullptr; }
    static void Close(HUSKEY k) { SHRegCloseUSKey(k); }
};
using ScopedUsKey = UniqueHandle<HUSKEY, UsKeyTraits>;

struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static bool Valid(HICON i) { return i != nullptr; }
    static void Close(HICON i) { DestroyIcon(i); }
};
using ScopedIcon = UniqueHandle<HICON, IconTraits>;

struct FontTraits {
    static HFONT Invalid() { return nullptr; }
    static bool Valid(HFONT f) { return f != nullptr; }
    static void Close(HFONT f) { DeleteObject(f); }
};
using ScopedFont = UniqueHandle<HFONT, FontTraits>;

struct ImageListTraits {
    static HIMAGELIST Invalid() { return nullptr; }
    static bool Valid(HIMAGELIST l) { return l != nullptr; }
    static void Close(HIMAGELIST l) { ImageList_Destroy(l); }
};
using ScopedImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;

// An item-id list that the shell allocated (SHBrowseForFolderA,
// SHGetSpecialFolderLocation), given back through the shell's allocator:
// on Windows 95 and 98 that is not the one CoTaskMemFree uses.
struct ItemIdListTraits {
    static LPITEMIDLIST Invalid() { return nullptr; }
    static bool Valid(LPITEMIDLIST list) { return list != nullptr; }
    static void Close(LPITEMIDLIST list) {
        IMalloc* allocator = nullptr;
        if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
            allocator->Free(list);
            allocator->Release();
        }
    }
};
using ScopedItemIdList = UniqueHandle<LPITEMIDLIST, ItemIdListTraits>;

// Owner of one COM interface pointer.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComRef() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (p_) {
            p_->Release();
            p_ = nullptr;
        }
    }

private:
    T* p_ = nullptr;
};

// COM on this thread for as long as it lives; undone only where it was
// done (it may have been done before, by someone else).
class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (initialized_) CoUninitialize();
    }

private:
    bool initialized_;
};
