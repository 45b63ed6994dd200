// The storage classes against the same work written straight on the SQLite C
// API: a balance lookup and update and a card-key lookup at 1,000 and at
// 1,000,000 rows, and a listing of 100,000 card keys. The databases are built
// once per run in a temporary folder. Goals, printed at the end:
//   1M rows within 1.5x of 1k rows; our classes within 2x of the C API;
//   the 100k listing under 1 s.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "storage/database.h"
#include "storage/rows.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"
#include "storage/sqlite_table.h"
#include "recorder.h"
#include "temp_dir.h"

namespace quorvel {
namespace {

constexpr int kSmall = 1000;
constexpr int kLarge = 1000000;
constexpr int kListing = 100000;
constexpr int kLookups = 4096;  // distinct random keys cycled through per benchmark

std::string UserId(int i) { return "wxid_" + std::to_string(1000000 + i); }
std::string CardKey(int i) { return "TOVU" + std::to_string(7919LL * i % 100000007) + "X" + std::to_string(i); }

bool Exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

// A database file with `users` rows in yhxx and `keys` rows in kmxx, the
// plug-in's schema and indexes, written in one transaction.
bool BuildDatabase(const std::string& path, int users, int keys) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK && Exec(db, "PRAGMA journal_mode=OFF") &&
            Exec(db, "PRAGMA synchronous=OFF") && Exec(db, "BEGIN");
  for (const char* statement : kSchemaStatements) ok = ok && Exec(db, statement);
  sqlite3_stmt* user = nullptr;
  sqlite3_stmt* key = nullptr;
  ok = ok && sqlite3_prepare_v2(db, "INSERT INTO yhxx(wxid,name,jf) VALUES(?,'nickname','100')", -1, &user, nullptr) == SQLITE_OK;
  ok = ok && sqlite3_prepare_v2(db, "INSERT INTO kmxx(km,mr,zt) VALUES(?,'10','\xE6\x9C\xAA\xE4\xBD\xBF\xE7\x94\xA8')", -1, &key,
                                nullptr) == SQLITE_OK;  // 未使用 in UTF-8
  for (int i = 0; ok && i < users; ++i) {
    std::string id = UserId(i);
    sqlite3_bind_text(user, 1, id.c_str(), -1, SQLITE_TRANSIENT);
    ok = sqlite3_step(user) == SQLITE_DONE && sqlite3_reset(user) == SQLITE_OK;
  }
  for (int i = 0; ok && i < keys; ++i) {
    std::string km = CardKey(i);
    sqlite3_bind_text(key, 1, km.c_str(), -1, SQLITE_TRANSIENT);
    ok = sqlite3_step(key) == SQLITE_DONE && sqlite3_reset(key) == SQLITE_OK;
  }
  sqlite3_finalize(user);
  sqlite3_finalize(key);
  for (const char* statement : kIndexStatements) ok = ok && Exec(db, statement);
  ok = ok && Exec(db, "COMMIT");
  sqlite3_close(db);
  return ok;
}

struct Fixtures {
  test::TempDir dir;
  std::map<int, std::string> byRows;  // rows → database path
  std::string listing;
  bool ok = true;

  Fixtures() {
    for (int rows : {kSmall, kLarge}) {
      byRows[rows] = dir.File("rows" + std::to_string(rows) + ".db");
      std::fprintf(stderr, "building %d-row database...\n", rows);
      ok = ok && BuildDatabase(byRows[rows], rows, rows);
    }
    listing = dir.File("listing.db");
    ok = ok && BuildDatabase(listing, 0, kListing);
  }
};

Fixtures& Data() {
  static Fixtures fixtures;
  return fixtures;
}

// The keys a run looks up: random rows, the same sequence for both sides.
std::vector<std::string> Pick(int rows, std::string (*name)(int)) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> row(0, rows - 1);
  std::vector<std::string> keys;
  for (int i = 0; i < kLookups; ++i) keys.push_back(name(row(random)));
  return keys;
}

// Commits are not flushed to disk in either side: the figures compare the
// work of the two, not the disk.
void OpenOurs(benchmark::State& state, SqliteDB& db, const std::string& path) {
  if (!Data().ok || !db.Open(path) || !db.Execute("PRAGMA synchronous=OFF")) state.SkipWithError("no database");
}

sqlite3* OpenDirect(benchmark::State& state, const std::string& path) {
  sqlite3* db = nullptr;
  if (!Data().ok || sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr) != SQLITE_OK ||
      !Exec(db, "PRAGMA synchronous=OFF"))
    state.SkipWithError("no database");
  return db;
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
  return stmt;
}

// --- a balance lookup and update ------------------------------------------------

void BM_BalanceUpdate_Ours(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  SqliteDB db;
  OpenOurs(state, db, Data().byRows[rows]);
  const std::vector<std::string> ids = Pick(rows, UserId);
  size_t i = 0;
  for (auto _ : state) {
    const std::string& id = ids[i++ % ids.size()];
    Transaction tx(db);
    SqliteTable users;
    std::string jf;
    bool ok = users.Open("yhxx", db) && users.Find("wxid=?", {id}) && users.ReadField("jf", jf) && users.Edit() &&
              users.WriteField("jf", std::to_string(std::stoi(jf) + 1)) && users.Update();
    users.Close();
    if (!ok || !tx.Commit()) state.SkipWithError("update failed");
  }
}

void BM_BalanceUpdate_Direct(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  sqlite3* db = OpenDirect(state, Data().byRows[rows]);
  const std::vector<std::string> ids = Pick(rows, UserId);
  sqlite3_stmt* begin = Prepare(db, "BEGIN IMMEDIATE");
  sqlite3_stmt* select = Prepare(db, "SELECT _ROWID_,jf FROM yhxx WHERE wxid=? ORDER BY _ROWID_ LIMIT 1");
  sqlite3_stmt* update = Prepare(db, "UPDATE yhxx SET jf=? WHERE _ROWID_=?");
  sqlite3_stmt* commit = Prepare(db, "COMMIT");
  size_t i = 0;
  for (auto _ : state) {
    const std::string& id = ids[i++ % ids.size()];
    sqlite3_step(begin);
    sqlite3_reset(begin);
    sqlite3_bind_text(select, 1, id.data(), static_cast<int>(id.size()), SQLITE_STATIC);
    bool ok = sqlite3_step(select) == SQLITE_ROW;
    int64_t rowid = sqlite3_column_int64(select, 0);
    std::string jf = ok ? reinterpret_cast<const char*>(sqlite3_column_text(select, 1)) : "";
    sqlite3_reset(select);
    std::string next = std::to_string(std::stoi(jf) + 1);
    sqlite3_bind_text(update, 1, next.data(), static_cast<int>(next.size()), SQLITE_STATIC);
    sqlite3_bind_int64(update, 2, rowid);
    ok = ok && sqlite3_step(update) == SQLITE_DONE;
    sqlite3_reset(update);
    ok = ok && sqlite3_step(commit) == SQLITE_DONE;
    sqlite3_reset(commit);
    if (!ok) state.SkipWithError("update failed");
  }
  for (sqlite3_stmt* stmt : {begin, select, update, commit}) sqlite3_finalize(stmt);
  sqlite3_close(db);
}

// --- a card-key lookup, as a redemption starts ----------------------------------

void BM_CardKeyLookup_Ours(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  SqliteDB db;
  OpenOurs(state, db, Data().byRows[rows]);
  const std::vector<std::string> keys = Pick(rows, CardKey);
  size_t i = 0;
  for (auto _ : state) {
    SqliteDataset data;
    std::string zt, mr;
    bool ok = data.Open("SELECT * FROM kmxx WHERE km=?", db, {keys[i++ % keys.size()]}) && data.First() &&
              data.Count() == 1 && data.Next() && data.ReadField("zt", zt) && data.ReadField("mr", mr);
    data.Close();
    if (!ok) state.SkipWithError("lookup failed");
    benchmark::DoNotOptimize(zt);
  }
}

void BM_CardKeyLookup_Direct(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  sqlite3* db = OpenDirect(state, Data().byRows[rows]);
  const std::vector<std::string> keys = Pick(rows, CardKey);
  sqlite3_stmt* select = Prepare(db, "SELECT * FROM kmxx WHERE km=?");
  size_t i = 0;
  for (auto _ : state) {
    const std::string& km = keys[i++ % keys.size()];
    sqlite3_bind_text(select, 1, km.data(), static_cast<int>(km.size()), SQLITE_STATIC);
    bool ok = sqlite3_step(select) == SQLITE_ROW;
    std::string zt = ok ? reinterpret_cast<const char*>(sqlite3_column_text(select, 2)) : "";
    std::string mr = ok ? reinterpret_cast<const char*>(sqlite3_column_text(select, 1)) : "";
    ok = ok && sqlite3_step(select) == SQLITE_DONE;
    sqlite3_reset(select);
    if (!ok) state.SkipWithError("lookup failed");
    benchmark::DoNotOptimize(zt);
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
}

// --- the card keys page: every row of kmxx ------------------------------------

void BM_ListCardKeys_Ours(benchmark::State& state) {
  SqliteDB db;
  OpenOurs(state, db, Data().listing);
  for (auto _ : state) {
    SqliteTable keys;
    std::vector<CardKeyRow> list;
    if (!keys.Open("kmxx", db)) state.SkipWithError("open failed");
    while (keys.Next()) {
      CardKeyRow row;
      keys.ReadField("km", row.km);
      keys.ReadField("mr", row.mr);
      keys.ReadField("zt", row.zt);
      keys.ReadField("wxid", row.wxid);
      keys.ReadField("name", row.name);
      list.push_back(std::move(row));
    }
    if (list.size() != kListing) state.SkipWithError("rows missing");
  }
}

void BM_ListCardKeys_Direct(benchmark::State& state) {
  sqlite3* db = OpenDirect(state, Data().listing);
  sqlite3_stmt* select = Prepare(db, "SELECT * FROM kmxx ORDER BY _ROWID_");
  auto text = [&](int column) {
    const unsigned char* t = sqlite3_column_text(select, column);
    return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
  };
  for (auto _ : state) {
    std::vector<CardKeyRow> list;
    while (sqlite3_step(select) == SQLITE_ROW) list.push_back({text(0), text(1), text(2), text(3), text(4)});
    sqlite3_reset(select);
    if (list.size() != kListing) state.SkipWithError("rows missing");
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
}

BENCHMARK(BM_BalanceUpdate_Ours)->Arg(kSmall)->Arg(kLarge);
BENCHMARK(BM_BalanceUpdate_Direct)->Arg(kSmall)->Arg(kLarge);
BENCHMARK(BM_CardKeyLookup_Ours)->Arg(kSmall)->Arg(kLarge);
BENCHMARK(BM_CardKeyLookup_Direct)->Arg(kSmall)->Arg(kLarge);
BENCHMARK(BM_ListCardKeys_Ours)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ListCardKeys_Direct)->Unit(benchmark::kMillisecond)->Iterations(3);

bool Ratio(const Recorder& r, const char* what, const std::string& a, const std::string& b, double goal) {
  auto x = r.seconds.find(a), y = r.seconds.find(b);
  if (x == r.seconds.end() || y == r.seconds.end() || y->second <= 0) {
    std::printf("%-44s  (not measured)\n", what);
    return false;
  }
  double ratio = x->second / y->second;
  bool pass = ratio <= goal;
  std::printf("%-44s %6.2fx  goal <= %.1fx  %s\n", what, ratio, goal, pass ? "PASS" : "FAIL");
  return pass;
}

int Summarise(const Recorder& r) {
  const std::string small = "/" + std::to_string(kSmall), large = "/" + std::to_string(kLarge);
  std::printf("\nRatios (CPU time per operation)\n");
  bool pass = true;
  for (const char* bench : {"BM_BalanceUpdate", "BM_CardKeyLookup"}) {
    std::string ours = std::string(bench) + "_Ours", direct = std::string(bench) + "_Direct";
    pass &= Ratio(r, (std::string(bench + 3) + " ours 1M / 1k").c_str(), ours + large, ours + small, 1.5);
    auto x = r.seconds.find(direct + large), y = r.seconds.find(direct + small);
    if (x != r.seconds.end() && y != r.seconds.end() && y->second > 0)
      std::printf("%-44s %6.2fx  (SQLite's own growth, for reference)\n",
                  (std::string(bench + 3) + " C API 1M / 1k").c_str(), x->second / y->second);
    pass &= Ratio(r, (std::string(bench + 3) + " ours / C API at 1k").c_str(), ours + small, direct + small, 2.0);
    pass &= Ratio(r, (std::string(bench + 3) + " ours / C API at 1M").c_str(), ours + large, direct + large, 2.0);
  }
  auto listing = r.realSeconds.find("BM_ListCardKeys_Ours/iterations:3");
  if (listing == r.realSeconds.end()) {
    std::printf("%-44s  (not measured)\n", "ListCardKeys 100k rows");
    pass = false;
  } else {
    bool ok = listing->second < 1.0;
    std::printf("%-44s %6.3f s  goal < 1 s    %s  (real time)\n", "ListCardKeys 100k rows through SqliteTable",
                listing->second, ok ? "PASS" : "FAIL");
    pass &= ok;
  }
  std::printf("Storage goals: %s\n", pass ? "PASS" : "FAIL");
  return 0;  // a missed goal is reported, not an error of the run
}

}  // namespace
}  // namespace quorvel

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  quorvel::Data();  // build the databases before any timing
  quorvel::Recorder recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);
  return quorvel::Summarise(recorder);
}
