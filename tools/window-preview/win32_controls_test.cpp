// The native control layer on real Win32 controls (run under wine and Xvfb):
// the window as laid out, the operator's actions against the headless
// reference, real mouse clicks, dialogs, the clipboard and posted tasks.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwctype>
#include <functional>
#include <optional>
#include <thread>

#include "window/headless_backend.h"
#include "window/win32_controls.h"
#include "window/window_layout.h"

namespace quorvel {
namespace {

std::wstring Wide(const std::string& gbk) {
  if (gbk.empty()) return std::wstring();
  int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), n);
  return wide;
}

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The file of the module whose code draws the control, in lower case.
std::wstring CodeModule(HWND control) {
  auto procedure = reinterpret_cast<LPCWSTR>(GetWindowLongPtrW(control, GWLP_WNDPROC));
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, procedure,
                     &module);
  wchar_t path[MAX_PATH] = {};
  if (module) GetModuleFileNameW(module, path, MAX_PATH);
  std::wstring lower = path;
  for (wchar_t& ch : lower) ch = static_cast<wchar_t>(towlower(ch));
  return lower;
}

// Runs the thread's messages until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 3000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void Pump(int milliseconds) { PumpUntil([] { return false; }, milliseconds); }

HWND WaitForWindow(const wchar_t* windowClass, const wchar_t* title, int milliseconds = 5000) {
  for (int waited = 0; waited < milliseconds; waited += 20) {
    HWND found = FindWindowW(windowClass, title);
    if (found && IsWindowVisible(found)) return found;
    Sleep(20);
  }
  return nullptr;
}

std::string Describe(const ControlEvent& e) {
  return std::to_string(static_cast<int>(e.kind)) + "|" + e.control + "|" + std::to_string(e.index) + "|" + e.item;
}

ListRows SampleKeys() {
  return {{"1", "TOVUaaaaaaaaaaaa", "100", "未使用", "", ""},
          {"2", "TOVUbbbbbbbbbbbb", "100", "已使用", "wxid_a", "小明"},
          {"3", "TOVUcccccccccccc", "50", "未使用", "", ""}};
}

class Win32ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_.SetEventHandler([this](const ControlEvent& event) {
      events_.push_back(event);
      if (onEvent_) onEvent_(event);
    });
    ASSERT_TRUE(ui_.Create(ManagementWindowLayout()));
    ui_.Show();
    Pump(100);
  }

  HWND Window() const { return static_cast<HWND>(ui_.NativeWindow()); }
  HWND Control(const std::string& name) const { return static_cast<HWND>(ui_.NativeControl(name)); }
  HWND Tab() const { return GetParent(Control("超级列表框_卡密")); }

  Win32Controls ui_;
  std::vector<ControlEvent> events_;
  std::function<void(const ControlEvent&)> onEvent_;
};

TEST_F(Win32ControlsTest, WindowAndTabAreAsLaidOut) {
  const WindowLayout& layout = ManagementWindowLayout();
  HWND window = Window();
  EXPECT_EQ(TextOf(window), L"tovu转单插件 V1.0");
  RECT box{};
  GetWindowRect(window, &box);
  EXPECT_EQ(box.left, 50);
  EXPECT_EQ(box.top, 50);
  EXPECT_EQ(box.right - box.left, 935);
  EXPECT_EQ(box.bottom - box.top, 471);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(GetMenu(window), nullptr);  // the three menus are popups only

  HWND tab = Tab();
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(ClassOf(tab), WC_TABCONTROLW);
  EXPECT_EQ(GetParent(tab), window);
  RECT place{};
  GetWindowRect(tab, &place);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 4);
  EXPECT_EQ(place.top, 6);
  EXPECT_EQ(place.right - place.left, 922);
  EXPECT_EQ(place.bottom - place.top, 428);
  ASSERT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 5);
  for (int i = 0; i < 5; ++i) {
    wchar_t caption[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = 64;
    SendMessageW(tab, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(caption), Wide(layout.pageCaptions[i]));
  }
  EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(ui_.CurrentPage(), 0);
}

TEST_F(Win32ControlsTest, EveryControlSitsAtItsPlaceWithItsCaption) {
  const WindowLayout& layout = ManagementWindowLayout();
  HWND tab = Tab();
  for (const ControlSpec& design : layout.controls) {
    SCOPED_TRACE(design.name);
    HWND control = Control(design.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), tab);
    int x = design.x, y = design.y;
    if (const ControlSpec* group = layout.Find(design.parent)) {
      x += group->x;
      y += group->y;
    }
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, tab, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, x);
    EXPECT_EQ(place.top, y);
    if (design.width) {
      EXPECT_EQ(place.right - place.left, design.width);
    } else {
      EXPECT_GT(place.right - place.left, 0) << "a label as wide as its caption";
    }
    if (design.height && design.kind != ControlKind::ComboBox) {
      EXPECT_EQ(place.bottom - place.top, design.height);
    }
    EXPECT_EQ(IsWindowVisible(control) != FALSE, design.page == 0);
    EXPECT_NE(SendMessageW(control, WM_GETFONT, 0, 0), 0);

    // Visual styles: every control is the one of Common Controls 6, from
    // its side-by-side copy, not the classic one.
    std::wstring module = CodeModule(control);
    EXPECT_NE(module.find(L"common-controls"), std::wstring::npos) << std::string(module.begin(), module.end());

    LONG style = GetWindowLongW(control, GWL_STYLE);
    switch (design.kind) {
      case ControlKind::GroupBox:
        EXPECT_EQ(ClassOf(control), L"Button");
        EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
        EXPECT_EQ(TextOf(control), Wide(design.caption));
        break;
      case ControlKind::Label:
        EXPECT_EQ(ClassOf(control), L"Static");
        EXPECT_EQ(TextOf(control), Wide(design.caption));
        break;
      case ControlKind::Edit:
      case ControlKind::MultiLineEdit:
        EXPECT_EQ(ClassOf(control), L"Edit");
        EXPECT_EQ((style & ES_MULTILINE) != 0, design.kind == ControlKind::MultiLineEdit);
        EXPECT_EQ(TextOf(control), Wide(design.caption));
        break;
      case ControlKind::CheckBox:
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
        EXPECT_EQ(TextOf(control), Wide(design.caption));
        break;
      case ControlKind::Button:
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
        EXPECT_EQ(TextOf(control), Wide(design.caption));
        break;
      case ControlKind::ComboBox: {
        EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);
        ASSERT_EQ(SendMessageW(control, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(design.items.size()));
        for (size_t i = 0; i < design.items.size(); ++i) {
          wchar_t item[64] = {};
          SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
          EXPECT_EQ(std::wstring(item), Wide(design.items[i]));
        }
        EXPECT_EQ(SendMessageW(control, CB_GETCURSEL, 0, 0), design.selected);
        break;
      }
      case ControlKind::List: {
        EXPECT_EQ(ClassOf(control), WC_LISTVIEWW);
        EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
        EXPECT_TRUE(style & LVS_SINGLESEL);
        EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
        DWORD extended = static_cast<DWORD>(SendMessageW(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
        EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
        HWND header = reinterpret_cast<HWND>(SendMessageW(control, LVM_GETHEADER, 0, 0));
        ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(design.columns.size()));
        for (size_t i = 0; i < design.columns.size(); ++i) {
          wchar_t text[64] = {};
          LVCOLUMNW column{};
          column.mask = LVCF_TEXT | LVCF_WIDTH;
          column.pszText = text;
          column.cchTextMax = 64;
          SendMessageW(control, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
          EXPECT_EQ(std::wstring(text), Wide(design.columns[i].header));
          EXPECT_EQ(column.cx, design.columns[i].width);
        }
        break;
      }
    }
  }
}

TEST_F(Win32ControlsTest, PageSwitchShowsThePageBeforeItFires) {
  bool listShownWhenFired = false;
  onEvent_ = [this, &listShownWhenFired](const ControlEvent& event) {
    if (event.kind == ControlEventKind::PageChanged)
      listShownWhenFired = IsWindowVisible(Control("超级列表框_卡密")) != FALSE;
  };
  EXPECT_EQ(ui_.OperateSelectPage(3), "");
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, ControlEventKind::PageChanged);
  EXPECT_EQ(events_[0].index, 3);
  EXPECT_TRUE(listShownWhenFired);
  EXPECT_EQ(SendMessageW(Tab(), TCM_GETCURSEL, 0, 0), 3);
  for (const ControlSpec& design : ManagementWindowLayout().controls)
    EXPECT_EQ(IsWindowVisible(Control(design.name)) != FALSE, design.page == 3) << design.name;

  // The operator's own click on a tab arrives as TCN_SELCHANGE.
  RECT item{};
  SendMessageW(Tab(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(Tab(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(Tab(), WM_LBUTTONUP, 0, at);
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[1].index, 1);
  EXPECT_EQ(ui_.CurrentPage(), 1);
  EXPECT_TRUE(IsWindowVisible(Control("超级列表框_用户")));
  EXPECT_FALSE(IsWindowVisible(Control("超级列表框_卡密")));
}

// The same operator's actions on the headless backend and on the real
// window give the same answers, events and control states.
TEST(Win32ControlsReference, OperatorActionsMatchTheHeadlessBackend) {
  using Step = std::function<std::string(Controls&)>;
  const std::vector<Step> steps = {
      [](Controls& c) { return c.OperateSelectPage(5); },
      [](Controls& c) { return c.OperateSelectPage(-1); },
      [](Controls& c) { return c.OperateSelectPage(0); },
      [](Controls& c) { return c.OperateSelectPage(3); },
      [](Controls& c) { return c.OperateSetText("编辑框_卡密面额", "５0"); },
      [](Controls& c) { return c.OperateSetText("编辑框_添加好友回复", "第一行\r\n第二行【换行】"); },
      [](Controls& c) { return c.OperateSetText("按钮_生成卡密", "x"); },
      [](Controls& c) { return c.OperateSetText("不存在的控件", "x"); },
      [](Controls& c) { return c.OperateCheck("选择框_自动收款", true); },
      [](Controls& c) { return c.OperateCheck("编辑框_商品id", true); },
      [](Controls& c) { return c.OperateChoose("组合框_订单状态", 3); },
      [](Controls& c) { return c.OperateChoose("组合框_订单状态", 4); },
      [](Controls& c) { return c.OperateChoose("组合框_卡密状态", -1); },
      [](Controls& c) { return c.OperateChoose("组合框_卡密状态", 2); },
      [](Controls& c) { return c.OperateChoose("超级列表框_卡密", 0); },
      [](Controls& c) { return c.OperateSelectRow("超级列表框_卡密", 1); },
      [](Controls& c) { return c.OperateSelectRow("超级列表框_卡密", 3); },
      [](Controls& c) { return c.OperateSelectRow("超级列表框_卡密", -2); },
      [](Controls& c) { return c.OperateSelectRow("超级列表框_用户", 0); },
      [](Controls& c) { return c.OperateSelectRow("编辑框_商品id", 0); },
      [](Controls& c) { return c.OperateClick("按钮_查询卡密"); },
      [](Controls& c) { return c.OperateClick("选择框_同意好友"); },
      [](Controls& c) { return c.OperateMenu("超级列表框_卡密", "删除未使用"); },
      [](Controls& c) { return c.OperateMenu("超级列表框_卡密", "删除操作"); },
      [](Controls& c) { return c.OperateMenu("超级列表框_卡密", "刷新用户"); },
      [](Controls& c) { return c.OperateMenu("超级列表框_商品", "开启/关闭"); },
      [](Controls& c) { return c.OperateMenu("超级列表框_订单", "刷新卡密"); },
      [](Controls& c) { return c.OperateMenu("按钮_保存配置", "刷新卡密"); },
  };
  auto reads = [](Controls& c) {
    std::string out;
    for (const char* name : {"编辑框_卡密面额", "编辑框_添加好友回复", "编辑框_生成卡密数量", "透明标签21"})
      out += c.Text(name) + "|";
    out += std::to_string(c.Checked("选择框_自动收款")) + std::to_string(c.Checked("选择框_同意好友")) + "|";
    out += std::to_string(c.ComboIndex("组合框_订单状态")) + std::to_string(c.ComboIndex("组合框_卡密状态")) + "|";
    out += std::to_string(c.SelectedRow("超级列表框_卡密")) + std::to_string(c.RowCount("超级列表框_卡密")) + "|";
    for (const std::string& text : c.Row("超级列表框_卡密", 1)) out += text + ",";
    out += std::to_string(c.Row("超级列表框_卡密", 3).size()) + "|" + std::to_string(c.CurrentPage());
    return out;
  };
  auto run = [&](Controls& c, std::vector<std::string>& log) {
    c.SetEventHandler([&log](const ControlEvent& e) { log.push_back("event " + Describe(e)); });
    ASSERT_TRUE(c.Create(ManagementWindowLayout()));
    c.SetRows("超级列表框_卡密", SampleKeys());
    for (const Step& step : steps) log.push_back("answer " + step(c));
    log.push_back("reads " + reads(c));
    log.push_back("close " + c.OperateClose());
    log.push_back("open " + std::to_string(c.IsOpen()) + std::to_string(c.Has("编辑框_商品id")));
    log.push_back("again " + c.OperateClose());
    log.push_back("page " + c.OperateSelectPage(1));
    log.push_back("set " + c.OperateSetText("编辑框_商品id", "1"));
  };
  std::vector<std::string> headless, native;
  HeadlessControls reference;
  run(reference, headless);
  Win32Controls real;
  run(real, native);
  ASSERT_EQ(native.size(), headless.size());
  for (size_t i = 0; i < headless.size(); ++i) EXPECT_EQ(native[i], headless[i]) << "line " << i;
}

TEST_F(Win32ControlsTest, TextsCrossAsGbkAndShowAsChinese) {
  const std::string reply = "创建订单成功!\r\n\r\n邀请码：【邀请码】\r\n剩余积分：【剩余积分】";
  ui_.SetText("编辑框_订单开始回复", reply);
  EXPECT_EQ(ui_.Text("编辑框_订单开始回复"), reply);
  EXPECT_EQ(TextOf(Control("编辑框_订单开始回复")), L"创建订单成功!\r\n\r\n邀请码：【邀请码】\r\n剩余积分：【剩余积分】");
  EXPECT_EQ(SendMessageW(Control("编辑框_订单开始回复"), EM_GETLINECOUNT, 0, 0), 4);

  // Long texts are not cut at the edit box's default limit.
  std::string longText;
  for (int i = 0; i < 5000; ++i) longText += "一二三四五六七八九十\r\n";
  ui_.SetText("编辑框_帮助回复", longText);
  EXPECT_EQ(ui_.Text("编辑框_帮助回复"), longText);
  ui_.SetText("编辑框_管理员id", std::string(40000, 'x'));
  EXPECT_EQ(ui_.Text("编辑框_管理员id").size(), 40000u);

  // A character GBK lacks, typed by the operator, reads as a replacement.
  SetWindowTextW(Control("编辑框_拉群关键词"), L"拉群\U0001F600");
  std::string read = ui_.Text("编辑框_拉群关键词");
  EXPECT_EQ(read.substr(0, 4), "拉群");
  EXPECT_GT(read.size(), 4u);

  ui_.SetText("透明标签30", "本插件仅供学习交流使用");
  EXPECT_EQ(TextOf(Control("透明标签30")), L"本插件仅供学习交流使用");
}

TEST_F(Win32ControlsTest, ListsHoldOneTextPerColumnAndFillQuickly) {
  ui_.SetRows("超级列表框_卡密", {{"1", "TOVUshort"}, {"2", "a", "b", "c", "d", "e", "f", "extra"}});
  EXPECT_EQ(ui_.Row("超级列表框_卡密", 0), (ListRow{"1", "TOVUshort", "", "", "", ""}));
  EXPECT_EQ(ui_.Row("超级列表框_卡密", 1), (ListRow{"2", "a", "b", "c", "d", "e"}));
  ui_.SetSelectedRow("超级列表框_卡密", 1);
  ui_.AppendRow("超级列表框_卡密", {"3", std::string(1000, 'k')});
  EXPECT_EQ(ui_.Row("超级列表框_卡密", 2)[1], std::string(1000, 'k'));
  EXPECT_EQ(ui_.SelectedRow("超级列表框_卡密"), 1);
  ui_.ClearList("超级列表框_卡密");
  EXPECT_EQ(ui_.RowCount("超级列表框_卡密"), 0);
  EXPECT_EQ(ui_.SelectedRow("超级列表框_卡密"), -1);

  ListRows rows;
  for (int i = 0; i < 100000; ++i)
    rows.push_back({std::to_string(i + 1), "TOVU" + std::to_string(100000000 + i), "100", "未使用", "", ""});
  auto start = std::chrono::steady_clock::now();
  ui_.SetRows("超级列表框_卡密", rows);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("100,000 rows filled in %.2f s\n", seconds);
  EXPECT_LT(seconds, 20.0);
  EXPECT_EQ(ui_.RowCount("超级列表框_卡密"), 100000);
  HWND list = Control("超级列表框_卡密");
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 100000);
  // What the list view shows is what was set.
  wchar_t shown[64] = {};
  LVITEMW cell{};
  cell.iSubItem = 3;
  cell.pszText = shown;
  cell.cchTextMax = 64;
  SendMessageW(list, LVM_GETITEMTEXTW, 54321, reinterpret_cast<LPARAM>(&cell));
  EXPECT_EQ(std::wstring(shown), L"未使用");
  cell.iSubItem = 1;
  SendMessageW(list, LVM_GETITEMTEXTW, 54321, reinterpret_cast<LPARAM>(&cell));
  EXPECT_EQ(std::wstring(shown), Wide(rows[54321][1]));
  EXPECT_EQ(ui_.Row("超级列表框_卡密", 99999), rows[99999]);
  EXPECT_EQ(ui_.Rows("超级列表框_卡密"), rows);
  EXPECT_EQ(ui_.SelectedRow("超级列表框_卡密"), -1);
}

TEST_F(Win32ControlsTest, PostedTasksRunOnTheWindowThread) {
  const DWORD windowThread = GetCurrentThreadId();
  std::atomic<int> ran{0};
  std::atomic<int> elsewhere{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([&] {
      for (int i = 0; i < 500; ++i)
        ui_.Post([&] {
          if (GetCurrentThreadId() != windowThread) ++elsewhere;
          ++ran;
        });
    });
  }
  for (std::thread& worker : workers) worker.join();
  EXPECT_TRUE(PumpUntil([&] { return ran == 2000; }));
  EXPECT_EQ(elsewhere, 0);
  EXPECT_FALSE(ui_.RunPosted());

  // Without a message loop the window's thread runs them itself.
  std::thread([&] { ui_.Post([&] { ++ran; }); }).join();
  EXPECT_TRUE(ui_.RunPosted());
  EXPECT_EQ(ran, 2001);

  // Tasks still waiting when the window goes are dropped, and so are later ones.
  std::thread([&] { ui_.Post([&] { ++ran; }); }).join();
  ui_.Destroy();
  ui_.Post([&] { ++ran; });
  Pump(200);
  EXPECT_FALSE(ui_.RunPosted());
  EXPECT_EQ(ran, 2001);
}

TEST_F(Win32ControlsTest, RightClickOpensTheListMenuAtThePointer) {
  ui_.SetRows("超级列表框_卡密", SampleKeys());
  ui_.OperateSelectPage(3);
  SetForegroundWindow(Window());
  Pump(200);
  HWND list = Control("超级列表框_卡密");
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageW(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  POINT at{row.left + 80, (row.top + row.bottom) / 2};
  ClientToScreen(list, &at);
  SetCursorPos(at.x, at.y);

  RECT menuBox{};
  std::thread chooser([&] {
    HWND menu = WaitForWindow(L"#32768", nullptr);
    if (!menu) return;
    GetWindowRect(menu, &menuBox);
    Sleep(100);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {  // the second item: "复制卡密"
      PostMessageW(Window(), WM_KEYDOWN, key, 0);
      Sleep(50);
    }
  });
  INPUT click[2] = {};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  SendInput(2, click, sizeof(INPUT));
  bool chosen = PumpUntil([&] {
    for (const ControlEvent& e : events_)
      if (e.kind == ControlEventKind::MenuItem) return true;
    return false;
  });
  chooser.join();
  ASSERT_TRUE(chosen);
  const ControlEvent& item = events_.back();
  EXPECT_EQ(item.control, "超级列表框_卡密");
  EXPECT_EQ(item.item, "复制卡密");
  EXPECT_EQ(menuBox.left, at.x + 3);
  EXPECT_EQ(menuBox.top, at.y + 3);
  EXPECT_EQ(ui_.SelectedRow("超级列表框_卡密"), 2) << "the list selects the row it was clicked on";
}

TEST_F(Win32ControlsTest, MessageBoxesAnswerOkOnlyForOk) {
  struct Case {
    MessageButtons buttons;
    int press;
    bool expected;
  };
  for (const Case& c : {Case{MessageButtons::OkCancel, IDOK, true}, Case{MessageButtons::OkCancel, IDCANCEL, false},
                        Case{MessageButtons::Ok, IDOK, true}}) {
    HWND owner = nullptr;
    std::wstring text;
    std::thread operator_([&] {
      HWND box = WaitForWindow(L"#32770", L"系统提示");
      if (!box) return;
      owner = GetWindow(box, GW_OWNER);
      text = TextOf(GetDlgItem(box, 0xFFFF));
      PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(c.press), 0);
    });
    bool answer = ui_.ShowMessage("系统提示", "确定要删除选中的卡密吗？", c.buttons);
    operator_.join();
    EXPECT_EQ(answer, c.expected);
    EXPECT_EQ(owner, Window());
    EXPECT_EQ(text, L"确定要删除选中的卡密吗？");
  }
}

TEST_F(Win32ControlsTest, InputDialogReturnsTheTypedLineOrNothing) {
  const std::string prompt = "商品ID----商品名称----商品价格";
  std::wstring initial, shownPrompt;
  std::thread operator_([&] {
    HWND dialog = WaitForWindow(L"#32770", L"一键配置");
    if (!dialog) return;
    HWND edit = GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (ClassOf(child) == L"Edit" && (GetWindowLongW(child, GWL_STYLE) & ES_READONLY)) shownPrompt = TextOf(child);
      if (ClassOf(child) == L"Edit" && !(GetWindowLongW(child, GWL_STYLE) & ES_READONLY)) edit = child;
    }
    initial = TextOf(edit);
    SetWindowTextW(edit, L"5----新商品----30");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  std::optional<std::string> typed = ui_.AskInput("一键配置", prompt, "旧文本");
  operator_.join();
  ASSERT_TRUE(typed.has_value());
  EXPECT_EQ(*typed, "5----新商品----30");
  EXPECT_EQ(initial, L"旧文本");
  EXPECT_EQ(shownPrompt, Wide(prompt));

  std::thread canceller([&] {
    HWND dialog = WaitForWindow(L"#32770", L"请输入：");
    if (dialog) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(ui_.AskInput("请输入：", "数量", "1").has_value());
  canceller.join();
}

TEST_F(Win32ControlsTest, ResponderAnswersInsteadOfTheDialogs) {
  std::vector<UiReport> shown;
  ui_.SetUiResponder([&shown](const UiReport& report) {
    shown.push_back(report);
    return UiAnswer{true, "回答"};
  });
  // No dialog window appears: these return at once.
  EXPECT_TRUE(ui_.ShowMessage("系统提示", "请选择要删除的商品。", MessageButtons::Ok));
  EXPECT_EQ(ui_.AskInput("一键配置", "提示", ""), std::optional<std::string>("回答"));
  ui_.SetClipboardText("TOVUab12CD34ef56");
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, "请选择要删除的商品。");
  EXPECT_EQ(shown[2].kind, UiReport::Kind::Clipboard);
}

TEST_F(Win32ControlsTest, ClipboardHoldsUnicodeAndGbkText) {
  const std::string text = "1----加速订单----10";
  ui_.SetClipboardText(text);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE unicode = GetClipboardData(CF_UNICODETEXT);
  std::wstring wide = unicode ? static_cast<const wchar_t*>(GlobalLock(unicode)) : L"";
  if (unicode) GlobalUnlock(unicode);
  HANDLE ansi = GetClipboardData(CF_TEXT);
  std::string gbk = ansi ? static_cast<const char*>(GlobalLock(ansi)) : "";
  if (ansi) GlobalUnlock(ansi);
  CloseClipboard();
  EXPECT_EQ(wide, L"1----加速订单----10");
  EXPECT_EQ(gbk, text);
}

TEST_F(Win32ControlsTest, ClosingByTheOperatorDestroysTheWindowAndReopens) {
  HWND window = Window();
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, ControlEventKind::Closed);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(ui_.IsOpen());
  EXPECT_EQ(ui_.OperateClose(), "the window is closed");

  // Opened again: a new window on page 0 with empty lists.
  ASSERT_TRUE(ui_.Create(ManagementWindowLayout()));
  EXPECT_TRUE(ui_.IsOpen());
  EXPECT_EQ(ui_.CurrentPage(), 0);
  EXPECT_EQ(ui_.RowCount("超级列表框_卡密"), 0);
  EXPECT_TRUE(GetWindowLongW(Control("编辑框_积分比例"), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(ui_.OperateClick("按钮_保存配置"), "");
  EXPECT_EQ(Describe(events_.back()), Describe({ControlEventKind::Click, "按钮_保存配置", -1, ""}));
}

}  // namespace
}  // namespace quorvel
