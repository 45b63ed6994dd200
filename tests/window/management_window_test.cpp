#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "platform/code_page.h"
#include "window/window_layout.h"
#include "window_fixture.h"

namespace quorvel {
namespace {

using Json = nlohmann::json;

TEST(WindowLayoutTest, NamesAreUniqueAndEveryPlaceIsOnAPage) {
  const WindowLayout& layout = ManagementWindowLayout();
  EXPECT_EQ(layout.title, "tovu转单插件 V1.0");
  EXPECT_EQ(layout.width, 935);
  EXPECT_EQ(layout.height, 471);
  EXPECT_EQ(layout.pageCaptions,
            (std::vector<std::string>{"基础配置", "用户信息", "商品信息", "卡密信息", "订单列表"}));
  std::set<std::string> names;
  for (const ControlSpec& c : layout.controls) {
    EXPECT_TRUE(names.insert(c.name).second) << c.name;
    EXPECT_TRUE(c.page >= 0 && c.page < 5) << c.name;
    if (!c.parent.empty()) {
      const ControlSpec* parent = layout.Find(c.parent);
      ASSERT_NE(parent, nullptr) << c.name;
      EXPECT_EQ(parent->kind, ControlKind::GroupBox);
      EXPECT_EQ(parent->page, c.page) << c.name;
    }
  }
  for (const MenuSpec& m : layout.menus) {
    const ControlSpec* list = layout.Find(m.list);
    ASSERT_NE(list, nullptr) << m.name;
    EXPECT_EQ(list->kind, ControlKind::List);
  }
  EXPECT_EQ(layout.MenuOf("超级列表框_订单"), nullptr);
  EXPECT_EQ(layout.Find("超级列表框_卡密")->columns.size(), 6u);
  EXPECT_EQ(layout.Find("超级列表框_商品")->columns.size(), 12u);
  EXPECT_EQ(layout.Find("超级列表框_订单")->columns.size(), 8u);
  EXPECT_EQ(layout.Find("超级列表框_用户")->columns.size(), 6u);
  // Submenu holders have no action of their own.
  EXPECT_FALSE(MenuHasAction(*layout.MenuOf("超级列表框_卡密"), "删除操作"));
  EXPECT_TRUE(MenuHasAction(*layout.MenuOf("超级列表框_卡密"), "导出未使用"));
}

class ManagementWindowTest : public test::WindowTest {
 protected:
  // A line as the simulator sends it (UTF-8 JSON) and its answer.
  Json Drive(const Json& line) {
    Json answer = Json::parse(window_->Drive(line.dump()), nullptr, false);
    EXPECT_TRUE(answer.is_object());
    return answer;
  }
  static std::string U8(const std::string& gbk) { return GbkToUtf8Lossy(gbk); }
};

TEST_F(ManagementWindowTest, CreationMakesTheDatabaseAndStartsOnPageZeroWithEmptyLists) {
  EXPECT_TRUE(std::filesystem::exists(dir_.Path() / "tovu.db"));
  EXPECT_EQ(ui_->CurrentPage(), 0);
  for (const char* list : {"超级列表框_用户", "超级列表框_商品", "超级列表框_卡密", "超级列表框_订单"})
    EXPECT_EQ(ui_->RowCount(list), 0) << list;
  EXPECT_EQ(ui_->Text("编辑框_卡密面额"), "100");
  EXPECT_EQ(ui_->Text("编辑框_生成卡密数量"), "1");
  EXPECT_EQ(ui_->Text("编辑框_查询面额"), "0");
  EXPECT_EQ(ui_->ComboIndex("组合框_卡密状态"), 0);
  EXPECT_EQ(ui_->ComboIndex("组合框_订单状态"), 0);
}

TEST_F(ManagementWindowTest, ListsFillOnFirstVisitOnly) {
  Exec("INSERT INTO yhxx(wxid,name,jf) VALUES('a','n','1')");
  Exec("INSERT INTO kmxx(km,mr,zt) VALUES('TOVUx','1','未使用')");
  Page(3);
  EXPECT_EQ(ui_->RowCount("超级列表框_卡密"), 1);
  EXPECT_EQ(ui_->RowCount("超级列表框_用户"), 0);  // not its page
  Exec("INSERT INTO kmxx(km,mr,zt) VALUES('TOVUy','1','未使用')");
  Page(1);
  Page(3);
  EXPECT_EQ(ui_->RowCount("超级列表框_卡密"), 1);
  EXPECT_EQ(ui_->RowCount("超级列表框_用户"), 1);
}

TEST_F(ManagementWindowTest, ReopeningStartsWithEmptyLists) {
  Exec("INSERT INTO yhxx(wxid,name,jf) VALUES('a','n','1')");
  Page(1);
  OpenWindow();
  EXPECT_EQ(ui_->RowCount("超级列表框_用户"), 0);
  EXPECT_EQ(ui_->CurrentPage(), 0);
}

TEST_F(ManagementWindowTest, DriverCarriesOutLinesAndReadsControls) {
  EXPECT_EQ(Drive({{"window", "page"}, {"index", 2}}), Json({{"ret", "done"}}));
  Drive({{"window", "set"}, {"control", U8("编辑框_商品id")}, {"text", U8("商品7")}});
  EXPECT_EQ(Drive({{"window", "click"}, {"control", U8("按钮_添加商品")}}), Json({{"ret", "done"}}));
  // The worker's result is on the list before the click is answered.
  Json read = Drive({{"window", "read"}, {"control", U8("超级列表框_商品")}});
  EXPECT_EQ(read["control"], U8("超级列表框_商品"));
  ASSERT_EQ(read["rows"].size(), 1u);
  EXPECT_EQ(read["rows"][0][1], U8("商品7"));
  EXPECT_EQ(read["rows"][0][11], U8("开启"));

  EXPECT_EQ(Drive({{"window", "read"}, {"control", U8("编辑框_商品id")}}),
            Json({{"control", U8("编辑框_商品id")}, {"text", U8("商品7")}}));
  Drive({{"window", "check"}, {"control", U8("选择框_自动收款")}, {"value", true}});
  EXPECT_EQ(Drive({{"window", "read"}, {"control", U8("选择框_自动收款")}}),
            Json({{"control", U8("选择框_自动收款")}, {"checked", true}}));
  // Members come in the protocol's order, "control" first.
  EXPECT_EQ(window_->Drive(Json({{"window", "read"}, {"control", U8("选择框_自动收款")}}).dump()),
            u8R"({"control":"选择框_自动收款","checked":true})");
  Drive({{"window", "choose"}, {"control", U8("组合框_订单状态")}, {"index", 2}});
  EXPECT_EQ(Drive({{"window", "read"}, {"control", U8("组合框_订单状态")}}),
            Json({{"control", U8("组合框_订单状态")}, {"index", 2}}));
  Drive({{"window", "select"}, {"control", U8("超级列表框_商品")}, {"row", 0}});
  EXPECT_EQ(ui_->SelectedRow("超级列表框_商品"), 0);
  Drive({{"window", "select"}, {"control", U8("超级列表框_商品")}, {"row", -1}});
  EXPECT_EQ(ui_->SelectedRow("超级列表框_商品"), -1);
  EXPECT_EQ(Drive({{"window", "close"}}), Json({{"ret", "done"}}));
  EXPECT_FALSE(window_->IsOpen());
  EXPECT_TRUE(Drive({{"window", "page"}, {"index", 1}}).contains("error"));
}

TEST_F(ManagementWindowTest, DriverRefusesWhatTheWindowCannotDo) {
  const Json refused[] = {
      {{"window", "read"}, {"control", U8("编辑框_不存在")}},
      {{"window", "set"}, {"control", U8("按钮_添加商品")}, {"text", "x"}},
      {{"window", "check"}, {"control", U8("编辑框_商品id")}, {"value", true}},
      {{"window", "choose"}, {"control", U8("组合框_订单状态")}, {"index", 4}},
      {{"window", "select"}, {"control", U8("超级列表框_商品")}, {"row", 0}},
      {{"window", "click"}, {"control", U8("编辑框_商品id")}},
      {{"window", "menu"}, {"control", U8("超级列表框_订单")}, {"item", "x"}},
      {{"window", "menu"}, {"control", U8("超级列表框_卡密")}, {"item", U8("删除操作")}},
      {{"window", "page"}, {"index", 5}},
      {{"window", "page"}},
      {{"window", "fly"}},
  };
  for (const Json& line : refused) EXPECT_TRUE(Drive(line).contains("error")) << line.dump();
  EXPECT_TRUE(window_->IsOpen());
}

TEST_F(ManagementWindowTest, ClosingWhileAWorkerRunsDropsItsResult) {
  Page(3);
  Set("编辑框_生成卡密数量", "200");
  ASSERT_EQ(ui_->OperateClick("按钮_生成卡密"), "");
  ASSERT_EQ(ui_->OperateClose(), "");
  window_.reset();  // waits for the worker
  EXPECT_EQ(Count("SELECT COUNT(*) FROM kmxx"), 200);
}

TEST_F(ManagementWindowTest, MenuKeepsOneWindow) {
  window_.reset();
  OpenManagementWindow();
  ManagementWindow* first = OpenedManagementWindow();
  ASSERT_NE(first, nullptr);
  first->Ui().SetText("编辑框_管理员id", "typed");
  OpenManagementWindow();
  EXPECT_EQ(OpenedManagementWindow(), first);
  EXPECT_EQ(first->Ui().Text("编辑框_管理员id"), "typed");
  EXPECT_EQ(static_cast<HeadlessControls&>(first->Ui()).BroughtToFront(), 1);
  CloseManagementWindow();
  EXPECT_EQ(OpenedManagementWindow(), nullptr);
  OpenManagementWindow();
  ASSERT_NE(OpenedManagementWindow(), nullptr);
  EXPECT_EQ(OpenedManagementWindow()->Ui().Text("编辑框_管理员id"), "");
  CloseManagementWindow();
}

}  // namespace
}  // namespace quorvel
