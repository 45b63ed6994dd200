#include <gtest/gtest.h>

#include "window_fixture.h"

namespace quorvel {
namespace {

const char kList[] = "超级列表框_商品";
const char kLine[] = "1----名称A----10----mp1----code----成功----失败----[----]----wxid_f----开启";
const ListRow kRowA = {"1", "1", "名称A", "10", "mp1", "code", "成功", "失败", "[", "]", "wxid_f", "开启"};

class ProductsPageTest : public test::WindowTest {
 protected:
  void Import(const std::string& line) {
    ui_->QueueAnswer(true, line);
    Menu(kList, "一键配置");
  }
  std::vector<std::string> Statuses() { return Column("SELECT zt FROM spxx ORDER BY rowid"); }
  std::vector<UiReport> Shown() { return ui_->TakeShown(); }
};

TEST_F(ProductsPageTest, EmptyTableGivesEmptyListAndEveryVisitFillsAgain) {
  Page(2);
  EXPECT_TRUE(Rows(kList).empty());
  Exec("INSERT INTO spxx(spid,zt) VALUES('9','开启')");
  Page(0);
  Page(2);
  EXPECT_EQ(Rows(kList).size(), 1u);
  // A list with rows keeps its snapshot on later visits.
  Exec("INSERT INTO spxx(spid,zt) VALUES('10','开启')");
  Page(0);
  Page(2);
  EXPECT_EQ(Rows(kList).size(), 1u);
}

TEST_F(ProductsPageTest, AddInsertsTheFormAsAnOnProductEvenWhenEmpty) {
  Page(2);
  Click("按钮_添加商品");
  ASSERT_EQ(Rows(kList).size(), 1u);
  EXPECT_EQ(Rows(kList)[0], (ListRow{"1", "", "", "", "", "", "", "", "", "", "", "开启"}));

  Set("编辑框_商品id", "2");
  Set("编辑框_商品名称", "O'Brien");  // a quote is a value, not SQL
  Set("编辑框_对接wxid", "wxid_f");
  Click("按钮_添加商品");
  Click("按钮_添加商品");  // the form keeps its texts: the same product again
  ListRows rows = Rows(kList);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1][0], "2");
  EXPECT_EQ(rows[1][1], "2");
  EXPECT_EQ(rows[1][2], "O'Brien");
  EXPECT_EQ(rows[2][1], "2");
  EXPECT_EQ(rows[2][10], "wxid_f");
  EXPECT_TRUE(Shown().empty());
}

struct NoSelectionCase {
  const char* item;
  const char* message;  // "" when nothing is shown
};

TEST_F(ProductsPageTest, MenuItemsWithoutASelection) {
  Import(kLine);
  Shown();
  for (const NoSelectionCase& c : {NoSelectionCase{"开启/关闭", "请选择要关闭的商品。"},
                                   NoSelectionCase{"复制配置", "请选择要复制的配置。"},
                                   NoSelectionCase{"删除商品", "请选择要删除的商品。"},
                                   NoSelectionCase{"刷新商品", ""}}) {
    Exec("UPDATE spxx SET spmc='changed'");
    Menu(kList, c.item);
    std::vector<UiReport> shown = Shown();
    if (*c.message) {
      ASSERT_EQ(shown.size(), 1u) << c.item;
      EXPECT_EQ(shown[0].title, "系统提示");
      EXPECT_EQ(shown[0].text, c.message);
      EXPECT_EQ(shown[0].buttons, MessageButtons::Ok);
    } else {
      EXPECT_TRUE(shown.empty()) << c.item;
    }
    EXPECT_EQ(Rows(kList)[0][2], "名称A") << c.item << " must not refill the list";
  }
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"开启"}));
}

TEST_F(ProductsPageTest, SwitchFollowsTheListedStatus) {
  Import(kLine);
  Import("2----b----1----m----c----s----f----l----r----w----7");  // any other status switches on
  Select(kList, 0);
  Menu(kList, "开启/关闭");
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"关闭", "7"}));
  Select(kList, 0);
  Menu(kList, "开启/关闭");
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"开启", "7"}));
  Select(kList, 1);
  Menu(kList, "开启/关闭");
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"开启", "开启"}));
  EXPECT_EQ(Rows(kList)[1][11], "开启");
}

TEST_F(ProductsPageTest, SwitchAndDeleteActOnEveryProductWithTheId) {
  Import(kLine);
  Import(kLine);
  Select(kList, 1);
  Menu(kList, "开启/关闭");
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"关闭", "关闭"}));
  Select(kList, 0);
  ui_->QueueAnswer(true);
  Menu(kList, "删除商品");
  EXPECT_TRUE(Rows(kList).empty());
  EXPECT_EQ(Count("SELECT COUNT(*) FROM spxx"), 0);
}

TEST_F(ProductsPageTest, DeleteAsksAndOnlyOkDeletes) {
  Import(kLine);
  Import("2----b----1----m----c----s----f----l----r----w----开启");
  Shown();
  Select(kList, 1);
  ui_->QueueAnswer(false);
  Menu(kList, "删除商品");
  std::vector<UiReport> shown = Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "确定要删除选定商品吗？");
  EXPECT_EQ(shown[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM spxx"), 2);

  Select(kList, 1);
  ui_->QueueAnswer(true);
  Menu(kList, "删除商品");
  EXPECT_EQ(Column("SELECT spid FROM spxx"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(Rows(kList), (ListRows{kRowA}));
}

TEST_F(ProductsPageTest, ImportByFieldCount) {
  struct Case {
    std::string line;
    bool added;
  };
  const Case cases[] = {
      {kLine, true},
      {std::string(kLine) + "----twelfth", true},
      {"1----n----10----mp----c----s----f----l----r----w", false},
      {"1----n----10----mp----c----s----f----l----r----w----", false},
      {"", false},
  };
  for (const Case& c : cases) {
    Exec("DELETE FROM spxx");
    Shown();
    Import(c.line);
    std::vector<UiReport> shown = Shown();
    ASSERT_GE(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, UiReport::Kind::Input);
    EXPECT_EQ(shown[0].title, "一键配置");
    EXPECT_EQ(shown[0].text,
              "商品ID----商品名称----商品价格----小程序标识----邀请码参数----成功标识----失败标识----邀请码左----"
              "邀请码右----对接wxid----状态");
    EXPECT_EQ(shown[0].initial, "");
    if (c.added) {
      EXPECT_EQ(shown.size(), 1u);
      EXPECT_EQ(Rows(kList), (ListRows{kRowA})) << c.line;
    } else {
      ASSERT_EQ(shown.size(), 2u) << c.line;
      EXPECT_EQ(shown[1].text, "配置格式不正确，需要11个字段。");
      EXPECT_EQ(shown[1].title, "系统提示");
      EXPECT_EQ(Count("SELECT COUNT(*) FROM spxx"), 0) << c.line;
    }
  }
}

TEST_F(ProductsPageTest, ImportKeepsAnEmptyMiddleFieldInPlace) {
  Import("1--------10----mp----c----s----f----l----r----w----关闭");
  ASSERT_EQ(Rows(kList).size(), 1u);
  EXPECT_EQ(Rows(kList)[0], (ListRow{"1", "1", "", "10", "mp", "c", "s", "f", "l", "r", "w", "关闭"}));
}

TEST_F(ProductsPageTest, CancelledImportChangesNothing) {
  ui_->QueueAnswer(false);
  Menu(kList, "一键配置");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM spxx"), 0);
  EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(ProductsPageTest, CopyThenImportAddsAnIdenticalRow) {
  Import("1----名称A----10----mp1----code----成功----失败----[----]----wxid_f----关闭");
  Shown();
  Select(kList, 0);
  Menu(kList, "复制配置");
  std::vector<UiReport> shown = Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].kind, UiReport::Kind::Clipboard);
  EXPECT_EQ(shown[1].text, "复制成功");
  EXPECT_EQ(ui_->Clipboard(), "1----名称A----10----mp1----code----成功----失败----[----]----wxid_f----关闭");

  Import(ui_->Clipboard());
  ListRows rows = Rows(kList);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(ListRow(rows[0].begin() + 1, rows[0].end()), ListRow(rows[1].begin() + 1, rows[1].end()));
  EXPECT_EQ(rows[1][0], "2");
}

TEST_F(ProductsPageTest, RefreshWithASelectionRereadsTheTable) {
  Import(kLine);
  Exec("UPDATE spxx SET spmc='新名称'");
  Select(kList, 0);
  Menu(kList, "刷新商品");
  EXPECT_EQ(Rows(kList)[0][2], "新名称");
}

}  // namespace
}  // namespace quorvel
