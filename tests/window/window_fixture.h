#pragma once
// A management window on the headless backend over a fresh configuration
// directory: real "tovu.db" and "cfg.ini" files, exports into the same folder.
#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

#include "boundary/config_dir.h"
#include "storage/database.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"
#include "temp_dir.h"
#include "window/headless_backend.h"
#include "window/management_window.h"

namespace quorvel::test {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    {
      std::lock_guard<std::recursive_mutex> lock(PluginLock());
      ConfigDir() = dir_.Dir();
    }
    OpenWindow();
  }

  void TearDown() override {
    window_.reset();
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    PluginDb().Close();
    ConfigDir().clear();
  }

  // A new window, as Menu makes one after the last was closed.
  void OpenWindow() {
    window_.reset();
    auto controls = std::make_unique<HeadlessControls>();
    ui_ = controls.get();
    window_ = std::make_unique<ManagementWindow>(std::move(controls), dir_.Path().string());
    window_->Create();
  }

  void Page(int index) { ASSERT_EQ(ui_->OperateSelectPage(index), ""); }
  void Set(const std::string& control, const std::string& text) { ASSERT_EQ(ui_->OperateSetText(control, text), ""); }
  void Check(const std::string& control, bool on) { ASSERT_EQ(ui_->OperateCheck(control, on), ""); }
  void Choose(const std::string& control, int index) {
    ASSERT_EQ(ui_->OperateChoose(control, index), "");
    window_->Settle();
  }
  void Select(const std::string& list, int row) { ASSERT_EQ(ui_->OperateSelectRow(list, row), ""); }
  void Click(const std::string& button) {
    ASSERT_EQ(ui_->OperateClick(button), "");
    window_->Settle();
  }
  void Menu(const std::string& list, const std::string& item) {
    ASSERT_EQ(ui_->OperateMenu(list, item), "");
    window_->Settle();
  }
  ListRows Rows(const std::string& list) { return ui_->Rows(list); }

  static bool Exec(const std::string& sql, const SqlParams& params = {}) {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    return PluginDb().Execute(sql, params);
  }
  // The first column of every row the query gives.
  static std::vector<std::string> Column(const std::string& sql, const SqlParams& params = {}) {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    std::vector<std::string> values;
    SqliteDataset set;
    if (!set.Open(sql, PluginDb(), params)) return values;
    while (set.Next()) {
      std::string v;
      set.ReadField(1, v);
      values.push_back(v);
    }
    return values;
  }
  static int Count(const std::string& sql, const SqlParams& params = {}) {
    std::vector<std::string> v = Column(sql, params);
    return v.empty() ? -1 : std::stoi(v[0]);
  }

  std::string ReadFile(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  TempDir dir_;
  HeadlessControls* ui_ = nullptr;
  std::unique_ptr<ManagementWindow> window_;
};

}  // namespace quorvel::test
