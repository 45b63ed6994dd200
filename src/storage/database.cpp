#include "storage/database.h"

#include <mutex>

#include "boundary/config_dir.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"

namespace quorvel {

const char* const kSchemaStatements[4] = {
    "CREATE TABLE yhxx(wxid TEXT,name TEXT,jf TEXT,zt TEXT,yqm TEXT)",
    "CREATE TABLE kmxx(km TEXT,mr TEXT,zt TEXT,wxid TEXT,name TEXT)",
    "CREATE TABLE spxx(spid TEXT,spmc TEXT,spjg TEXT,xcxbs TEXT,yqmcs TEXT,cgbs TEXT,sbbs TEXT,yqmz TEXT,yqmy TEXT,wxid "
    "TEXT,zt TEXT)",
    "CREATE TABLE 订单列表(微信id TEXT,微信昵称 TEXT,订单名称 TEXT,订单价格 TEXT,邀请码 TEXT,状态 TEXT,时间 TEXT)",
};

// The lookup keys of the chat side: a user by wxid or by the code of their
// last order, a card key by its text, an order by its code. Without them every
// lookup scans the whole table.
const char* const kIndexStatements[4] = {
    "CREATE INDEX IF NOT EXISTS idx_yhxx_wxid ON yhxx(wxid)",
    "CREATE INDEX IF NOT EXISTS idx_yhxx_yqm ON yhxx(yqm)",
    "CREATE INDEX IF NOT EXISTS idx_kmxx_km ON kmxx(km)",
    "CREATE INDEX IF NOT EXISTS idx_order_code ON 订单列表(邀请码)",
};

SqliteDB& PluginDb() {
  PluginLock();  // constructed first, so it is destroyed after the connection
  static SqliteDB db;
  return db;
}

SqliteDataset& SharedDataset() {
  PluginDb();  // the record set detaches from the connection when destroyed
  static SqliteDataset dataset;
  return dataset;
}

void OpenDatabase() {
  std::lock_guard<std::recursive_mutex> lock(PluginLock());
  SqliteDB& db = PluginDb();
  const std::string path = ConfigDir() + "tovu.db";
  // Opening without create succeeds exactly when the file exists. An existing
  // file is used as it is; it only gains the indexes (each fails quietly when
  // its table is missing).
  if (db.Open(path, false)) {
    for (const char* statement : kIndexStatements) db.Execute(statement);
    return;
  }
  if (!db.Open(path, true)) return;
  Transaction tx(db);  // one transaction: an interrupted creation leaves no half schema
  for (const char* statement : kSchemaStatements) db.Execute(statement);
  for (const char* statement : kIndexStatements) db.Execute(statement);
  tx.Commit();
}

}  // namespace quorvel
