#pragma once
// What the native window needs around the Win32 API: one owner per handle,
// GBK <-> UTF-16 for the W functions, the activation context that selects
// Common Controls 6, and the dialogs it shows (win32_dialogs_win.cpp).
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::win32 {

// Owns one handle and frees it with Free; null means none.
template <typename T, auto Free>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  T Get() const { return handle_; }
  explicit operator bool() const { return handle_ != T(); }
  // Gives up ownership (the handle now belongs to someone else).
  T Release() {
    T handle = handle_;
    handle_ = T();
    return handle;
  }
  void Reset(T handle = T()) {
    if (handle_ != T()) Free(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = T();
};

using UniqueMenu = UniqueHandle<HMENU, &::DestroyMenu>;
using UniqueFont = UniqueHandle<HFONT, &::DeleteObject>;
using UniqueBrush = UniqueHandle<HBRUSH, &::DeleteObject>;
using UniqueGlobal = UniqueHandle<HGLOBAL, &::GlobalFree>;
using UniqueActCtx = UniqueHandle<HANDLE, &::ReleaseActCtx>;
using UniqueModule = UniqueHandle<HMODULE, &::FreeLibrary>;

// A window's device context, released when the scope ends.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The texts of the plug-in are GBK whatever the system's code page, so every
// text crosses to the W functions through code page 936. Bytes that are not
// GBK, and characters GBK lacks, become replacement characters.
std::wstring GbkToWide(std::string_view gbk);
std::string WideToGbk(std::wstring_view wide);

// The module this code is linked into (the plug-in's DLL, or a test program).
HMODULE ThisModule();

// Common Controls 6 (visual styles) from the manifest embedded in this
// module as resource 2. A DLL's manifest is not active while its code runs,
// so controls and dialogs are made inside this context. Null when the
// module carries no manifest: the controls are then the classic ones.
UniqueActCtx CreateVisualStylesContext();

class ActivationScope {
 public:
  explicit ActivationScope(HANDLE context) {
    if (context && ActivateActCtx(context, &cookie_)) active_ = true;
  }
  ~ActivationScope() {
    if (active_) DeactivateActCtx(0, cookie_);
  }
  ActivationScope(const ActivationScope&) = delete;
  ActivationScope& operator=(const ActivationScope&) = delete;

 private:
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

// The font of every control and dialog: the system's message font, or a
// Chinese face of its size when it has no Chinese characters.
bool UiFont(LOGFONTW& font);
UniqueFont CreateMessageFont();

// A message box with the information icon; true only for OK.
bool ShowNotice(HWND owner, const std::string& title, const std::string& text, bool okCancel);
// A modal one-line input dialog: the prompt, an edit box holding `initial`,
// OK and Cancel. The entered text, or nothing when cancelled.
std::optional<std::string> ShowTextInput(HWND owner, const std::string& title, const std::string& prompt,
                                         const std::string& initial);
// Puts the text on the clipboard as Unicode and as GBK text; false when the
// clipboard could not be had.
bool WriteClipboardText(HWND owner, const std::string& gbk);

}  // namespace quorvel::win32
