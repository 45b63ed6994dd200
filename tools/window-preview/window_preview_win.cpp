// Shows the native management window with sample data and saves a picture of
// each page, of the card-key popup menu and of both dialogs, taken from the
// screen as the operator sees them (under wine and Xvfb for the screenshots).
//
//   window-preview --screenshots DIR   the pictures, as DIR/*.png
//   window-preview --show SECONDS      the window with sample data, for a look
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "png_writer.h"
#include "window/win32_controls.h"
#include "window/win32_support_win.h"
#include "window/window_layout.h"

namespace {

using namespace quorvel;
using win32::UniqueHandle;
using UniqueBitmap = UniqueHandle<HBITMAP, &::DeleteObject>;
using UniqueDc = UniqueHandle<HDC, &::DeleteDC>;

void Pump(int milliseconds) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    DWORD now = GetTickCount();
    if (static_cast<LONG>(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

// The screen's pixels in the area, as the operator sees them.
bool CaptureScreen(RECT area, const std::string& path) {
  int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  win32::WindowDc screen(nullptr);
  UniqueDc memory(CreateCompatibleDC(screen.Get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || !bits) return false;
  HGDIOBJ old = SelectObject(memory.Get(), bitmap.Get());
  BOOL copied = BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  SelectObject(memory.Get(), old);
  if (!copied) return false;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(bits) + stride * y;
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      pixel[0] = row[x * 3 + 2];
      pixel[1] = row[x * 3 + 1];
      pixel[2] = row[x * 3];
    }
  }
  bool written = preview::WritePng(path, width, height, rgb);
  std::printf("%s %s\n", written ? "saved" : "could not save", path.c_str());
  return written;
}

RECT Union(HWND a, HWND b) {
  RECT ra{}, rb{}, both{};
  GetWindowRect(a, &ra);
  if (!b || !GetWindowRect(b, &rb)) return ra;
  UnionRect(&both, &ra, &rb);
  return both;
}

HWND WaitForWindow(const wchar_t* windowClass, const std::wstring& title, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 50) {
    HWND found = FindWindowW(windowClass, title.empty() ? nullptr : title.c_str());
    if (found && IsWindowVisible(found)) return found;
    Sleep(50);
  }
  return nullptr;
}

// Something modal runs on this thread while a helper waits for its window,
// photographs it beside the main window and then closes it.
void CaptureModal(HWND mainWindow, const wchar_t* windowClass, const std::wstring& title, const std::string& path,
                  const std::function<void(HWND)>& close, const std::function<void()>& modal) {
  std::thread helper([&] {
    HWND found = WaitForWindow(windowClass, title, 5000);
    if (!found) {
      std::printf("no %ls window appeared\n", windowClass);
      return;
    }
    Sleep(500);  // let it paint
    CaptureScreen(Union(mainWindow, found), path);
    close(found);
  });
  modal();
  helper.join();
}

ListRows Numbered(std::vector<ListRow> rows) {
  for (size_t i = 0; i < rows.size(); ++i) rows[i].insert(rows[i].begin(), std::to_string(i + 1));
  return rows;
}

void FillSampleData(Controls& ui) {
  const std::string help =
      "【我的id】查询当前用户wxid\r\n【你的id】获取当前机器人wxid\r\n【查询积分】查询当前积分\r\n"
      "【充值】获取当前充值方式\r\n【菜单】获取当前活动列表\r\n\r\n请尝试直接发送小程序进行快速下单";
  ui.SetText("编辑框_添加好友回复", "你好，欢迎光临！\r\n\r\n" + help);
  ui.SetText("编辑框_帮助回复", help);
  ui.SetText("编辑框_充值回复", "支持转账充值和卡密充值\r\n购卡地址：【发卡地址】\r\n如打不开请复制到浏览器打开");
  ui.SetText("编辑框_订单开始回复",
             "创建订单成功!\r\n\r\n邀请码：【邀请码】\r\n订单名称：【订单名称】\r\n使用积分：【使用积分】\r\n"
             "剩余积分：【剩余积分】\r\n请稍后留意订单信息！");
  ui.SetText("编辑框_订单成功回复", "您的订单已完成！\r\n\r\n订单名称：【订单名称】\r\n订单邀请码：【邀请码】");
  ui.SetText("编辑框_订单失败回复", "您的订单已失败！\r\n\r\n订单名称：【订单名称】\r\n订单邀请码：【邀请码】");
  ui.SetText("编辑框_积分比例", "10");
  ui.SetText("编辑框_发卡地址", "https://shop.example/cards");
  ui.SetText("编辑框_管理员id", "wxid_admin");
  ui.SetText("编辑框_拉群关键词", "拉群");
  ui.SetText("编辑框_拉群ID", "12345@chatroom");
  ui.SetChecked("选择框_自动收款", true);
  ui.SetChecked("选择框_同意好友", true);

  ui.SetRows("超级列表框_用户", Numbered({{"wxid_a1b2c3d4", "小明", "120", "正常", ""},
                                          {"wxid_e5f6g7h8", "阿华", "0", "正常", ""},
                                          {"wxid_k9m8n7p6", "Lily", "3500", "正常", "老客户"},
                                          {"wxid_q5r4s3t2", "王五", "45", "正常", ""}}));
  ui.SetRows("超级列表框_商品",
             Numbered({{"1", "加速订单", "10", "pages/boost", "code", "已完成", "已失败", "邀请码：", "，",
                        "wxid_fulfil", "开启"},
                       {"2", "助力订单", "25", "pages/help", "inv", "成功", "失败", "码【", "】", "wxid_fulfil2",
                        "关闭"}}));
  ui.SetRows("超级列表框_卡密", Numbered({{"TOVUa8Kq2Zx9Lm3P", "100", "未使用", "", ""},
                                          {"TOVU7hT2pQe5Wc1R", "100", "已使用", "wxid_a1b2c3d4", "小明"},
                                          {"TOVUz3Nb6Yv0Ds8F", "50", "未使用", "", ""},
                                          {"TOVUm1Gj4Ku7Xo2E", "50", "未使用", "", ""}}));
  ui.SetRows("超级列表框_订单",
             Numbered({{"wxid_a1b2c3d4", "小明", "加速订单", "10", "ABC123", "已完成", "2024-05-01 12:00:00"},
                       {"wxid_k9m8n7p6", "Lily", "助力订单", "25", "XYZ789", "进行中", "2024-05-02 09:30:15"},
                       {"wxid_q5r4s3t2", "王五", "加速订单", "10", "QWE456", "已失败", "2024-05-02 18:45:02"}}));
}

int Screenshots(const std::string& directory) {
  Win32Controls ui;
  if (!ui.Create(ManagementWindowLayout())) {
    std::printf("the window could not be created\n");
    return 1;
  }
  FillSampleData(ui);
  ui.Show();
  auto window = static_cast<HWND>(ui.NativeWindow());
  SetForegroundWindow(window);
  Pump(1000);

  const char* pages[] = {"page0-settings", "page1-users", "page2-products", "page3-card-keys", "page4-orders"};
  bool ok = true;
  for (int page = 0; page < 5; ++page) {
    ui.OperateSelectPage(page);
    if (page == 2) ui.SetSelectedRow("超级列表框_商品", 0);
    Pump(500);
    RECT area{};
    GetWindowRect(window, &area);
    ok = CaptureScreen(area, directory + "/" + pages[page] + ".png") && ok;
  }

  // The card-key menu, opened by a real right click on the list, with its
  // "删除操作" submenu open.
  auto list = static_cast<HWND>(ui.NativeControl("超级列表框_卡密"));
  ui.OperateSelectPage(3);
  Pump(300);
  RECT listBox{};
  GetWindowRect(list, &listBox);
  POINT at{listBox.left + 200, listBox.top + 48};
  CaptureModal(
      window, L"#32768", L"", directory + "/menu-card-keys.png",
      [window](HWND) { PostMessageW(window, WM_CANCELMODE, 0, 0); },
      [&] {
        SetCursorPos(at.x, at.y);
        INPUT clicks[2] = {};
        clicks[0].type = clicks[1].type = INPUT_MOUSE;
        clicks[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
        clicks[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
        SendInput(2, clicks, sizeof(INPUT));
        // Walk to "删除操作" and open it once the menu is up.
        std::thread keys([window] {
          if (!WaitForWindow(L"#32768", L"", 5000)) return;
          for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT}) {
            PostMessageW(window, WM_KEYDOWN, key, 0);
            Sleep(60);
          }
        });
        Pump(2500);
        keys.join();
      });
  Pump(300);

  ui.OperateSelectPage(2);
  Pump(300);
  CaptureModal(
      window, L"#32770", L"一键配置", directory + "/input-dialog.png",
      [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); },
      [&] {
        ui.AskInput("一键配置",
                    "商品ID----商品名称----商品价格----小程序标识----邀请码参数----成功标识----失败标识----"
                    "邀请码左----邀请码右----对接wxid----状态",
                    "");
      });
  CaptureModal(
      window, L"#32770", L"系统提示", directory + "/message-box.png",
      [](HWND box) { PostMessageW(box, WM_COMMAND, IDCANCEL, 0); },
      [&] { ui.ShowMessage("系统提示", "确定要删除该商品吗？", MessageButtons::OkCancel); });
  ui.Destroy();
  return ok ? 0 : 1;
}

int ShowFor(int seconds) {
  Win32Controls ui;
  ui.SetEventHandler([&ui](const ControlEvent& event) {
    std::printf("event %d %s %d %s\n", static_cast<int>(event.kind), event.control.c_str(), event.index,
                event.item.c_str());
    if (event.kind == ControlEventKind::Click) ui.ShowMessage("系统提示", "按钮：" + event.control, MessageButtons::Ok);
  });
  if (!ui.Create(ManagementWindowLayout())) return 1;
  FillSampleData(ui);
  ui.Show();
  DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  while (ui.IsOpen() && static_cast<LONG>(end - GetTickCount()) > 0) Pump(100);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::string option = argc > 1 ? argv[1] : "";
    if (option == "--screenshots" && argc > 2) return Screenshots(argv[2]);
    if (option == "--show") return ShowFor(argc > 2 ? std::atoi(argv[2]) : 30);
    std::printf("usage: window-preview --screenshots DIR | --show SECONDS\n");
    return 2;
  } catch (...) {
    std::printf("window-preview failed\n");
    return 1;
  }
}
