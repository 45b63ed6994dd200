// The connection, table cursor and record set over real database files.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "storage/database.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"
#include "storage/sqlite_table.h"
#include "temp_dir.h"

namespace quorvel {
namespace {

// One value straight from SQLite, bypassing the classes under test: the first
// column of the first row as UTF-8 text, "<null>" or "<none>".
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

class SqliteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db.Open(dir.File("t.db"), true));
    ASSERT_TRUE(db.Execute("PRAGMA synchronous=OFF"));  // speed only
    for (const char* statement : kSchemaStatements) ASSERT_TRUE(db.Execute(statement));
  }

  void AddUser(const std::string& wxid, const std::string& jf) {
    ASSERT_TRUE(db.Execute("INSERT INTO yhxx(wxid,name,jf) VALUES(?,?,?)", {wxid, "nick", jf}));
  }

  // wxid of every row a full listing visits.
  std::vector<std::string> List(SqliteTable& table) {
    std::vector<std::string> ids;
    while (table.Next()) {
      std::string id;
      EXPECT_TRUE(table.ReadField("wxid", id));
      ids.push_back(id);
    }
    return ids;
  }

  test::TempDir dir;
  SqliteDB db;  // after dir: closed before the folder goes
};

// --- SqliteDB -------------------------------------------------------------------

TEST(SqliteDbOpen, WithoutCreateAMissingFileFailsAndIsNotCreated) {
  test::TempDir dir;
  SqliteDB db;
  EXPECT_FALSE(db.Open(dir.File("missing.db")));
  EXPECT_FALSE(db.IsOpen());
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.db")));
  EXPECT_TRUE(db.Open(dir.File("missing.db"), true));
  EXPECT_TRUE(std::filesystem::exists(dir.File("missing.db")));
  ASSERT_TRUE(db.Close());
  EXPECT_TRUE(db.Open(dir.File("missing.db")));
}

TEST(SqliteDbOpen, MemoryDatabaseOnlyWithCreate) {
  struct Case {
    const char* path;
    bool create;
    bool opens;
  } cases[] = {
      {"", true, true}, {":memory:", true, true}, {":MeMoRy:", true, true}, {"", false, false}, {":memory:", false, false},
  };
  for (const Case& c : cases) {
    SqliteDB db;
    EXPECT_EQ(db.Open(c.path, c.create), c.opens) << '"' << c.path << "\" create=" << c.create;
    EXPECT_EQ(db.IsOpen(), c.opens);
  }
}

TEST(SqliteDbOpen, AFailedOpenLeavesNoConnection) {
  test::TempDir dir;
  SqliteDB db;
  ASSERT_TRUE(db.Open(dir.File("a.db"), true));
  // The folder itself is no database; the earlier connection is gone either way.
  EXPECT_FALSE(db.Open(dir.File("no-such-folder/b.db"), true));
  EXPECT_FALSE(db.IsOpen());
  EXPECT_FALSE(db.Execute("CREATE TABLE t(x)"));
}

TEST_F(SqliteTest, ExecuteResultsAndErrors) {
  EXPECT_FALSE(db.Execute(""));
  EXPECT_FALSE(db.Execute("", SqlParams{}));

  EXPECT_TRUE(db.Execute("INSERT INTO yhxx(wxid) VALUES('a'); INSERT INTO yhxx(wxid) VALUES('b')"));
  EXPECT_EQ(Raw(db.Handle(), "SELECT count(*) FROM yhxx"), "2");
  EXPECT_EQ(db.ErrorText(), "");

  EXPECT_FALSE(db.Execute("INSERT INTO nowhere VALUES(1)"));
  EXPECT_EQ(db.ErrorCode(), SQLITE_ERROR);
  EXPECT_EQ(db.ErrorText(), "no such table: nowhere");

  EXPECT_FALSE(db.Execute("INSERT INTO nowhere VALUES(1)"));
  EXPECT_TRUE(db.Execute("INSERT INTO yhxx(wxid) VALUES(?)", {"b2"}));
  EXPECT_EQ(db.ErrorText(), "");  // a success clears the last error
  ASSERT_TRUE(db.Execute("DELETE FROM yhxx WHERE wxid=?", {"b2"}));

  // Bound statements take exactly one statement and exactly their parameters.
  EXPECT_FALSE(db.Execute("INSERT INTO yhxx(wxid) VALUES(?); DELETE FROM yhxx", {"c"}));
  EXPECT_FALSE(db.Execute("INSERT INTO yhxx(wxid,jf) VALUES(?,?)", {"c"}));
  EXPECT_FALSE(db.Execute("INSERT INTO yhxx(wxid) VALUES(?)", {"c", "d"}));
  EXPECT_EQ(Raw(db.Handle(), "SELECT count(*) FROM yhxx"), "2");
}

TEST_F(SqliteTest, ErrorTextIsCutTo199BytesOnACharacterBoundary) {
  for (const std::string& piece : {std::string("x"), std::string("表")}) {
    std::string name;
    while (name.size() < 400) name += piece;
    EXPECT_FALSE(db.Execute("SELECT * FROM " + name));
    std::string text = db.ErrorText();
    EXPECT_LE(text.size(), 199u);
    EXPECT_EQ(text.rfind("no such table: ", 0), 0u) << text;
  }
}

TEST_F(SqliteTest, ClosedConnectionFailsQuietly) {
  ASSERT_TRUE(db.Close());
  EXPECT_TRUE(db.Close());  // closing again is harmless
  EXPECT_FALSE(db.Execute("SELECT 1"));
  EXPECT_EQ(db.ErrorCode(), 0);
  EXPECT_EQ(db.ErrorText(), "");
  SqliteTable table;
  EXPECT_FALSE(table.Open("yhxx", db));
  SqliteDataset data;
  EXPECT_FALSE(data.Open("SELECT * FROM yhxx", db));
  EXPECT_FALSE(data.First());
  Transaction tx(db);
  EXPECT_FALSE(tx.Active());
  EXPECT_FALSE(tx.Commit());
}

// Closing or replacing the connection detaches every cursor on it: they fail
// quietly afterwards instead of touching a released connection.
TEST_F(SqliteTest, CursorsOutliveTheirConnectionSafely) {
  AddUser("a", "1");
  AddUser("b", "2");
  SqliteTable table;
  SqliteDataset data;
  ASSERT_TRUE(table.Open("yhxx", db));
  ASSERT_TRUE(table.Next());
  ASSERT_TRUE(data.Open("SELECT * FROM yhxx", db));
  ASSERT_TRUE(data.First());
  ASSERT_TRUE(data.Next());

  EXPECT_TRUE(db.Close());  // nothing left open on the connection

  std::string value = "kept";
  EXPECT_FALSE(table.Next());
  EXPECT_FALSE(table.ReadField("wxid", value));
  EXPECT_FALSE(table.Find("wxid=?", {"a"}));
  EXPECT_FALSE(data.Next());
  EXPECT_FALSE(data.ReadField("wxid", value));
  EXPECT_EQ(data.Count(), 0);
  EXPECT_EQ(value, "kept");

  // The same holds when Open replaces the connection with another one.
  ASSERT_TRUE(db.Open(dir.File("t.db")));
  ASSERT_TRUE(table.Open("yhxx", db));
  ASSERT_TRUE(db.Open(dir.File("t.db")));
  EXPECT_FALSE(table.Next());
  EXPECT_TRUE(table.Close());
  EXPECT_TRUE(data.Close());
}

// --- SqliteTable ----------------------------------------------------------------

TEST_F(SqliteTest, MissingTableFailsAndListsNothing) {
  SqliteTable table;
  EXPECT_FALSE(table.Open("nowhere", db));
  EXPECT_FALSE(table.Next());
  EXPECT_FALSE(table.Find("1"));
  EXPECT_FALSE(table.Edit());
  EXPECT_FALSE(table.Open("", db));
}

TEST_F(SqliteTest, EmptyTableHasNoRowsAndFindFailsPastTheEnd) {
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  EXPECT_FALSE(table.Find("1"));
  EXPECT_FALSE(table.Next());
  EXPECT_FALSE(table.Next());
  EXPECT_FALSE(table.Find("1"));
}

TEST_F(SqliteTest, ListsTheRowsOfTheSnapshotInRowidOrder) {
  AddUser("a", "1");
  AddUser("b", "2");
  AddUser("c", "3");
  ASSERT_TRUE(db.Execute("DELETE FROM yhxx WHERE wxid='b'"));
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  AddUser("late", "4");  // after the snapshot: not visited, not found
  EXPECT_EQ(List(table), (std::vector<std::string>{"a", "c"}));
  EXPECT_FALSE(table.Next());
  EXPECT_FALSE(table.Find("wxid=?", {"late"}));
  ASSERT_TRUE(table.Open("yhxx", db));  // a new snapshot holds it
  EXPECT_TRUE(table.Find("wxid=?", {"late"}));
}

TEST_F(SqliteTest, ReadFieldDesignatesColumnsByNameOrNumber) {
  ASSERT_TRUE(db.Execute("INSERT INTO yhxx(wxid,name,jf,zt,yqm) VALUES('u','nick','90',NULL,'')"));
  struct Case {
    Column column;
    bool ok;
    std::string value;  // what the variable holds afterwards
  } cases[] = {
      {"jf", true, "90"},       {"JF", true, "90"},         {"Jf", true, "90"},       {"zt", true, ""},
      {"yqm", true, ""},        {"nope", false, "before"},  {"", false, "before"},    {3, true, "90"},
      {int64_t{1}, true, "u"},  {2.9, true, "nick"},        {0, false, "before"},     {-1, false, "before"},
      {6, false, "before"},     {"jf ", false, "before"},
  };
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  std::string unread = "before";
  EXPECT_FALSE(table.ReadField("jf", unread));  // no current row yet
  EXPECT_EQ(unread, "before");
  ASSERT_TRUE(table.Next());
  for (const Case& c : cases) {
    std::string value = "before";
    EXPECT_EQ(table.ReadField(c.column, value), c.ok) << c.column.Name() << c.column.Number();
    EXPECT_EQ(value, c.value) << c.column.Name() << c.column.Number();
  }
  EXPECT_FALSE(table.Next());
  EXPECT_FALSE(table.ReadField("jf", unread));  // past the end
  EXPECT_EQ(unread, "before");
}

TEST_F(SqliteTest, ReadFieldFillsTypedVariables) {
  ASSERT_TRUE(db.Execute("INSERT INTO yhxx(wxid,name,jf,zt) VALUES('u',x'00ff41',' 12abc','2.5')"));
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  ASSERT_TRUE(table.Next());
  int32_t i32 = -1;
  int64_t i64 = -1;
  double real = -1;
  Blob blob;
  EXPECT_TRUE(table.ReadField("jf", i32));
  EXPECT_TRUE(table.ReadField("jf", i64));
  EXPECT_TRUE(table.ReadField("zt", real));
  EXPECT_TRUE(table.ReadField("name", blob));
  EXPECT_EQ(i32, 12);
  EXPECT_EQ(i64, 12);
  EXPECT_DOUBLE_EQ(real, 2.5);
  EXPECT_EQ(blob, (Blob{0x00, 0xff, 0x41}));
}

// The cursor may answer from the row it fetched, but never with a value the
// database no longer holds.
TEST_F(SqliteTest, ReadFieldSeesChangesMadeAfterTheRowWasFound) {
  AddUser("u", "10");
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  ASSERT_TRUE(table.Find("wxid=?", {"u"}));
  std::string jf;
  ASSERT_TRUE(table.ReadField("jf", jf));
  EXPECT_EQ(jf, "10");
  ASSERT_TRUE(db.Execute("UPDATE yhxx SET jf='11'"));
  ASSERT_TRUE(table.ReadField("jf", jf));
  EXPECT_EQ(jf, "11");
  ASSERT_TRUE(db.Execute("DELETE FROM yhxx"));
  EXPECT_FALSE(table.ReadField("jf", jf));  // the row is gone
  EXPECT_EQ(jf, "11");
}

TEST_F(SqliteTest, FindStartsAtTheCurrentRow) {
  for (const char* id : {"a", "b", "a", "c"}) AddUser(id, id);
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  std::string rowid;
  // Twice in a row: the second search starts at the row the first found.
  ASSERT_TRUE(table.Find("wxid=?", {"a"}));
  ASSERT_TRUE(table.Find("wxid=?", {"a"}));
  ASSERT_TRUE(table.Next());
  ASSERT_TRUE(table.ReadField("wxid", rowid));
  EXPECT_EQ(rowid, "b");  // still the first "a" before Next
  ASSERT_TRUE(table.Find("wxid=?", {"a"}));
  ASSERT_TRUE(table.Next());
  ASSERT_TRUE(table.ReadField("wxid", rowid));
  EXPECT_EQ(rowid, "c");  // the second "a" was found from "b"

  // No match: false, and the position stays.
  EXPECT_FALSE(table.Find("wxid=?", {"zzz"}));
  ASSERT_TRUE(table.ReadField("wxid", rowid));
  EXPECT_EQ(rowid, "c");
  EXPECT_FALSE(table.Find("wxid=?", {"a"}));  // "a" rows lie behind the current row
}

TEST_F(SqliteTest, FindConditionsAndTheirParameters) {
  AddUser("a", "5");
  AddUser("b", "7");
  struct Case {
    std::string condition;
    SqlParams params;
    bool found;
  } cases[] = {
      {"wxid=?", {"b"}, true},
      {"jf=? AND wxid=?", {"7", "b"}, true},
      {"wxid=?2 OR wxid=?1", {"x", "b"}, true},
      {"wxid='b' -- a trailing comment", {}, true},
      {"wxid=?", {}, false},            // a parameter left unbound
      {"wxid=?", {"b", "c"}, false},    // one too many
      {"no_such_column=1", {}, false},
      {"", {}, false},
  };
  for (const Case& c : cases) {
    SqliteTable table;
    ASSERT_TRUE(table.Open("yhxx", db));
    EXPECT_EQ(table.Find(c.condition, c.params), c.found) << c.condition;
  }
}

TEST_F(SqliteTest, EditWriteUpdateChangesOnlyTheCurrentRow) {
  AddUser("a", "5");
  AddUser("b", "7");
  AddUser("c", "9");
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  ASSERT_TRUE(table.Find("wxid=?", {"b"}));
  ASSERT_TRUE(table.Edit());
  ASSERT_TRUE(table.WriteField("jf", "8"));
  ASSERT_TRUE(table.WriteField("JF", "17"));  // a second write replaces the first
  ASSERT_TRUE(table.WriteField("yqm", "code"));
  ASSERT_TRUE(table.Update());
  EXPECT_EQ(Raw(db.Handle(), "SELECT group_concat(wxid||'='||jf||'/'||ifnull(yqm,'-'),' ') FROM yhxx"),
            "a=5/- b=17/code c=9/-");
  std::string jf;
  ASSERT_TRUE(table.ReadField("jf", jf));
  EXPECT_EQ(jf, "17");
  // The position is kept: the listing goes on after the updated row.
  ASSERT_TRUE(table.Next());
  ASSERT_TRUE(table.ReadField("wxid", jf));
  EXPECT_EQ(jf, "c");
}

TEST_F(SqliteTest, UpdateFailsWithoutSomethingToWrite) {
  AddUser("a", "5");
  struct Case {
    const char* name;
    bool find, edit, write;
  } cases[] = {
      {"no WriteField", true, true, false},
      {"no Edit", true, false, true},
      {"no current row", false, true, true},
  };
  for (const Case& c : cases) {
    SqliteTable table;
    ASSERT_TRUE(table.Open("yhxx", db));
    if (c.find) {
      ASSERT_TRUE(table.Find("wxid=?", {"a"}));
    }
    if (c.edit) {
      EXPECT_EQ(table.Edit(), c.find) << c.name;
    }
    if (c.write) {
      EXPECT_TRUE(table.WriteField("jf", "99")) << c.name;  // slots exist from Open on
    }
    EXPECT_FALSE(table.Update()) << c.name;
    EXPECT_EQ(Raw(db.Handle(), "SELECT jf FROM yhxx"), "5") << c.name;
  }
}

TEST_F(SqliteTest, AfterUpdateWritesNeedANewEdit) {
  AddUser("a", "5");
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  ASSERT_TRUE(table.Next());
  ASSERT_TRUE(table.Edit());
  ASSERT_TRUE(table.WriteField("jf", "6"));
  ASSERT_TRUE(table.Update());
  EXPECT_FALSE(table.WriteField("jf", "7"));
  EXPECT_FALSE(table.Update());
  ASSERT_TRUE(table.Edit());
  EXPECT_FALSE(table.Update());  // Edit empties the pending values
  ASSERT_TRUE(table.WriteField("jf", "7"));
  ASSERT_TRUE(table.Update());
  EXPECT_EQ(Raw(db.Handle(), "SELECT jf FROM yhxx"), "7");
  EXPECT_FALSE(table.WriteField("nope", "1"));
}

TEST_F(SqliteTest, UpdateOfARowDeletedMeanwhileReportsFailure) {
  AddUser("a", "5");
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  ASSERT_TRUE(table.Find("wxid=?", {"a"}));
  ASSERT_TRUE(table.Edit());
  ASSERT_TRUE(table.WriteField("jf", "6"));
  ASSERT_TRUE(db.Execute("DELETE FROM yhxx"));
  EXPECT_FALSE(table.Update());
}

TEST_F(SqliteTest, PendingValuesKeepTheirTypes) {
  // Columns without a declared type keep whatever type is bound.
  ASSERT_TRUE(db.Execute("CREATE TABLE loose(a,b,c,d,e); INSERT INTO loose VALUES('','','','','')"));
  SqliteTable table;
  ASSERT_TRUE(table.Open("loose", db));
  ASSERT_TRUE(table.Next());
  ASSERT_TRUE(table.Edit());
  ASSERT_TRUE(table.WriteField(1, int32_t{7}));
  ASSERT_TRUE(table.WriteField(2, int64_t{1} << 40));
  ASSERT_TRUE(table.WriteField(3, 2.5));
  ASSERT_TRUE(table.WriteField(4, Blob{1, 2}));
  ASSERT_TRUE(table.WriteField(5, nullptr));
  ASSERT_TRUE(table.Update());
  EXPECT_EQ(Raw(db.Handle(), "SELECT typeof(a)||typeof(b)||typeof(c)||typeof(d)||typeof(e) FROM loose"),
            "integerintegerrealblobnull");
  EXPECT_EQ(Raw(db.Handle(), "SELECT b FROM loose"), "1099511627776");
}

// A listing that writes as it goes still visits every row of its snapshot
// once, in order.
TEST_F(SqliteTest, ListingWhileWritingVisitsEachRowOnce) {
  for (const char* id : {"a", "b", "c", "d", "e"}) AddUser(id, "1");
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  std::vector<std::string> seen;
  while (table.Next()) {
    std::string id;
    ASSERT_TRUE(table.ReadField("wxid", id));
    seen.push_back(id);
    ASSERT_TRUE(table.Edit());
    ASSERT_TRUE(table.WriteField("jf", "2"));
    ASSERT_TRUE(table.Update());
    ASSERT_TRUE(db.Execute("UPDATE yhxx SET name=? WHERE wxid<>?", {"seen " + id, id}));
    if (id == "b") {
      ASSERT_TRUE(db.Execute("DELETE FROM yhxx WHERE wxid='c'"));
    }
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "d", "e"}));
  EXPECT_EQ(Raw(db.Handle(), "SELECT group_concat(jf,'') FROM yhxx"), "2222");
}

// A cursor sitting on a row keeps a read open on the connection; a write made
// meanwhile is still committed at once, for other connections to see.
TEST_F(SqliteTest, WritesBesideAPositionedCursorAreCommittedAtOnce) {
  AddUser("a", "1");
  AddUser("b", "1");
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  ASSERT_TRUE(table.Find("wxid=?", {"a"}));
  ASSERT_TRUE(db.Execute("UPDATE yhxx SET jf='5' WHERE wxid='b'"));
  SqliteDB other;
  ASSERT_TRUE(other.Open(dir.File("t.db")));
  EXPECT_EQ(Raw(other.Handle(), "SELECT jf FROM yhxx WHERE wxid='b'"), "5");
  ASSERT_TRUE(table.Next());
  ASSERT_TRUE(table.Close());
  // The other connection can write once the cursor is closed.
  EXPECT_TRUE(other.Execute("UPDATE yhxx SET jf='6' WHERE wxid='a'"));
}

// --- SqliteDataset --------------------------------------------------------------

TEST_F(SqliteTest, DatasetDeliversLargeResultsWhole) {
  {
    Transaction tx(db);
    for (int i = 0; i < 40; ++i) AddUser("u" + std::to_string(i), std::to_string(i));
    ASSERT_TRUE(tx.Commit());
  }
  SqliteDataset data;
  ASSERT_TRUE(data.Open("SELECT jf FROM yhxx ORDER BY _ROWID_", db));
  ASSERT_TRUE(data.First());
  EXPECT_EQ(data.Count(), 40);
  int expected = 0;
  while (data.Next()) {
    int32_t jf = -1;
    ASSERT_TRUE(data.ReadField("jf", jf));
    EXPECT_EQ(jf, expected++);
  }
  EXPECT_EQ(expected, 40);
}

// Rows are read as the query gives them when Next delivers them, even when
// the connection changed them after First counted.
TEST_F(SqliteTest, DatasetRowsAreFreshAfterAChangeBeforeTheFirstRow) {
  ASSERT_TRUE(db.Execute("INSERT INTO kmxx(km,mr,zt) VALUES('TOVU1','10','未使用')"));
  SqliteDataset data;
  ASSERT_TRUE(data.Open("SELECT * FROM kmxx WHERE km=?", db, {"TOVU1"}));
  ASSERT_TRUE(data.First());
  ASSERT_EQ(data.Count(), 1);
  ASSERT_TRUE(db.Execute("UPDATE kmxx SET zt='已使用'"));
  ASSERT_TRUE(data.Next());
  std::string zt;
  ASSERT_TRUE(data.ReadField("zt", zt));
  EXPECT_EQ(zt, "已使用");
  EXPECT_FALSE(data.Next());
}

TEST_F(SqliteTest, DatasetCountsThenDeliversEveryRowOnce) {
  AddUser("a", "1");
  AddUser("b", "2");
  AddUser("c", "3");
  SqliteDataset data;
  ASSERT_TRUE(data.Open("SELECT wxid, jf FROM yhxx WHERE jf<>?", db, {"2"}));
  EXPECT_EQ(data.Count(), 0);
  std::string value = "before";
  EXPECT_FALSE(data.ReadField("wxid", value));
  ASSERT_TRUE(data.First());
  EXPECT_EQ(data.Count(), 2);
  EXPECT_FALSE(data.ReadField("wxid", value));  // before the first row
  std::vector<std::string> ids;
  while (data.Next()) {
    ASSERT_TRUE(data.ReadField("WXID", value));
    ids.push_back(value);
  }
  EXPECT_EQ(ids, (std::vector<std::string>{"a", "c"}));
  EXPECT_FALSE(data.Next());  // the query does not start over
  EXPECT_FALSE(data.ReadField("wxid", value));
  ASSERT_TRUE(data.First());  // First rewinds
  ASSERT_TRUE(data.Next());
  ASSERT_TRUE(data.ReadField(2, value));
  EXPECT_EQ(value, "1");
  EXPECT_FALSE(data.ReadField("name", value));  // not a result column
  EXPECT_FALSE(data.ReadField(3, value));
  EXPECT_EQ(value, "1");
}

TEST_F(SqliteTest, DatasetForAMissingKeyCountsZero) {
  SqliteDataset data;
  ASSERT_TRUE(data.Open("SELECT * FROM kmxx WHERE km=?", db, {"TOVUnone"}));
  ASSERT_TRUE(data.First());
  EXPECT_EQ(data.Count(), 0);
  EXPECT_FALSE(data.Next());
}

TEST_F(SqliteTest, DatasetOpenFailures) {
  AddUser("a", "1");
  SqliteDataset data;
  ASSERT_TRUE(data.Open("SELECT * FROM yhxx", db));
  // Without text or connection the record set stays as it was.
  SqliteDB closed;
  EXPECT_FALSE(data.Open("", db));
  EXPECT_FALSE(data.Open("SELECT 1", closed));
  ASSERT_TRUE(data.First());
  EXPECT_EQ(data.Count(), 1);
  // A statement SQLite rejects leaves it without one.
  EXPECT_FALSE(data.Open("SELECT * FROM nowhere", db));
  EXPECT_FALSE(data.First());
  EXPECT_FALSE(data.Next());
  EXPECT_EQ(data.Count(), 0);
  EXPECT_FALSE(data.Open("SELECT * FROM yhxx WHERE wxid=?", db));  // parameter left unbound
  EXPECT_FALSE(data.Open("SELECT * FROM yhxx; DELETE FROM yhxx", db));
  EXPECT_EQ(Raw(db.Handle(), "SELECT count(*) FROM yhxx"), "1");
}

// The row stays readable while other statements run on the connection, as
// they do when a listing writes as it goes.
TEST_F(SqliteTest, DatasetRowSurvivesOtherStatements) {
  AddUser("a", "1");
  SqliteDataset data;
  ASSERT_TRUE(data.Open("SELECT * FROM yhxx", db));
  ASSERT_TRUE(data.First());
  ASSERT_TRUE(data.Next());
  EXPECT_FALSE(db.Execute("SELECT * FROM nowhere"));
  std::string value;
  EXPECT_TRUE(data.ReadField("wxid", value));
  EXPECT_EQ(value, "a");
}

// --- texts at the boundary ------------------------------------------------------

TEST_F(SqliteTest, ChineseNamesAndValuesRoundTripAsGbk) {
  ASSERT_TRUE(db.Execute("INSERT INTO 订单列表(微信id,微信昵称,订单名称,订单价格,邀请码,状态,时间) "
                         "VALUES(?,?,?,?,?,'进行中',?)",
                         {"wx1", "小明", "会员月卡", "30", "码A", "2021年3月5日14时7分"}));
  // Stored as UTF-8 under the UTF-8 table name.
  EXPECT_EQ(Raw(db.Handle(), "SELECT hex(\xE7\x8A\xB6\xE6\x80\x81) FROM \xE8\xAE\xA2\xE5\x8D\x95\xE5\x88\x97\xE8\xA1\xA8"),
            "E8BF9BE8A18CE4B8AD");

  SqliteTable orders;
  ASSERT_TRUE(orders.Open("订单列表", db));
  ASSERT_TRUE(orders.Find("邀请码=?", {"码A"}));
  std::string status, nickname;
  ASSERT_TRUE(orders.ReadField("状态", status));
  ASSERT_TRUE(orders.ReadField("微信ID", nickname));  // ASCII letters fold, Chinese ones match exactly
  EXPECT_EQ(status, "进行中");
  EXPECT_EQ(nickname, "wx1");
  ASSERT_TRUE(orders.Edit());
  ASSERT_TRUE(orders.WriteField("状态", "已完成"));
  ASSERT_TRUE(orders.Update());

  SqliteDataset data;
  ASSERT_TRUE(data.Open("SELECT * FROM 订单列表 WHERE 状态='已完成'", db));
  ASSERT_TRUE(data.First());
  ASSERT_EQ(data.Count(), 1);
  ASSERT_TRUE(data.Next());
  std::string name;
  ASSERT_TRUE(data.ReadField("订单名称", name));
  EXPECT_EQ(name, "会员月卡");
}

TEST_F(SqliteTest, TextsThatDoNotConvert) {
  // Beyond three UTF-8 bytes, or outside GBK: read as "" (and the read succeeds).
  ASSERT_EQ(sqlite3_exec(db.Handle(), "INSERT INTO yhxx(wxid,name) VALUES('emoji','\xF0\x9F\x98\x80')", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db.Handle(), "INSERT INTO yhxx(wxid,name) VALUES('thai','\xE0\xB8\x81')", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  for (const char* id : {"emoji", "thai"}) {
    SqliteTable table;
    ASSERT_TRUE(table.Open("yhxx", db));
    ASSERT_TRUE(table.Find("wxid=?", {id}));
    std::string name = "before";
    EXPECT_TRUE(table.ReadField("name", name));
    EXPECT_EQ(name, "") << id;
  }
  // A GBK text cut in the middle of a character: the statement is not run.
  const std::string broken = "\xD6";
  EXPECT_FALSE(db.Execute("INSERT INTO yhxx(wxid) VALUES('" + broken + "')"));
  EXPECT_FALSE(db.Execute("INSERT INTO yhxx(wxid) VALUES(?)", {broken}));
  SqliteTable table;
  ASSERT_TRUE(table.Open("yhxx", db));
  EXPECT_FALSE(table.Find("wxid='" + broken + "'"));
  EXPECT_EQ(Raw(db.Handle(), "SELECT count(*) FROM yhxx"), "2");
}

// Values are bound, never spliced: whatever a chat user puts in a nickname or
// message is stored and matched as it is.
TEST_F(SqliteTest, HostileValuesAreStoredAndFoundLiterally) {
  const std::vector<std::string> values = {
      "'); DROP TABLE yhxx; --", "O'Brien", "\"quoted\"", "a' OR '1'='1", "back\\slash", "昵称'); DELETE FROM kmxx; --",
  };
  for (const std::string& v : values)
    ASSERT_TRUE(db.Execute("INSERT INTO yhxx(wxid,name,jf) VALUES(?,?,?)", {v, v, "1"})) << v;
  EXPECT_EQ(Raw(db.Handle(), "SELECT count(*) FROM yhxx"), std::to_string(values.size()));

  for (const std::string& v : values) {
    SqliteTable table;
    ASSERT_TRUE(table.Open("yhxx", db));
    ASSERT_TRUE(table.Find("wxid=?", {v})) << v;
    std::string name;
    ASSERT_TRUE(table.ReadField("name", name));
    EXPECT_EQ(name, v);
    ASSERT_TRUE(table.Edit());
    ASSERT_TRUE(table.WriteField("yqm", v));
    ASSERT_TRUE(table.Update());

    SqliteDataset data;
    ASSERT_TRUE(data.Open("SELECT * FROM yhxx WHERE yqm=?", db, {v}));
    ASSERT_TRUE(data.First());
    EXPECT_EQ(data.Count(), 1) << v;
    ASSERT_TRUE(db.Execute("UPDATE yhxx SET jf='2' WHERE wxid=?", {v}));
  }
  EXPECT_EQ(Raw(db.Handle(), "SELECT count(*) FROM yhxx WHERE jf='2'"), std::to_string(values.size()));
  EXPECT_EQ(Raw(db.Handle(), "SELECT count(*) FROM kmxx"), "0");  // the table is still there
}

// --- Transaction ----------------------------------------------------------------

TEST_F(SqliteTest, TransactionCommitsWholeOrNothing) {
  {
    Transaction tx(db);
    ASSERT_TRUE(tx.Active());
    AddUser("kept", "1");
    EXPECT_TRUE(tx.Commit());
    EXPECT_TRUE(tx.Commit());  // once committed, stays committed
  }
  {
    Transaction tx(db);
    ASSERT_TRUE(tx.Active());
    AddUser("dropped", "1");
  }  // destroyed uncommitted
  EXPECT_EQ(Raw(db.Handle(), "SELECT group_concat(wxid) FROM yhxx"), "kept");
  EXPECT_NE(sqlite3_get_autocommit(db.Handle()), 0);
}

TEST_F(SqliteTest, NestedTransactionComposesIntoTheOuterOne) {
  {
    Transaction outer(db);
    ASSERT_TRUE(outer.Active());
    {
      Transaction inner(db);
      EXPECT_TRUE(inner.Active());
      AddUser("inner", "1");
      EXPECT_TRUE(inner.Commit());  // passive: the outer one decides
    }
    EXPECT_EQ(sqlite3_get_autocommit(db.Handle()), 0);  // still inside the outer transaction
    {
      Transaction inner(db);
      AddUser("inner2", "1");
    }  // an uncommitted inner guard leaves the outer transaction alone
    EXPECT_EQ(sqlite3_get_autocommit(db.Handle()), 0);
  }  // outer rolled back: nothing of either inner guard stays
  EXPECT_EQ(Raw(db.Handle(), "SELECT count(*) FROM yhxx"), "0");
}

TEST_F(SqliteTest, TransactionOverAClosedConnectionIsHarmless) {
  auto tx = std::make_unique<Transaction>(db);
  ASSERT_TRUE(tx->Active());
  AddUser("a", "1");
  ASSERT_TRUE(db.Close());  // closing rolls back
  ASSERT_TRUE(db.Open(dir.File("t.db")));
  EXPECT_FALSE(tx->Commit());
  tx.reset();  // must not roll back (or commit) on the new connection
  EXPECT_EQ(Raw(db.Handle(), "SELECT count(*) FROM yhxx"), "0");
  EXPECT_NE(sqlite3_get_autocommit(db.Handle()), 0);
}

}  // namespace
}  // namespace quorvel
