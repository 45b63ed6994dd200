#pragma once
// The operator's management window: five pages over the control layer, the
// creation sequence, the page switch and the routing of every button, combo
// box and popup-menu item to its page.
#include <functional>
#include <memory>
#include <string>

#include "window/card_keys_page.h"
#include "window/controls.h"
#include "window/orders_page.h"
#include "window/page_context.h"
#include "window/products_page.h"
#include "window/settings_page.h"
#include "window/users_page.h"
#include "window/workers.h"

namespace quorvel {

class ManagementWindow {
 public:
  // An empty export directory means the host program's directory.
  explicit ManagementWindow(std::unique_ptr<Controls> controls, std::string exportDirectory = "");
  // Waits for the window's workers; what they had left to show is dropped.
  ~ManagementWindow();
  ManagementWindow(const ManagementWindow&) = delete;
  ManagementWindow& operator=(const ManagementWindow&) = delete;

  // Builds the controls, opens the database, loads the settings into page 0
  // and shows the window on page 0 with every list empty.
  void Create();
  bool IsOpen() const;
  void BringToFront();

  Controls& Ui() { return *ui_; }
  // Waits for the workers started so far and runs, on this (the window's)
  // thread, what they handed back; repeats until nothing is left.
  void Settle();

  // Carries out one protocol "window" line (UTF-8 JSON) as an operator would,
  // settles, and answers with a UTF-8 JSON object: {"ret":"done"}, a read
  // result, or {"error":...}.
  std::string Drive(const std::string& lineJson);

  void OnEvent(const ControlEvent& event);
  // Runs after the operator has closed the window.
  void SetOnClosed(std::function<void()> onClosed) { onClosed_ = std::move(onClosed); }

 private:
  void OnPageChanged(int index);
  std::string Read(const std::string& control) const;

  std::unique_ptr<Controls> ui_;
  Workers workers_;
  PageContext context_;
  SettingsPage settings_;
  UsersPage users_;
  ProductsPage products_;
  CardKeysPage cardKeys_;
  OrdersPage orders_;
  std::function<void()> onClosed_;
};

// Menu: opens the window, or brings the open one to the front. On the
// simulator's host the window registers its driver and reports its dialogs.
void OpenManagementWindow();
// Closes the open window, if any (unload).
void CloseManagementWindow();
// The window Menu opened, or nullptr; for tests on the window's thread.
ManagementWindow* OpenedManagementWindow();

}  // namespace quorvel
