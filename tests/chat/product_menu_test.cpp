#include "chat/product_menu.h"

#include <gtest/gtest.h>

#include <string>

#include "storage/database.h"
#include "storage/sqlite_db.h"
#include "temp_dir.h"

namespace quorvel {
namespace {

// PluginDb on a fresh file holding the products table.
class ProductMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(PluginDb().Open(dir_.File("tovu.db"), true));
    ASSERT_TRUE(PluginDb().Execute(kSchemaStatements[2]));
  }
  void TearDown() override { PluginDb().Close(); }

  void AddProduct(const std::string& id, const std::string& name, const std::string& price,
                  const std::string& status) {
    ASSERT_TRUE(PluginDb().Execute("INSERT INTO spxx(spid,spmc,spjg,zt) VALUES(?,?,?,?)",
                                   {id, name, price, status}));
  }

  test::TempDir dir_;
};

TEST_F(ProductMenuTest, OneLinePerEnabledProductEachEndedByABareCarriageReturn) {
  AddProduct("1", "名称A", "10", "开启");
  AddProduct("9", "停售", "5", "关闭");
  AddProduct("2", "名称B", "20", "开启");
  EXPECT_EQ(ProductMenuText(), "1：名称A [10积分]\r2：名称B [20积分]\r");
}

TEST_F(ProductMenuTest, ValuesAreShownAsStored) {
  AddProduct("3", "它's", "12.5", "开启");
  AddProduct("4", "全角", "１０", "开启");
  EXPECT_EQ(ProductMenuText(), "3：它's [12.5积分]\r4：全角 [１０积分]\r");
}

TEST_F(ProductMenuTest, EmptyWithoutEnabledProducts) {
  EXPECT_EQ(ProductMenuText(), "");
  AddProduct("1", "名称A", "10", "关闭");
  AddProduct("2", "名称B", "10", "开启 ");  // only the exact status enables
  EXPECT_EQ(ProductMenuText(), "");
}

TEST_F(ProductMenuTest, EmptyWhenNoDatabaseIsOpen) {
  AddProduct("1", "名称A", "10", "开启");
  PluginDb().Close();
  EXPECT_EQ(ProductMenuText(), "");
}

}  // namespace
}  // namespace quorvel
