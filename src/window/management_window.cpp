#include "window/management_window.h"

#include "platform/files.h"
#include "storage/database.h"
#include "window/window_layout.h"

namespace quorvel {

ManagementWindow::ManagementWindow(std::unique_ptr<Controls> controls, std::string exportDirectory)
    : ui_(std::move(controls)),
      context_{*ui_, workers_, exportDirectory.empty() ? ExecutableDirectory() : std::move(exportDirectory)},
      settings_(context_),
      users_(context_),
      products_(context_),
      cardKeys_(context_),
      orders_(context_) {
  ui_->SetEventHandler([this](const ControlEvent& event) { OnEvent(event); });
}

ManagementWindow::~ManagementWindow() {
  // Workers hand their results to the pages through the controls: both must
  // outlive every worker.
  workers_.JoinAll();
  ui_->Destroy();
}

void ManagementWindow::Create() {
  ui_->Create(ManagementWindowLayout());
  // No skin: the window is drawn with the system's own controls.
  OpenDatabase();
  settings_.Load();
  ui_->Show();
}

bool ManagementWindow::IsOpen() const { return ui_->IsOpen(); }

void ManagementWindow::BringToFront() { ui_->BringToFront(); }

void ManagementWindow::Settle() {
  for (;;) {
    bool joined = workers_.JoinAll();
    bool ran = ui_->RunPosted();
    if (!joined && !ran) return;
  }
}

void ManagementWindow::OnEvent(const ControlEvent& event) {
  switch (event.kind) {
    case ControlEventKind::PageChanged:
      OnPageChanged(event.index);
      break;
    case ControlEventKind::Click:
      if (event.control == "按钮_保存配置") settings_.Save();
      else if (event.control == "按钮_载入默认配置") settings_.FillDefaults();
      else if (event.control == "按钮_添加商品") products_.Add();
      else if (event.control == "按钮_生成卡密") cardKeys_.Generate();
      else if (event.control == "按钮_查询卡密") cardKeys_.Query();
      break;
    case ControlEventKind::ComboChosen:
      // "组合框_卡密状态" has no handler: the query reads it when it runs.
      if (event.control == "组合框_订单状态") orders_.Filter(event.index);
      break;
    case ControlEventKind::MenuItem:
      if (event.control == "超级列表框_用户") users_.OnMenu(event.item);
      else if (event.control == "超级列表框_商品") products_.OnMenu(event.item);
      else if (event.control == "超级列表框_卡密") cardKeys_.OnMenu(event.item);
      break;
    case ControlEventKind::Closed:
      // Unsaved edits are dropped; nothing is written.
      workers_.JoinAll();
      if (onClosed_) onClosed_();
      break;
  }
}

// Pages 1 to 3 fill their list on a visit that finds it empty; page 4 lists
// every order on every visit.
void ManagementWindow::OnPageChanged(int index) {
  switch (index) {
    case 1:
      if (ui_->RowCount("超级列表框_用户") == 0) users_.Fill();
      break;
    case 2:
      if (ui_->RowCount("超级列表框_商品") == 0) products_.Fill();
      break;
    case 3:
      if (ui_->RowCount("超级列表框_卡密") == 0) cardKeys_.Fill();
      break;
    case 4:
      orders_.ListAll();
      break;
    default:
      break;
  }
}

}  // namespace quorvel
