// Bad input at the handlers, on a real shop: texts that are not valid GBK in
// the arguments that get stored, and JSON nested deeper than any payload. A
// change is made whole or not at all; nothing crashes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <string>
#include <vector>

#include "boundary/config_dir.h"
#include "boundary/events.h"
#include "host/json_document.h"
#include "storage/database.h"
#include "storage/sqlite_db.h"
#include "temp_dir.h"

namespace quorvel {
namespace {

// Every row of the four tables, as one text, read past the plug-in.
std::string Dump(const std::string& path) {
  sqlite3* db = nullptr;
  std::string out;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    for (const char* table : {"yhxx", "kmxx", "订单列表"}) {
      sqlite3_stmt* stmt = nullptr;
      // The source is GBK at run time; the schema's names are UTF-8.
      std::string name = table == std::string("订单列表") ? "\xe8\xae\xa2\xe5\x8d\x95\xe5\x88\x97\xe8\xa1\xa8" : table;
      sqlite3_prepare_v2(db, ("SELECT * FROM " + name + " ORDER BY rowid").c_str(), -1, &stmt, nullptr);
      while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
          const unsigned char* v = sqlite3_column_text(stmt, c);
          out += v ? reinterpret_cast<const char*>(v) : "NULL";
          out += '|';
        }
        out += '\n';
      }
      sqlite3_finalize(stmt);
      out += "--\n";
    }
  }
  sqlite3_close(db);
  return out;
}

// A shop with one user of 100 points (code AA01 on an order in progress), two
// unused keys of 50 and one product priced 3 served by wxid_f.
class ShopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ConfigDir() = dir.Dir();
    std::ofstream(dir.File("cfg.ini"), std::ios::binary)
        << "[配置]\r\n积分比例=100\r\n自动收款=真\r\n自动回复_订单开始=ok\r\n";
    OpenDatabase();
    for (const char* sql : {
             "INSERT INTO yhxx(wxid,name,jf,yqm) VALUES('wxid_u1','Alice','100','AA01')",
             "INSERT INTO kmxx(km,mr,zt) VALUES('TOVUkey000000001','50','未使用')",
             "INSERT INTO kmxx(km,mr,zt) VALUES('TOVUkey000000002','50','未使用')",
             "INSERT INTO spxx VALUES('1','P','3','pages/p','code','ok','bad','[',']','wxid_f','开启')",
             "INSERT INTO 订单列表 VALUES('wxid_u1','Alice','P','3','AA01','进行中','2024年3月5日')",
         }) {
      ASSERT_TRUE(PluginDb().Execute(sql)) << sql;
    }
  }
  void TearDown() override {
    PluginDb().Close();
    ConfigDir().clear();
  }

  std::string Books() const { return Dump(dir.File("tovu.db")); }

  static void Message(const std::string& sender, const std::string& nickname, const std::string& text,
                      int type = 1, const std::string& robot = "wxid_bot", const std::string& id = "m1") {
    OnEventFriendMsg(robot, type, sender, nickname, text, id);
  }
  static void Transfer(const std::string& sender, const std::string& nickname) {
    OnEventReceivedTransfer("wxid_bot", sender, nickname, "wxid_bot", "10", R"({"is_arrived":1,"is_received":0})");
  }

  test::TempDir dir;
};

// Bytes no GBK text holds: a lead byte at the end, a lead byte before a byte
// that cannot follow it, and 0xFF.
const char* const kNotGbk[] = {"\x81", "A\x81 B", "\xff\xfe"};

// The bad text is what would be stored, so the change it belongs to cannot be
// written: nothing of it may be.
TEST_F(ShopTest, TextsThatAreNotGbkChangeNothingWhereTheyWouldBeStored) {
  struct Case {
    const char* what;
    void (*run)(const std::string& bad);
  };
  const Case cases[] = {
      {"a new user's nickname on a key", [](const std::string& bad) { Message("wxid_new", bad, "TOVUkey000000001"); }},
      {"a user's nickname on a key", [](const std::string& bad) { Message("wxid_u1", bad, "TOVUkey000000001"); }},
      {"the sender of a key", [](const std::string& bad) { Message(bad, "N", "TOVUkey000000001"); }},
      {"a key", [](const std::string& bad) { Message("wxid_u1", "N", "TOVUkey00000000" + bad); }},
      {"an orderer's nickname",
       [](const std::string& bad) { Message("wxid_u1", bad, "<pagepath>pages/p?code=B1</pagepath>", 2002); }},
      {"an order's code",
       [](const std::string& bad) { Message("wxid_u1", "N", "<pagepath>pages/p?code=B" + bad + "</pagepath>", 2002); }},
      {"a result's code", [](const std::string& bad) { Message("wxid_f", "F", "bad [AA01" + bad + "]"); }},
      {"a new payer's nickname", [](const std::string& bad) { Transfer("wxid_new", bad); }},
      {"a payer", [](const std::string& bad) { Transfer(bad, "N"); }},
  };
  const std::string before = Books();
  for (const Case& c : cases) {
    for (const char* bad : kNotGbk) {
      c.run(bad);
      EXPECT_EQ(Books(), before) << c.what << " holding " << ::testing::PrintToString(std::string(bad));
    }
  }
}

// Texts that are not stored do not stop the change they come with.
TEST_F(ShopTest, TextsThatAreNotGbkWhereNothingIsStoredLeaveTheChangeWhole) {
  Message("wxid_u1", "N", "<pagepath>pages/p?code=C1</pagepath>", 2002, "\x81", "\xff");
  Message("wxid_u1", "N", "查询", 1, "robot\x81");
  Transfer("wxid_u1", "Alice");
  const std::string books = Books();
  EXPECT_NE(books.find("wxid_u1|Alice|1097|"), std::string::npos) << books;  // 100 - 3 + 1000
  EXPECT_NE(books.find("|C1|\xe8\xbf\x9b\xe8\xa1\x8c\xe4\xb8\xad|"), std::string::npos) << books;  // 进行中
}

// A success that comes after the failure of the same order: the order was
// refunded, so it stays failed and the books keep agreeing with the points.
TEST_F(ShopTest, ALateSuccessLeavesARefundedOrderFailed) {
  Message("wxid_f", "F", "bad [AA01]");
  Message("wxid_f", "F", "ok [AA01]");
  const std::string books = Books();
  EXPECT_NE(books.find("wxid_u1|Alice|103|"), std::string::npos) << books;
  EXPECT_NE(books.find("|AA01|\xe5\xb7\xb2\xe5\xa4\xb1\xe8\xb4\xa5|"), std::string::npos) << books;  // 已失败
}

std::string Nested(size_t depth, const std::string& inner) {
  return "{\"is_arrived\":" + std::string(depth, '[') + inner + std::string(depth, ']') + ",\"is_received\":0}";
}

TEST(JsonNestingTest, DeepNestingIsNotJsonAndNeverOverflowsTheStack) {
  const struct {
    size_t depth;
    bool parses;
    const char* arrived;
  } cases[] = {
      {0, true, "1"},
      {510, true, "1"},        // with the object, 511 levels
      {511, true, "1"},        // 512 levels
      {512, false, ""},        // 513
      {1000000, false, ""},    // a megabyte of brackets
  };
  for (const auto& c : cases) {
    JsonDocument doc;
    EXPECT_EQ(doc.Parse(Nested(c.depth, "1")), c.parses) << c.depth;
    EXPECT_EQ(doc.ReadText("is_arrived"), c.arrived) << c.depth;
  }
  JsonDocument doc;
  EXPECT_FALSE(doc.Parse(std::string(2000000, '[')));
  // Brackets inside strings are text, not nesting.
  EXPECT_TRUE(doc.Parse("{\"remark\":\"" + std::string(100000, '[') + "\\\"[{\",\"is_arrived\":1}"));
  EXPECT_EQ(doc.ReadText("is_arrived"), "1");
}

}  // namespace
}  // namespace quorvel
