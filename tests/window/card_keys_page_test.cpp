#include <gtest/gtest.h>

#include <set>

#include "window/card_keys_page.h"
#include "window_fixture.h"

namespace quorvel {
namespace {

const char kList[] = "超级列表框_卡密";

class CardKeysPageTest : public test::WindowTest {
 protected:
  void Generate(const std::string& face, const std::string& count) {
    Set("编辑框_卡密面额", face);
    Set("编辑框_生成卡密数量", count);
    Click("按钮_生成卡密");
  }
  void Query(int status, const std::string& face) {
    ASSERT_EQ(ui_->OperateChoose("组合框_卡密状态", status), "");
    Set("编辑框_查询面额", face);
    Click("按钮_查询卡密");
  }
  // Three keys per face value 100 and 50, one of each used.
  void SeedKeys() {
    for (const char* face : {"100", "50"}) {
      for (int i = 0; i < 3; ++i)
        Exec("INSERT INTO kmxx(km,mr,zt) VALUES(?,?,'未使用')",
             {std::string("TOVU") + face + "key" + std::to_string(i), std::string(face)});
      Exec("UPDATE kmxx SET zt='已使用',wxid='wxid_u',name='Nick' WHERE km=?",
           {std::string("TOVU") + face + "key0"});
    }
    Exec("INSERT INTO kmxx(km,mr,zt) VALUES('TOVUspaced',' 0','未使用')");
  }
  std::vector<std::string> ListedKeys() {
    std::vector<std::string> keys;
    for (const ListRow& r : Rows(kList)) keys.push_back(r[1]);
    return keys;
  }
  std::string ExportFile(const std::string& face) { return CardKeyExportPath(dir_.Path().string(), face); }
};

TEST_F(CardKeysPageTest, GenerateByCountText) {
  struct Case {
    const char* count;
    int keys;
  };
  Page(3);
  int total = 0;
  for (const Case& c : {Case{"3", 3}, Case{"３", 3}, Case{"0", 0}, Case{"-2", 0}, Case{"", 0}, Case{"abc", 0},
                        Case{" 2x", 2}}) {
    Exec("INSERT INTO kmxx(km,mr,zt) VALUES('marker','1','未使用')");  // shows the list is refilled
    ++total;
    Generate("50", c.count);
    total += c.keys;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM kmxx"), total) << c.count;
    EXPECT_EQ(static_cast<int>(Rows(kList).size()), total) << c.count;
  }
  std::vector<std::string> keys = Column("SELECT km FROM kmxx WHERE km<>'marker'");
  EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
  ListRows rows = Rows(kList);
  EXPECT_EQ(rows[1][0], "2");
  EXPECT_EQ(rows[1][1].size(), 16u);
  EXPECT_EQ(rows[1][1].substr(0, 4), "TOVU");
  EXPECT_EQ(rows[1][2], "50");
  EXPECT_EQ(rows[1][3], "未使用");
  EXPECT_EQ(rows[1][4], "");
  EXPECT_EQ(rows[1][5], "");
}

TEST_F(CardKeysPageTest, FaceValueIsStoredAsTyped) {
  Generate("abc", "1");
  EXPECT_EQ(Column("SELECT mr FROM kmxx"), (std::vector<std::string>{"abc"}));
}

TEST_F(CardKeysPageTest, QueryByStatusAndFaceValue) {
  SeedKeys();
  struct Case {
    int status;
    const char* face;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      {0, "0", {"TOVU100key0", "TOVU100key1", "TOVU100key2", "TOVU50key0", "TOVU50key1", "TOVU50key2", "TOVUspaced"}},
      {1, "0", {"TOVU100key0", "TOVU50key0"}},
      {2, "100", {"TOVU100key1", "TOVU100key2"}},
      {0, "50", {"TOVU50key0", "TOVU50key1", "TOVU50key2"}},
      {1, "50", {"TOVU50key0"}},
      {0, " 0", {"TOVUspaced"}},
      {0, "100.0", {}},
  };
  for (const Case& c : cases) {
    Query(c.status, c.face);
    EXPECT_EQ(ListedKeys(), c.keys) << c.status << " " << c.face;
    for (size_t i = 0; i < Rows(kList).size(); ++i) EXPECT_EQ(Rows(kList)[i][0], std::to_string(i + 1));
  }
  EXPECT_EQ(Rows(kList).size(), 0u);
  // A face value holding a quote is a value, not SQL.
  Query(0, "1' OR '1'='1");
  EXPECT_TRUE(Rows(kList).empty());
}

TEST_F(CardKeysPageTest, QueryThatCannotRunLeavesTheList) {
  SeedKeys();
  Page(3);
  size_t shown = Rows(kList).size();
  {
    // As after EventStop: the window stays open without a connection.
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    PluginDb().Close();
  }
  Query(0, "0");
  EXPECT_EQ(Rows(kList).size(), shown);
}

TEST_F(CardKeysPageTest, DeleteNeedsASelectionAndOk) {
  SeedKeys();
  Page(3);
  ui_->TakeShown();
  Menu(kList, "删除未使用");  // no selection: nothing at all
  EXPECT_TRUE(ui_->TakeShown().empty());
  EXPECT_EQ(Count("SELECT COUNT(*) FROM kmxx"), 7);

  Select(kList, 0);  // a used key: any row enables the action
  ui_->QueueAnswer(false);
  Menu(kList, "删除未使用");
  std::vector<UiReport> shown = ui_->TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "确定要删除所有未使用卡密吗？");
  EXPECT_EQ(shown[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM kmxx"), 7);

  Select(kList, 0);
  ui_->QueueAnswer(true);
  Menu(kList, "删除未使用");
  ui_->TakeShown();
  EXPECT_EQ(Column("SELECT km FROM kmxx"), (std::vector<std::string>{"TOVU100key0", "TOVU50key0"}));
  EXPECT_EQ(ListedKeys(), (std::vector<std::string>{"TOVU100key0", "TOVU50key0"}));

  Select(kList, 1);
  ui_->QueueAnswer(true);
  Menu(kList, "删除已使用");
  EXPECT_EQ(ui_->TakeShown()[0].text, "确定要删除所有已使用卡密吗？");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM kmxx"), 0);
  EXPECT_TRUE(Rows(kList).empty());
}

TEST_F(CardKeysPageTest, ExportTwiceAppends) {
  SeedKeys();
  ui_->QueueAnswer(true, "100");
  Menu(kList, "导出未使用");
  std::vector<UiReport> shown = ui_->TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].kind, UiReport::Kind::Input);
  EXPECT_EQ(shown[0].title, "请输入：");
  EXPECT_EQ(shown[0].text, "输入需要导出多少面额的卡密");
  EXPECT_EQ(shown[0].initial, "100");
  EXPECT_EQ(shown[1].title, "信息：");
  EXPECT_EQ(shown[1].text, "成功导出【2】个[未使用]的卡密");
  EXPECT_EQ(ReadFile(ExportFile("100")), "TOVU100key1\r\nTOVU100key2\r\n");

  ui_->QueueAnswer(true, "100");
  Menu(kList, "导出未使用");
  ui_->QueueAnswer(true, "100");
  Menu(kList, "导出已使用");
  EXPECT_EQ(ui_->TakeShown()[3].text, "成功导出【1】个[已使用]的卡密");
  EXPECT_EQ(ReadFile(ExportFile("100")),
            "TOVU100key1\r\nTOVU100key2\r\nTOVU100key1\r\nTOVU100key2\r\nTOVU100key0\r\n");
  // Exporting changes no key.
  EXPECT_EQ(Count("SELECT COUNT(*) FROM kmxx WHERE zt='未使用'"), 5);
}

TEST_F(CardKeysPageTest, ExportFileIsNamedAfterTheFaceValue) {
  EXPECT_EQ(std::filesystem::path(ExportFile("100")).filename().u8string(), u8"导出100面额的卡密.txt");
}

TEST_F(CardKeysPageTest, ExportOfNothingCreatesNoFileAndCancelShowsNothing) {
  SeedKeys();
  ui_->QueueAnswer(true, "77");
  Menu(kList, "导出未使用");
  EXPECT_EQ(ui_->TakeShown().back().text, "成功导出【0】个[未使用]的卡密");
  EXPECT_FALSE(std::filesystem::exists(ExportFile("77")));

  ui_->QueueAnswer(false);
  Menu(kList, "导出未使用");
  EXPECT_EQ(ui_->TakeShown().size(), 1u);  // the dialog only
  EXPECT_FALSE(std::filesystem::exists(ExportFile("100")));
}

TEST_F(CardKeysPageTest, CopyPutsExactlyTheKeyOnTheClipboard) {
  SeedKeys();
  Menu(kList, "复制卡密");
  std::vector<UiReport> shown = ui_->TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "请选择要复制的卡密。");
  EXPECT_EQ(shown[0].title, "系统提示");

  Page(3);
  Select(kList, 2);
  Menu(kList, "复制卡密");
  shown = ui_->TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, UiReport::Kind::Clipboard);
  EXPECT_EQ(ui_->Clipboard(), "TOVU100key2");
}

TEST_F(CardKeysPageTest, RefreshNeedsASelectionAndReplacesAQueryResult) {
  SeedKeys();
  Query(1, "0");
  EXPECT_EQ(Rows(kList).size(), 2u);
  Menu(kList, "刷新卡密");
  EXPECT_EQ(Rows(kList).size(), 2u);
  Select(kList, 0);
  Menu(kList, "刷新卡密");
  EXPECT_EQ(Rows(kList).size(), 7u);
}

}  // namespace
}  // namespace quorvel
