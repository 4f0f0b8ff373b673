// Move-only owners for the USER, GDI and kernel objects the program creates,
// so no handle outlives its owner and none is released twice.
#pragma once
#include <windows.h>

#include <utility>

template <typename H, auto Release>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  H release() { return std::exchange(h_, nullptr); }
  void reset(H h = nullptr) {
    if (h_) Release(h_);
    h_ = h;
  }

 private:
  H h_ = nullptr;
};

using UniqueMenu = UniqueHandle<HMENU, &DestroyMenu>;
// A named function rather than a lambda, so that a class may hold one.
inline void DeleteRegion(HRGN h) { DeleteObject(h); }
using UniqueRegion = UniqueHandle<HRGN, &DeleteRegion>;
using UniqueKernelHandle = UniqueHandle<HANDLE, &CloseHandle>;
using UniqueModule = UniqueHandle<HMODULE, &FreeLibrary>;
using UniqueIcon = UniqueHandle<HICON, &DestroyIcon>;
using UniqueWinEventHook = UniqueHandle<HWINEVENTHOOK, &UnhookWinEvent>;
