#pragma once
// Page 0, "基础配置": the settings file's fourteen keys in edit and check boxes.
#include "window/page_context.h"

namespace quorvel {

class SettingsPage {
 public:
  explicit SettingsPage(PageContext& context) : ctx_(context) {}

  // Fills the boxes from the file (window creation).
  void Load();
  // "按钮_保存配置": writes every key on a worker thread.
  void Save();
  // "按钮_载入默认配置": default texts into the boxes; nothing is written.
  void FillDefaults();

 private:
  PageContext& ctx_;
};

}  // namespace quorvel
