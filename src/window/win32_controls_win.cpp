#include "window/win32_controls.h"

// windows.h after the control layer: no member of Controls is named after one
// of its macros.
#include "window/win32_support_win.h"

#include <commctrl.h>

#include <algorithm>
#include <deque>
#include <iterator>
#include <map>
#include <mutex>
#include <vector>

namespace quorvel {
namespace {

using namespace win32;

constexpr wchar_t kWindowClass[] = L"QuorvelManagementWindow";
constexpr wchar_t kImplProperty[] = L"Quorvel.Controls";
constexpr wchar_t kTabProcProperty[] = L"Quorvel.TabProc";
constexpr UINT kRunPostedMessage = WM_APP + 0x51;
constexpr UINT kMenuCommandMessage = WM_APP + 0x52;
constexpr int kTabId = 900;
constexpr int kFirstControlId = 1000;
// A drop-down list's window includes its list: its height when dropped.
constexpr int kComboListHeight = 160;

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

SIZE CaptionSize(HWND window, HFONT font, const std::wstring& text) {
  WindowDc dc(window);
  SIZE size{0, 0};
  if (!dc.Get()) return size;
  HGDIOBJ old = SelectObject(dc.Get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  RECT box{0, 0, 0, 0};
  DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc.Get(), old);
  size.cx = box.right + 2;
  size.cy = box.bottom;
  return size;
}

// A list holds its rows itself and the list view asks for the texts it
// shows (LVS_OWNERDATA): 100,000 rows are taken in at once instead of one
// window message per cell.
class RedrawSuspended {
 public:
  explicit RedrawSuspended(HWND window) : window_(window) { SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }
  ~RedrawSuspended() {
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
  }
  RedrawSuspended(const RedrawSuspended&) = delete;
  RedrawSuspended& operator=(const RedrawSuspended&) = delete;

 private:
  HWND window_;
};

// The command of the menu item with this text, at any depth; 0 when none.
UINT FindMenuCommand(HMENU menu, const std::wstring& text) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t label[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = label;
    info.cch = static_cast<UINT>(std::size(label));
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.hSubMenu) {
      if (UINT command = FindMenuCommand(info.hSubMenu, text)) return command;
    } else if (text == label) {
      return info.wID;
    }
  }
  return 0;
}

using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);

}  // namespace

struct Win32Controls::Impl {
  struct Control {
    const ControlSpec* design = nullptr;
    HWND window = nullptr;
    int id = 0;
    bool autoSize = false;  // a label as large as its caption
    ListRows rows;          // lists: one text per column in every row
  };
  struct PopupMenu {
    const MenuSpec* design = nullptr;
    UniqueMenu menu;
  };
  struct MenuCommand {
    std::string list;
    std::string item;
  };

  explicit Impl(Win32Controls& backend) : owner(backend) {}

  Win32Controls& owner;
  const WindowLayout* layout = nullptr;
  HWND window = nullptr;
  HWND tab = nullptr;
  DWORD thread = 0;
  int page = 0;
  UniqueActCtx styles;
  UniqueFont font;
  UniqueModule uxtheme;
  DrawThemeParentBackgroundFn drawParentBackground = nullptr;
  std::map<std::string, Control> controls;
  std::map<int, std::string> names;  // by control id
  std::vector<PopupMenu> menus;
  std::map<UINT, MenuCommand> commands;
  bool clickArrived = false;

  // Tasks handed over by other threads.
  std::mutex mutex;
  std::deque<std::function<void()>> posted;
  bool accepting = false;  // false once the window is gone
  bool signalled = false;  // a kRunPostedMessage is on its way

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  bool Create(const WindowLayout& windowLayout);
  bool CreateControl(const ControlSpec& design, int id);
  void BuildMenus();
  void AddMenuItems(HMENU menu, const std::vector<MenuItemSpec>& items, const std::string& list, UINT& next);
  void Destroy();
  void Forget();

  const Control* Find(const std::string& name, std::initializer_list<ControlKind> kinds) const;
  Control* Find(const std::string& name, std::initializer_list<ControlKind> kinds) {
    return const_cast<Control*>(static_cast<const Impl*>(this)->Find(name, kinds));
  }
  std::string Missing(const std::string& what, const std::string& name) const;
  const Control* ById(int id) const;

  void SelectPage(int index);
  void OnCommand(int id, int code);
  LRESULT OnListNotify(const Control& list, NMHDR* header);
  void OnRightClick(const std::string& list);
  void OnMenuCommand(UINT command);
  void OnOperatorClose();
  bool PaintBehind(HWND control, HDC dc);
  bool RunPosted();
  void FireEvent(const ControlEvent& event) { owner.Fire(event); }
};

// --- window procedures ------------------------------------------------------

LRESULT CALLBACK Win32Controls::Impl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (impl) {
      switch (message) {
        case WM_NOTIFY: {
          const auto* header = reinterpret_cast<const NMHDR*>(lParam);
          if (header->hwndFrom == impl->tab && header->code == TCN_SELCHANGE) {
            impl->SelectPage(static_cast<int>(SendMessageW(impl->tab, TCM_GETCURSEL, 0, 0)));
            return 0;
          }
          break;
        }
        case WM_CLOSE:
          impl->OnOperatorClose();
          return 0;
        case kRunPostedMessage:
          impl->RunPosted();
          return 0;
        case kMenuCommandMessage:
          impl->OnMenuCommand(static_cast<UINT>(wParam));
          return 0;
        case WM_NCDESTROY:
          SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
          impl->Forget();
          break;
        default:
          break;
      }
    }
  } catch (...) {
    // Nothing may throw into the system; the operator's action is dropped.
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The controls are children of the tab control, so their notifications
// arrive here; the tab control's own procedure sees everything else.
LRESULT CALLBACK Win32Controls::Impl::TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto original = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kTabProcProperty));
  if (!original) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    auto* impl = static_cast<Impl*>(GetPropW(hwnd, kImplProperty));
    if (impl) {
      switch (message) {
        case WM_COMMAND:
          if (lParam && impl->ById(LOWORD(wParam))) {
            impl->OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
          }
          break;
        case WM_NOTIFY: {
          auto* header = reinterpret_cast<NMHDR*>(lParam);
          const Control* control = impl->ById(static_cast<int>(header->idFrom));
          if (control && control->window == header->hwndFrom) return impl->OnListNotify(*control, header);
          break;
        }
        case WM_CTLCOLORSTATIC: {
          const Control* control = impl->ById(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
          if (control && (control->design->kind == ControlKind::Label || control->design->kind == ControlKind::CheckBox) &&
              impl->PaintBehind(control->window, reinterpret_cast<HDC>(wParam))) {
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
          }
          break;
        }
        default:
          break;
      }
    }
    if (message == WM_NCDESTROY) {
      RemovePropW(hwnd, kImplProperty);
      RemovePropW(hwnd, kTabProcProperty);
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    }
  } catch (...) {
    return 0;
  }
  return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

// Labels and check boxes show the tab control's own background through them:
// the tab paints itself into the control's DC before the control draws text.
bool Win32Controls::Impl::PaintBehind(HWND control, HDC dc) {
  if (!drawParentBackground) return false;
  return SUCCEEDED(drawParentBackground(control, dc, nullptr));
}

// --- creation -----------------------------------------------------------------

bool Win32Controls::Impl::Create(const WindowLayout& windowLayout) {
  layout = &windowLayout;
  thread = GetCurrentThreadId();
  page = 0;
  styles = CreateVisualStylesContext();
  ActivationScope activation(styles.Get());

  INITCOMMONCONTROLSEX common{};
  common.dwSize = sizeof common;
  common.dwICC = ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&common);
  font = CreateMessageFont();
  uxtheme.Reset(LoadLibraryW(L"uxtheme.dll"));
  drawParentBackground = uxtheme ? reinterpret_cast<DrawThemeParentBackgroundFn>(reinterpret_cast<void*>(
                                       GetProcAddress(uxtheme.Get(), "DrawThemeParentBackground")))
                                 : nullptr;

  HINSTANCE instance = ThisModule();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  // Fixed size, no owner: the host's own windows stay usable beside it.
  HWND created = CreateWindowExW(0, kWindowClass, GbkToWide(layout->title).c_str(),
                                 WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, layout->x,
                                 layout->y, layout->width, layout->height, nullptr, nullptr, instance, this);
  if (!created) return false;
  window = created;

  // Not WS_CLIPCHILDREN: the tab paints its background under the labels.
  tab = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, layout->tabX,
                        layout->tabY, layout->tabWidth, layout->tabHeight, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabId)), instance, nullptr);
  if (!tab) return false;
  SendMessageW(tab, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
  for (size_t i = 0; i < layout->pageCaptions.size(); ++i) {
    std::wstring caption = GbkToWide(layout->pageCaptions[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(tab, TCM_SETCURSEL, 0, 0);
  LONG_PTR tabProc = GetWindowLongPtrW(tab, GWLP_WNDPROC);
  SetPropW(tab, kTabProcProperty, reinterpret_cast<HANDLE>(tabProc));
  SetPropW(tab, kImplProperty, this);
  SetWindowLongPtrW(tab, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TabProc));

  bool complete = true;
  int id = kFirstControlId;
  for (const ControlSpec& design : layout->controls) complete = CreateControl(design, id++) && complete;
  // A child made earlier lies above those made later; a group box must lie
  // below what it frames, or it clips them away.
  for (const auto& entry : controls) {
    if (entry.second.design->kind == ControlKind::GroupBox)
      SetWindowPos(entry.second.window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  BuildMenus();
  {
    std::lock_guard<std::mutex> lock(mutex);
    posted.clear();
    accepting = true;
    signalled = false;
  }
  return complete;
}

bool Win32Controls::Impl::CreateControl(const ControlSpec& design, int id) {
  int x = design.x, y = design.y, width = design.width, height = design.height;
  // Places inside a group box count from its corner; the group box is a
  // sibling below its contents, as in a dialog.
  if (!design.parent.empty()) {
    if (const ControlSpec* group = layout->Find(design.parent)) {
      x += group->x;
      y += group->y;
    }
  }
  std::wstring caption = GbkToWide(design.caption);
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (design.page == page ? WS_VISIBLE : 0);
  DWORD exStyle = 0;
  const wchar_t* windowClass = L"STATIC";
  bool autoSize = false;
  switch (design.kind) {
    case ControlKind::GroupBox:
      windowClass = L"BUTTON";
      style |= BS_GROUPBOX;
      break;
    case ControlKind::Label:
      style |= SS_LEFT | SS_NOPREFIX;
      if (width == 0 && height == 0) {
        SIZE size = CaptionSize(window, font.Get(), caption);
        width = size.cx;
        height = size.cy;
        autoSize = true;
      }
      break;
    case ControlKind::Edit:
      windowClass = L"EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::MultiLineEdit:
      windowClass = L"EDIT";
      style |= WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::CheckBox:
      windowClass = L"BUTTON";
      style |= BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
    case ControlKind::ComboBox:
      windowClass = WC_COMBOBOXW;
      style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
      height += kComboListHeight;
      break;
    case ControlKind::Button:
      windowClass = L"BUTTON";
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::List:
      windowClass = WC_LISTVIEWW;
      style |= LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_OWNERDATA | WS_TABSTOP;
      exStyle = WS_EX_CLIENTEDGE;
      break;
  }
  HWND control = CreateWindowExW(exStyle, windowClass, caption.c_str(), style, x, y, width, height, tab,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  if (!control) return false;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
  switch (design.kind) {
    case ControlKind::Edit:
    case ControlKind::MultiLineEdit:
      SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // reply texts may be long
      break;
    case ControlKind::ComboBox:
      for (const std::string& item : design.items)
        SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GbkToWide(item).c_str()));
      SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(design.selected), 0);
      break;
    case ControlKind::List: {
      DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP;
      SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
      for (size_t i = 0; i < design.columns.size(); ++i) {
        std::wstring header = GbkToWide(design.columns[i].header);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = design.columns[i].width;
        column.pszText = header.data();
        column.iSubItem = static_cast<int>(i);
        SendMessageW(control, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
      }
      break;
    }
    default:
      break;
  }
  controls[design.name] = Control{&design, control, id, autoSize, {}};
  names[id] = design.name;
  return true;
}

void Win32Controls::Impl::BuildMenus() {
  UINT next = 1;  // TrackPopupMenu answers 0 for "nothing chosen"
  for (const MenuSpec& design : layout->menus) {
    UniqueMenu popup(CreatePopupMenu());
    if (!popup) continue;
    AddMenuItems(popup.Get(), design.items, design.list, next);
    menus.push_back(PopupMenu{&design, std::move(popup)});
  }
}

void Win32Controls::Impl::AddMenuItems(HMENU menu, const std::vector<MenuItemSpec>& items, const std::string& list,
                                        UINT& next) {
  for (const MenuItemSpec& item : items) {
    std::wstring text = GbkToWide(item.text);
    if (item.items.empty()) {
      UINT command = next++;
      if (AppendMenuW(menu, MF_STRING, command, text.c_str())) commands[command] = MenuCommand{list, item.text};
      continue;
    }
    UniqueMenu submenu(CreatePopupMenu());
    if (!submenu) continue;
    AddMenuItems(submenu.Get(), item.items, list, next);
    if (AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.Get()), text.c_str()))
      submenu.Release();  // destroyed with its parent menu
  }
}

// --- closing --------------------------------------------------------------------

void Win32Controls::Impl::Destroy() {
  {
    std::lock_guard<std::mutex> lock(mutex);
    accepting = false;
    posted.clear();
  }
  HWND closing = window;
  if (closing && GetCurrentThreadId() == thread) {
    DestroyWindow(closing);  // Forget() runs on its WM_NCDESTROY
    UnregisterClassW(kWindowClass, ThisModule());
  } else if (closing) {
    // Only the window's own thread can destroy it: cut it loose from this
    // object and let that thread close it. Its font stays alive with it.
    SetWindowLongPtrW(closing, GWLP_USERDATA, 0);
    if (tab) RemovePropW(tab, kImplProperty);
    PostMessageW(closing, WM_CLOSE, 0, 0);
    font.Release();
    Forget();
  }
  menus.clear();
  commands.clear();
  font.Reset();
  drawParentBackground = nullptr;
  uxtheme.Reset();
  styles.Reset();
}

// The window is gone (or no longer ours): forget its handles.
void Win32Controls::Impl::Forget() {
  {
    std::lock_guard<std::mutex> lock(mutex);
    accepting = false;
    posted.clear();
  }
  window = nullptr;
  tab = nullptr;
  controls.clear();
  names.clear();
}

void Win32Controls::Impl::OnOperatorClose() {
  Destroy();
  FireEvent({ControlEventKind::Closed, "", -1, ""});
}

// --- lookups ----------------------------------------------------------------------

const Win32Controls::Impl::Control* Win32Controls::Impl::Find(const std::string& name,
                                                              std::initializer_list<ControlKind> kinds) const {
  auto it = controls.find(name);
  if (it == controls.end()) return nullptr;
  if (kinds.size() && std::find(kinds.begin(), kinds.end(), it->second.design->kind) == kinds.end()) return nullptr;
  return &it->second;
}

std::string Win32Controls::Impl::Missing(const std::string& what, const std::string& name) const {
  return controls.count(name) ? name + " is not " + what : "no control " + name;
}

const Win32Controls::Impl::Control* Win32Controls::Impl::ById(int id) const {
  auto it = names.find(id);
  if (it == names.end()) return nullptr;
  auto control = controls.find(it->second);
  return control == controls.end() ? nullptr : &control->second;
}

// --- events ---------------------------------------------------------------------------

// The page's controls are shown before the page switch runs, so it sees them.
void Win32Controls::Impl::SelectPage(int index) {
  if (index < 0 || index == page) return;
  page = index;
  for (const auto& entry : controls) {
    const Control& control = entry.second;
    ShowWindow(control.window, control.design->page == index ? SW_SHOWNA : SW_HIDE);
  }
  HWND focus = GetFocus();
  if (focus && IsChild(window, focus) && !IsWindowVisible(focus)) SetFocus(tab);
  // Group boxes draw no background: the whole page is drawn afresh, or the
  // controls of the page left behind would still show inside them.
  RedrawWindow(tab, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  FireEvent({ControlEventKind::PageChanged, layout->tabName, index, ""});
}

void Win32Controls::Impl::OnCommand(int id, int code) {
  const Control* control = ById(id);
  if (!control) return;
  const ControlSpec& design = *control->design;
  if (design.kind == ControlKind::Button && code == BN_CLICKED) {
    clickArrived = true;
    FireEvent({ControlEventKind::Click, design.name, -1, ""});
  } else if (design.kind == ControlKind::ComboBox && code == CBN_SELCHANGE) {
    int index = static_cast<int>(SendMessageW(control->window, CB_GETCURSEL, 0, 0));
    FireEvent({ControlEventKind::ComboChosen, design.name, index, ""});
  }
}

LRESULT Win32Controls::Impl::OnListNotify(const Control& list, NMHDR* header) {
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
      if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
      std::wstring text;
      if (item.iItem >= 0 && static_cast<size_t>(item.iItem) < list.rows.size()) {
        const ListRow& row = list.rows[static_cast<size_t>(item.iItem)];
        if (item.iSubItem >= 0 && static_cast<size_t>(item.iSubItem) < row.size())
          text = GbkToWide(row[static_cast<size_t>(item.iSubItem)]);
      }
      size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax) - 1);
      text.copy(item.pszText, length);
      item.pszText[length] = L'\0';
      return 0;
    }
    case LVN_ODFINDITEMW:
      return -1;  // no typing to find a row
    case NM_RCLICK:
      OnRightClick(list.design->name);
      return 0;
    default:
      return 0;
  }
}

// The list has already selected what the click hit; the menu opens just
// right of and below the pointer. The chosen item is handled once the list
// has finished with the click, since the handler may refill the list.
void Win32Controls::Impl::OnRightClick(const std::string& list) {
  for (const PopupMenu& popup : menus) {
    if (popup.design->list != list) continue;
    POINT cursor{};
    GetCursorPos(&cursor);
    UINT command = static_cast<UINT>(TrackPopupMenu(popup.menu.Get(),
                                                    TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                                    cursor.x + 3, cursor.y + 3, 0, window, nullptr));
    if (command) PostMessageW(window, kMenuCommandMessage, command, 0);
    return;
  }
}

void Win32Controls::Impl::OnMenuCommand(UINT command) {
  auto it = commands.find(command);
  if (it == commands.end()) return;
  MenuCommand chosen = it->second;  // the handler may close the window, which forgets the commands
  FireEvent({ControlEventKind::MenuItem, chosen.list, -1, chosen.item});
}

bool Win32Controls::Impl::RunPosted() {
  bool ran = false;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (posted.empty() || !accepting) {
        signalled = false;
        break;
      }
      task = std::move(posted.front());
      posted.pop_front();
    }
    task();
    ran = true;
  }
  return ran;
}

// --- Win32Controls ------------------------------------------------------------------------

Win32Controls::Win32Controls() : impl_(std::make_unique<Impl>(*this)) {}

Win32Controls::~Win32Controls() {
  try {
    impl_->Destroy();
  } catch (...) {
  }
}

bool Win32Controls::Create(const WindowLayout& layout) {
  if (impl_->window) impl_->Destroy();
  impl_->Create(layout);
  // A control that could not be made leaves the rest of the window usable.
  return impl_->window && impl_->tab;
}

void Win32Controls::Show() {
  if (!impl_->window) return;
  ShowWindow(impl_->window, SW_SHOWNORMAL);
  UpdateWindow(impl_->window);
}

void Win32Controls::BringToFront() {
  HWND window = impl_->window;
  if (!window) return;
  ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(window);
  BringWindowToTop(window);
}

void Win32Controls::Destroy() { impl_->Destroy(); }

bool Win32Controls::IsOpen() const { return impl_->window != nullptr; }

void* Win32Controls::NativeWindow() const { return impl_->window; }

void* Win32Controls::NativeControl(const std::string& control) const {
  const Impl::Control* c = impl_->Find(control, {});
  return c ? c->window : nullptr;
}

bool Win32Controls::Has(const std::string& control) const { return impl_->controls.count(control) != 0; }

std::string Win32Controls::Text(const std::string& control) const {
  const Impl::Control* c = impl_->Find(control, {});
  return c ? WideToGbk(WindowText(c->window)) : std::string();
}

void Win32Controls::SetText(const std::string& control, const std::string& text) {
  const Impl::Control* c = impl_->Find(control, {});
  if (!c) return;
  std::wstring wide = GbkToWide(text);
  SetWindowTextW(c->window, wide.c_str());
  if (c->autoSize) {
    SIZE size = CaptionSize(c->window, impl_->font.Get(), wide);
    SetWindowPos(c->window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool Win32Controls::Checked(const std::string& control) const {
  const Impl::Control* c = impl_->Find(control, {ControlKind::CheckBox});
  return c && SendMessageW(c->window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Controls::SetChecked(const std::string& control, bool checked) {
  if (const Impl::Control* c = impl_->Find(control, {ControlKind::CheckBox}))
    SendMessageW(c->window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32Controls::ComboIndex(const std::string& control) const {
  const Impl::Control* c = impl_->Find(control, {ControlKind::ComboBox});
  if (!c) return -1;
  LRESULT index = SendMessageW(c->window, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32Controls::SetComboIndex(const std::string& control, int index) {
  const Impl::Control* c = impl_->Find(control, {ControlKind::ComboBox});
  if (c && index >= -1 && index < static_cast<int>(SendMessageW(c->window, CB_GETCOUNT, 0, 0)))
    SendMessageW(c->window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32Controls::CurrentPage() const { return impl_->page; }

void Win32Controls::ClearList(const std::string& list) {
  Impl::Control* c = impl_->Find(list, {ControlKind::List});
  if (!c) return;
  SendMessageW(c->window, LVM_DELETEALLITEMS, 0, 0);  // the selection goes too
  c->rows.clear();
}

// A row holds exactly one text per column, as the report view shows it.
void Win32Controls::AppendRow(const std::string& list, const ListRow& texts) {
  Impl::Control* c = impl_->Find(list, {ControlKind::List});
  if (!c) return;
  c->rows.push_back(texts);
  c->rows.back().resize(c->design->columns.size());
  SendMessageW(c->window, LVM_SETITEMCOUNT, c->rows.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void Win32Controls::SetRows(const std::string& list, ListRows rows) {
  Impl::Control* c = impl_->Find(list, {ControlKind::List});
  if (!c) return;
  for (ListRow& row : rows) row.resize(c->design->columns.size());
  RedrawSuspended quiet(c->window);
  SendMessageW(c->window, LVM_DELETEALLITEMS, 0, 0);
  c->rows = std::move(rows);
  SendMessageW(c->window, LVM_SETITEMCOUNT, c->rows.size(), 0);
}

int Win32Controls::RowCount(const std::string& list) const {
  const Impl::Control* c = impl_->Find(list, {ControlKind::List});
  return c ? static_cast<int>(c->rows.size()) : 0;
}

ListRow Win32Controls::Row(const std::string& list, int row) const {
  const Impl::Control* c = impl_->Find(list, {ControlKind::List});
  if (!c || row < 0 || static_cast<size_t>(row) >= c->rows.size()) return {};
  return c->rows[static_cast<size_t>(row)];
}

ListRows Win32Controls::Rows(const std::string& list) const {
  const Impl::Control* c = impl_->Find(list, {ControlKind::List});
  return c ? c->rows : ListRows();
}

int Win32Controls::SelectedRow(const std::string& list) const {
  const Impl::Control* c = impl_->Find(list, {ControlKind::List});
  if (!c) return -1;
  return static_cast<int>(SendMessageW(c->window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Win32Controls::SetSelectedRow(const std::string& list, int row) {
  const Impl::Control* c = impl_->Find(list, {ControlKind::List});
  if (!c || row < -1 || row >= RowCount(list)) return;
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = 0;
  SendMessageW(c->window, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  if (row < 0) return;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(c->window, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  SendMessageW(c->window, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void Win32Controls::Post(std::function<void()> task) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (!impl_->accepting) return;
  impl_->posted.push_back(std::move(task));
  // One wake-up at a time: a busy worker must not fill the message queue.
  if (!impl_->signalled) impl_->signalled = PostMessageW(impl_->window, kRunPostedMessage, 0, 0) != FALSE;
}

bool Win32Controls::RunPosted() {
  bool ran = impl_->RunPosted();
  // Let the window show what the tasks changed.
  MSG message;
  while (impl_->window && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT))
    DispatchMessageW(&message);
  return ran;
}

// --- the operator's actions ------------------------------------------------------------------

std::string Win32Controls::OperateSelectPage(int index) {
  if (!impl_->window) return "the window is closed";
  if (index < 0 || index >= static_cast<int>(impl_->layout->pageCaptions.size()))
    return "no page " + std::to_string(index);
  // A click on the current tab changes nothing and fires nothing.
  if (index == impl_->page) return "";
  SendMessageW(impl_->tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  impl_->SelectPage(index);
  return "";
}

std::string Win32Controls::OperateSetText(const std::string& control, const std::string& text) {
  const Impl::Control* c = impl_->Find(control, {ControlKind::Edit, ControlKind::MultiLineEdit});
  if (!c) return impl_->Missing("an edit box", control);
  std::wstring wide = GbkToWide(text);
  SendMessageW(c->window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  return "";
}

std::string Win32Controls::OperateCheck(const std::string& control, bool checked) {
  const Impl::Control* c = impl_->Find(control, {ControlKind::CheckBox});
  if (!c) return impl_->Missing("a check box", control);
  SendMessageW(c->window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  return "";
}

std::string Win32Controls::OperateChoose(const std::string& control, int index) {
  const Impl::Control* c = impl_->Find(control, {ControlKind::ComboBox});
  if (!c) return impl_->Missing("a combo box", control);
  if (index < 0 || index >= static_cast<int>(SendMessageW(c->window, CB_GETCOUNT, 0, 0)))
    return control + " has no item " + std::to_string(index);
  SendMessageW(c->window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // CB_SETCURSEL notifies nobody; a choice from the list would.
  SendMessageW(impl_->tab, WM_COMMAND, MAKEWPARAM(c->id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c->window));
  return "";
}

std::string Win32Controls::OperateSelectRow(const std::string& list, int row) {
  const Impl::Control* c = impl_->Find(list, {ControlKind::List});
  if (!c) return impl_->Missing("a list", list);
  if (row < -1 || row >= RowCount(list)) return list + " has no row " + std::to_string(row);
  SetSelectedRow(list, row);
  return "";
}

std::string Win32Controls::OperateClick(const std::string& button) {
  const Impl::Control* c = impl_->Find(button, {ControlKind::Button});
  if (!c) return impl_->Missing("a button", button);
  HWND window = c->window;
  int id = c->id;
  impl_->clickArrived = false;
  SendMessageW(window, BM_CLICK, 0, 0);
  // A button of an inactive window may ignore BM_CLICK; its click is still
  // delivered the way the button itself would.
  if (!impl_->clickArrived && impl_->tab)
    SendMessageW(impl_->tab, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window));
  return "";
}

std::string Win32Controls::OperateMenu(const std::string& list, const std::string& item) {
  if (!impl_->Find(list, {ControlKind::List})) return impl_->Missing("a list", list);
  const MenuSpec* menu = impl_->layout ? impl_->layout->MenuOf(list) : nullptr;
  if (!menu) return list + " has no popup menu";
  if (!MenuHasAction(*menu, item)) return menu->name + " has no item " + item;
  // The item is looked up in the real popup menu and handled as if chosen
  // there; the menu itself is not shown (it would wait for a mouse).
  for (const Impl::PopupMenu& popup : impl_->menus) {
    if (popup.design != menu) continue;
    UINT command = FindMenuCommand(popup.menu.Get(), GbkToWide(item));
    if (!command) break;
    impl_->OnMenuCommand(command);
    return "";
  }
  return menu->name + " has no item " + item;
}

std::string Win32Controls::OperateClose() {
  if (!impl_->window) return "the window is closed";
  SendMessageW(impl_->window, WM_CLOSE, 0, 0);
  return "";
}

// --- dialogs ----------------------------------------------------------------------------------------

bool Win32Controls::DoShowMessage(const std::string& title, const std::string& text, MessageButtons buttons) {
  ActivationScope activation(impl_->styles.Get());
  return ShowNotice(impl_->window, title, text, buttons == MessageButtons::OkCancel);
}

std::optional<std::string> Win32Controls::DoAskInput(const std::string& title, const std::string& prompt,
                                                     const std::string& initial) {
  ActivationScope activation(impl_->styles.Get());
  return ShowTextInput(impl_->window, title, prompt, initial);
}

void Win32Controls::DoWriteClipboard(const std::string& text) { WriteClipboardText(impl_->window, text); }

}  // namespace quorvel
