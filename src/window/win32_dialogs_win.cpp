// The operator's dialogs: message boxes, the one-line input dialog (built in
// memory, so the plug-in carries no dialog resource) and clipboard text.
#include <cstring>
#include <vector>

#include "window/win32_support_win.h"

namespace quorvel::win32 {
namespace {

enum : WORD { kPromptId = 100, kEditId = 101 };
enum : WORD { kButtonClass = 0x0080, kEditClass = 0x0081 };

// An in-memory DLGTEMPLATE with its items; sizes in dialog units.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short width, short height, WORD items, WORD pointSize, const std::wstring& face) {
    Dword(style | DS_SETFONT);
    Dword(0);  // extended style
    words_.push_back(items);
    Rect(0, 0, width, height);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    words_.push_back(0);  // title: set when the dialog starts
    words_.push_back(pointSize);
    Text(face);
  }

  void Item(DWORD style, short x, short y, short width, short height, WORD id, WORD windowClass,
            const std::wstring& text) {
    if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD boundary
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Rect(x, y, width, height);
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(windowClass);
    Text(text);
    words_.push_back(0);  // no creation data
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Dword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void Rect(short x, short y, short width, short height) {
    for (short v : {x, y, width, height}) words_.push_back(static_cast<WORD>(v));
  }
  void Text(const std::wstring& text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }

  std::vector<WORD> words_;
};

struct InputDialogState {
  std::wstring title;
  std::wstring prompt;
  std::wstring initial;
  std::wstring entered;
};

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

// Centred over the owner, kept on the owner's monitor.
void CenterOverOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  RECT box{}, area{};
  GetWindowRect(dialog, &box);
  if (owner) {
    GetWindowRect(owner, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  int width = box.right - box.left, height = box.bottom - box.top;
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
  }
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK InputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const auto* state = reinterpret_cast<const InputDialogState*>(lParam);
        SetWindowTextW(dialog, state->title.c_str());
        SetDlgItemTextW(dialog, kPromptId, state->prompt.c_str());
        HWND edit = GetDlgItem(dialog, kEditId);
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
        SetWindowTextW(edit, state->initial.c_str());
        CenterOverOwner(dialog);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        return FALSE;  // the focus is set
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          auto* state = reinterpret_cast<InputDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
          if (state) state->entered = WindowText(GetDlgItem(dialog, kEditId));
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        break;
      default:
        break;
    }
  } catch (...) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

// The dialog's font: the window's own, in points.
void DialogFont(WORD& pointSize, std::wstring& face) {
  pointSize = 9;
  face = L"MS Shell Dlg";
  LOGFONTW font{};
  if (!UiFont(font)) return;
  WindowDc screen(nullptr);
  int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
  if (font.lfHeight < 0 && dpi > 0) pointSize = static_cast<WORD>(MulDiv(-font.lfHeight, 72, dpi));
  if (font.lfFaceName[0]) face = font.lfFaceName;
}

bool PutOnClipboard(UINT format, const void* data, size_t bytes) {
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return false;
  void* target = GlobalLock(memory.Get());
  if (!target) return false;
  std::memcpy(target, data, bytes);
  GlobalUnlock(memory.Get());
  if (!SetClipboardData(format, memory.Get())) return false;
  memory.Release();  // the clipboard owns it now
  return true;
}

}  // namespace

bool ShowNotice(HWND owner, const std::string& title, const std::string& text, bool okCancel) {
  UINT style = MB_ICONINFORMATION | (okCancel ? MB_OKCANCEL : MB_OK);
  return MessageBoxW(owner, GbkToWide(text).c_str(), GbkToWide(title).c_str(), style) == IDOK;
}

std::optional<std::string> ShowTextInput(HWND owner, const std::string& title, const std::string& prompt,
                                         const std::string& initial) {
  WORD pointSize = 9;
  std::wstring face;
  DialogFont(pointSize, face);
  // The prompt is a borderless read-only edit box: it wraps long texts
  // without spaces (the product configuration line) and can be copied.
  DialogTemplate form(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 280, 92, 4, pointSize, face);
  form.Item(ES_MULTILINE | ES_READONLY, 7, 7, 266, 38, kPromptId, kEditClass, L"");
  form.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 50, 266, 14, kEditId, kEditClass, L"");
  form.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 163, 71, 50, 14, IDOK, kButtonClass, L"确定");
  form.Item(BS_PUSHBUTTON | WS_TABSTOP, 223, 71, 50, 14, IDCANCEL, kButtonClass, L"取消");

  InputDialogState state{GbkToWide(title), GbkToWide(prompt), GbkToWide(initial), L""};
  INT_PTR result = DialogBoxIndirectParamW(ThisModule(), form.Get(), owner, &InputDialogProc,
                                           reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return WideToGbk(state.entered);
}

bool WriteClipboardText(HWND owner, const std::string& gbk) {
  if (!owner) return false;  // without an owner, EmptyClipboard leaves nobody who may set data
  // Another program may hold the clipboard for a moment.
  bool open = false;
  for (int attempt = 0; attempt < 20 && !open; ++attempt) {
    open = OpenClipboard(owner) != FALSE;
    if (!open) Sleep(10);
  }
  if (!open) return false;
  EmptyClipboard();
  std::wstring wide = GbkToWide(gbk);
  bool ok = PutOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  // GBK for programs that read ANSI text, marked as Chinese (PRC) so a
  // system with another code page converts it right.
  PutOnClipboard(CF_TEXT, gbk.c_str(), gbk.size() + 1);
  LCID chinese = MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
  PutOnClipboard(CF_LOCALE, &chinese, sizeof chinese);
  CloseClipboard();
  return ok;
}

}  // namespace quorvel::win32
