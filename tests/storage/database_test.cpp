// The plug-in's database file, its shared connection and record set, and the
// lock and transaction that keep concurrent handlers from losing updates.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "boundary/config_dir.h"
#include "storage/database.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"
#include "storage/sqlite_table.h"
#include "temp_dir.h"

namespace quorvel {
namespace {

std::string Raw(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return "<error>";
  std::string result = "<none>";
  if (sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(stmt, 0);
    result = text ? reinterpret_cast<const char*>(text) : "<null>";
  }
  sqlite3_finalize(stmt);
  return result;
}

// ConfigDir points into a fresh folder; the shared connection is closed and
// the folder forgotten afterwards.
class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { ConfigDir() = dir.Dir(); }
  void TearDown() override {
    SharedDataset().Close();
    PluginDb().Close();
    ConfigDir().clear();
  }

  std::string DbPath() const { return dir.File("tovu.db"); }
  std::string Schema() { return Raw(PluginDb().Handle(), "SELECT group_concat(type||':'||name, ' ') FROM sqlite_master"); }

  // A balance read, incremented and written back, as a handler does it.
  static bool Increment(SqliteDB& db, const std::string& wxid) {
    Transaction tx(db);
    if (!tx.Active()) return false;
    SqliteTable users;
    std::string jf;
    if (!users.Open("yhxx", db) || !users.Find("wxid=?", {wxid}) || !users.ReadField("jf", jf)) return false;
    if (!users.Edit() || !users.WriteField("jf", std::to_string(std::stoi(jf) + 1)) || !users.Update()) return false;
    users.Close();
    return tx.Commit();
  }

  test::TempDir dir;
};

TEST_F(DatabaseTest, ANewFileGetsTheFourTablesAndTheIndexes) {
  OpenDatabase();
  ASSERT_TRUE(PluginDb().IsOpen());
  EXPECT_TRUE(std::filesystem::exists(DbPath()));
  for (const char* statement : kSchemaStatements) {
    SqliteDataset data;
    ASSERT_TRUE(data.Open("SELECT name FROM sqlite_master WHERE type='table' AND sql=?", PluginDb(), {statement}));
    ASSERT_TRUE(data.First());
    EXPECT_EQ(data.Count(), 1) << statement;
  }
  EXPECT_EQ(Raw(PluginDb().Handle(), "SELECT count(*) FROM sqlite_master WHERE type='table'"), "4");
  EXPECT_EQ(Raw(PluginDb().Handle(), "SELECT count(*) FROM sqlite_master WHERE type='index'"), "4");
  for (const char* table : {"yhxx", "kmxx", "spxx", "订单列表"}) {
    SqliteTable t;
    ASSERT_TRUE(t.Open(table, PluginDb())) << table;
    EXPECT_FALSE(t.Next()) << table;
  }
}

TEST_F(DatabaseTest, AnExistingFileOnlyGainsTheIndexes) {
  {
    SqliteDB db;
    ASSERT_TRUE(db.Open(DbPath(), true));
    for (const char* statement : kSchemaStatements) ASSERT_TRUE(db.Execute(statement));
    ASSERT_TRUE(db.Execute("INSERT INTO yhxx(wxid,jf) VALUES('u','5')"));
  }
  OpenDatabase();
  EXPECT_EQ(Raw(PluginDb().Handle(), "SELECT count(*) FROM sqlite_master WHERE type='index'"), "4");
  EXPECT_EQ(Raw(PluginDb().Handle(), "SELECT wxid||jf FROM yhxx"), "u5");
  OpenDatabase();  // a second open changes nothing
  EXPECT_EQ(Raw(PluginDb().Handle(), "SELECT count(*) FROM sqlite_master"), "8");
  EXPECT_EQ(Raw(PluginDb().Handle(), "SELECT count(*) FROM yhxx"), "1");
}

TEST_F(DatabaseTest, AnExistingFileIsNeverRepaired) {
  struct Case {
    const char* name;
    std::vector<std::string> setup;  // statements run on the file first; none: an empty file
    std::string schema;              // what the file holds after OpenDatabase
  } cases[] = {
      {"empty file", {}, "<null>"},
      {"users only", {"CREATE TABLE yhxx(wxid TEXT,name TEXT,jf TEXT,zt TEXT,yqm TEXT)"},
       "table:yhxx index:idx_yhxx_wxid index:idx_yhxx_yqm"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(DbPath());
    if (c.setup.empty()) {
      std::ofstream(DbPath()).close();
    } else {
      SqliteDB db;
      ASSERT_TRUE(db.Open(DbPath(), true));
      for (const std::string& s : c.setup) ASSERT_TRUE(db.Execute(s));
    }
    OpenDatabase();
    ASSERT_TRUE(PluginDb().IsOpen()) << c.name;
    EXPECT_EQ(Schema(), c.schema) << c.name;
    SqliteTable orders;
    EXPECT_FALSE(orders.Open("订单列表", PluginDb())) << c.name;
    PluginDb().Close();
  }
}

TEST_F(DatabaseTest, ChineseConfigDirectory) {
  // The host names folders in GBK; the file system here names them in UTF-8.
  std::filesystem::create_directory(dir.Path() / std::filesystem::u8path("\xE9\x85\x8D\xE7\xBD\xAE"));
  ConfigDir() = dir.Dir() + "配置/";
  OpenDatabase();
  ASSERT_TRUE(PluginDb().IsOpen());
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / std::filesystem::u8path("\xE9\x85\x8D\xE7\xBD\xAE/tovu.db")));
}

TEST_F(DatabaseTest, AfterTheCloseOfEventStopEverythingFailsQuietly) {
  OpenDatabase();
  ASSERT_TRUE(PluginDb().Execute("INSERT INTO kmxx(km,mr,zt) VALUES('TOVU1','10','未使用')"));
  SqliteDataset& shared = SharedDataset();
  ASSERT_TRUE(shared.Open("SELECT * FROM kmxx", PluginDb()));
  ASSERT_TRUE(shared.First());
  ASSERT_EQ(shared.Count(), 1);

  EXPECT_TRUE(PluginDb().Close());

  EXPECT_FALSE(shared.Next());
  EXPECT_EQ(shared.Count(), 0);
  SqliteTable keys;
  EXPECT_FALSE(keys.Open("kmxx", PluginDb()));
  EXPECT_FALSE(keys.Next());
  EXPECT_FALSE(PluginDb().Execute("DELETE FROM kmxx"));

  OpenDatabase();  // a later EventEnable finds the data again
  ASSERT_TRUE(shared.Open("SELECT * FROM kmxx", PluginDb()));
  ASSERT_TRUE(shared.First());
  EXPECT_EQ(shared.Count(), 1);
}

// Lookups by wxid, invitation code, card key and order code must not walk the
// table: every statement they run stays far below the number of rows.
TEST_F(DatabaseTest, LookupsDoNotScanTheTables) {
  constexpr int kRows = 20000;
  OpenDatabase();
  SqliteDB& db = PluginDb();
  {
    Transaction tx(db);
    for (int i = 0; i < kRows; ++i) {
      std::string n = std::to_string(i);
      ASSERT_TRUE(db.Execute("INSERT INTO yhxx(wxid,name,jf,yqm) VALUES(?,?,?,?)", {"wxid_" + n, "n", "5", "c" + n}));
      ASSERT_TRUE(db.Execute("INSERT INTO kmxx(km,mr,zt) VALUES(?,?,?)", {"TOVU" + n, "10", "未使用"}));
      ASSERT_TRUE(db.Execute("INSERT INTO 订单列表(微信id,邀请码,状态) VALUES(?,?,?)", {"wxid_" + n, "c" + n, "进行中"}));
    }
    ASSERT_TRUE(tx.Commit());
  }

  struct Worst {
    int steps = 0;
    std::string sql;
  } worst;
  auto profile = [](unsigned, void* context, void* statement, void*) -> int {
    auto* w = static_cast<Worst*>(context);
    auto* stmt = static_cast<sqlite3_stmt*>(statement);
    int steps = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_VM_STEP, 1);
    if (steps > w->steps) {
      w->steps = steps;
      w->sql = sqlite3_sql(stmt);
    }
    return 0;
  };
  sqlite3_trace_v2(db.Handle(), SQLITE_TRACE_PROFILE, profile, &worst);

  const std::string last = std::to_string(kRows - 7);
  SqliteTable users;
  ASSERT_TRUE(users.Open("yhxx", db));
  ASSERT_TRUE(users.Find("wxid=?", {"wxid_" + last}));
  std::string jf;
  ASSERT_TRUE(users.ReadField("jf", jf));
  ASSERT_TRUE(users.Edit());
  ASSERT_TRUE(users.WriteField("jf", "6"));
  ASSERT_TRUE(users.Update());
  ASSERT_TRUE(users.ReadField("jf", jf));
  EXPECT_EQ(jf, "6");
  ASSERT_TRUE(users.Open("yhxx", db));
  ASSERT_TRUE(users.Find("yqm=?", {"c" + last}));

  SqliteTable orders;
  ASSERT_TRUE(orders.Open("订单列表", db));
  ASSERT_TRUE(orders.Find("邀请码=?", {"c" + last}));

  SqliteDataset keys;
  ASSERT_TRUE(keys.Open("SELECT * FROM kmxx WHERE km=?", db, {"TOVU" + last}));
  ASSERT_TRUE(keys.First());
  ASSERT_EQ(keys.Count(), 1);
  ASSERT_TRUE(keys.Next());
  std::string zt;
  ASSERT_TRUE(keys.ReadField("zt", zt));
  EXPECT_EQ(zt, "未使用");
  keys.Close();

  sqlite3_trace_v2(db.Handle(), 0, nullptr, nullptr);
  EXPECT_LT(worst.steps, 200) << worst.sql;
}

// N threads add 1 to one balance M times each, every time under the plug-in
// lock and in a transaction, as the handlers do: no increment is lost.
TEST_F(DatabaseTest, ConcurrentIncrementsUnderThePluginLockLoseNothing) {
  constexpr int kThreads = 8, kEach = 50;
  OpenDatabase();
  ASSERT_TRUE(PluginDb().Execute("PRAGMA synchronous=OFF"));  // speed only
  ASSERT_TRUE(PluginDb().Execute("INSERT INTO yhxx(wxid,jf) VALUES('u','0')"));
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kEach; ++i) {
        std::lock_guard<std::recursive_mutex> lock(PluginLock());
        if (!Increment(PluginDb(), "u")) ++failures;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(Raw(PluginDb().Handle(), "SELECT jf FROM yhxx"), std::to_string(kThreads * kEach));
}

// Separate connections (another process, say) take turns through the
// transaction's immediate write lock; a turn that times out is retried.
TEST_F(DatabaseTest, ConcurrentIncrementsOnSeparateConnectionsLoseNothing) {
  constexpr int kThreads = 4, kEach = 25;
  OpenDatabase();
  ASSERT_TRUE(PluginDb().Execute("INSERT INTO yhxx(wxid,jf) VALUES('u','0')"));
  std::vector<std::thread> threads;
  std::atomic<int> opened{0};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      SqliteDB own;
      if (!own.Open(DbPath())) return;
      own.Execute("PRAGMA synchronous=OFF");
      ++opened;
      for (int done = 0, tries = 0; done < kEach && tries < 100 * kEach; ++tries)
        if (Increment(own, "u")) ++done;
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(opened, kThreads);
  EXPECT_EQ(Raw(PluginDb().Handle(), "SELECT jf FROM yhxx"), std::to_string(kThreads * kEach));
}

// EventEnable, window creation and EventStop may open and close the shared
// connection while another thread lists a table under the lock.
TEST_F(DatabaseTest, ReopeningAndClosingUnderARunningListingIsSafe) {
  OpenDatabase();
  ASSERT_TRUE(PluginDb().Execute("PRAGMA synchronous=OFF"));
  for (int i = 0; i < 50; ++i)
    ASSERT_TRUE(PluginDb().Execute("INSERT INTO spxx(spid,zt) VALUES(?,'开启')", {std::to_string(i)}));
  std::atomic<bool> stop{false};
  std::thread lister([&] {
    while (!stop) {
      std::lock_guard<std::recursive_mutex> lock(PluginLock());
      SqliteTable products;
      if (!products.Open("spxx", PluginDb())) continue;
      std::string id;
      while (products.Next()) products.ReadField("spid", id);
      SqliteDataset& shared = SharedDataset();
      if (shared.Open("SELECT * FROM spxx WHERE zt=?", PluginDb(), {"开启"}) && shared.First()) {
        while (shared.Next()) shared.ReadField(1, id);
      }
    }
  });
  for (int i = 0; i < 200; ++i) {
    OpenDatabase();
    PluginDb().Close();
  }
  stop = true;
  lister.join();
  OpenDatabase();
  EXPECT_EQ(Raw(PluginDb().Handle(), "SELECT count(*) FROM spxx"), "50");
}

}  // namespace
}  // namespace quorvel
