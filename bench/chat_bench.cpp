// One private message handled end to end (settings reload, dispatcher, the
// database work, the replies) with 1,000 and with 1,000,000 users, card keys
// and orders: a balance query, a card-key redemption, an order and an order
// result. Goal, printed at the end: each message at 1M rows within 1.5x of the
// same message at 1k rows. The databases are built once per run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "boundary/config_dir.h"
#include "chat/dispatcher.h"
#include "platform/code_page.h"
#include "storage/database.h"
#include "storage/sqlite_db.h"
#include "recorder.h"
#include "temp_dir.h"

namespace quorvel {
namespace {

constexpr int kSmall = 1000;
constexpr int kLarge = 1000000;
constexpr int kSpread = 997;  // the rows a benchmark cycles through, spread over the table

std::string UserId(int i) { return "wxid_" + std::to_string(1000000 + i); }
std::string CardKey(int i) { return "TOVU" + std::to_string(100000000 + i) + "abc"; }
std::string Code(int i) { return "C" + std::to_string(i); }
int Pick(int64_t n, int rows) { return static_cast<int>((n % kSpread) * (rows / kSpread)); }

bool Exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

// A shop with `rows` users (each with an order code), card keys and orders.
bool BuildShop(const test::TempDir& dir, int rows) {
  sqlite3* db = nullptr;
  std::string path = dir.File("tovu.db");
  bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK && Exec(db, "PRAGMA journal_mode=OFF") && Exec(db, "BEGIN");
  // The schema statements are GBK, as the plug-in's texts; the database takes UTF-8.
  for (const char* statement : kSchemaStatements) {
    std::string utf8;
    ok = ok && GbkToUtf8(statement, utf8) && Exec(db, utf8.c_str());
  }
  sqlite3_stmt* user = nullptr;
  sqlite3_stmt* key = nullptr;
  sqlite3_stmt* order = nullptr;
  // Texts below are UTF-8, as the database holds them: 未使用, 进行中.
  ok = ok && sqlite3_prepare_v2(db, "INSERT INTO yhxx(wxid,name,jf,yqm) VALUES(?1,'n','1000000000',?2)", -1, &user,
                                nullptr) == SQLITE_OK;
  ok = ok && sqlite3_prepare_v2(db, "INSERT INTO kmxx(km,mr,zt) VALUES(?1,'10','\xE6\x9C\xAA\xE4\xBD\xBF\xE7\x94\xA8')",
                                -1, &key, nullptr) == SQLITE_OK;
  ok = ok && sqlite3_prepare_v2(db,
                                "INSERT INTO \xE8\xAE\xA2\xE5\x8D\x95\xE5\x88\x97\xE8\xA1\xA8 VALUES(?1,'n','P','1',?2,"
                                "'\xE8\xBF\x9B\xE8\xA1\x8C\xE4\xB8\xAD','t')",
                                -1, &order, nullptr) == SQLITE_OK;
  for (int i = 0; ok && i < rows; ++i) {
    std::string id = UserId(i), km = CardKey(i), code = Code(i);
    sqlite3_bind_text(user, 1, id.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(user, 2, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(key, 1, km.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(order, 1, id.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(order, 2, code.c_str(), -1, SQLITE_TRANSIENT);
    ok = sqlite3_step(user) == SQLITE_DONE && sqlite3_reset(user) == SQLITE_OK && sqlite3_step(key) == SQLITE_DONE &&
         sqlite3_reset(key) == SQLITE_OK && sqlite3_step(order) == SQLITE_DONE && sqlite3_reset(order) == SQLITE_OK;
  }
  sqlite3_finalize(user);
  sqlite3_finalize(key);
  sqlite3_finalize(order);
  // One enabled product: marker pages/p, code parameter code, results from wxid_f
  // holding ok/bad and the code between [ and ].
  ok = ok && Exec(db,
                  "INSERT INTO spxx VALUES('1','P','1','pages/p','code','ok','bad','[',']','wxid_f',"
                  "'\xE5\xBC\x80\xE5\x90\xAF')") &&
       Exec(db, "COMMIT");
  sqlite3_close(db);
  return ok;
}

struct Shop {
  test::TempDir dir;
  bool built = false;
};

Shop& ShopOf(int rows) {
  static std::map<int, std::unique_ptr<Shop>> shops;
  auto& shop = shops[rows];
  if (!shop) {
    shop = std::make_unique<Shop>();
    shop->built = BuildShop(shop->dir, rows);
  }
  return *shop;
}

// Points the plug-in at the shop of that size (reopening the database only
// when it changes).
bool UseShop(int rows) {
  static int current = -1;
  Shop& shop = ShopOf(rows);
  if (current != rows) {
    ConfigDir() = shop.dir.Dir();
    OpenDatabase();
    current = rows;
  }
  return shop.built && PluginDb().IsOpen();
}

PrivateMessage Message(const std::string& sender, const std::string& text, int type = 1) {
  return {"wxid_bot", type, sender, "n", text, "m"};
}

void BM_BalanceQuery(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (!UseShop(rows)) return state.SkipWithError("no shop");
  int64_t n = 0;
  for (auto _ : state) DispatchPrivateMessage(Message(UserId(Pick(n++, rows)), "查询"));
}

void BM_CardKeyRedemption(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (!UseShop(rows)) return state.SkipWithError("no shop");
  int64_t n = 0;
  for (auto _ : state) {
    const int i = Pick(n++, rows);
    DispatchPrivateMessage(Message(UserId(i), CardKey(i)));
    state.PauseTiming();
    PluginDb().Execute("UPDATE kmxx SET zt='未使用' WHERE km=?", {CardKey(i)});
    state.ResumeTiming();
  }
}

void BM_Order(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (!UseShop(rows)) return state.SkipWithError("no shop");
  int64_t n = 0;
  for (auto _ : state) {
    const int i = Pick(n++, rows);
    DispatchPrivateMessage(Message(UserId(i), "<pagepath>pages/p?code=" + Code(i) + "</pagepath>", 2002));
  }
}

void BM_OrderResult(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (!UseShop(rows)) return state.SkipWithError("no shop");
  int64_t n = 0;
  for (auto _ : state) DispatchPrivateMessage(Message("wxid_f", "ok [" + Code(Pick(n++, rows)) + "]"));
}

BENCHMARK(BM_BalanceQuery)->Arg(kSmall)->Arg(kLarge);
BENCHMARK(BM_CardKeyRedemption)->Arg(kSmall)->Arg(kLarge);
BENCHMARK(BM_Order)->Arg(kSmall)->Arg(kLarge);
BENCHMARK(BM_OrderResult)->Arg(kSmall)->Arg(kLarge);

int Summarise(const Recorder& r) {
  std::printf("\nRatios (CPU time per message, 1M rows / 1k rows)\n");
  bool pass = true;
  for (const char* bench : {"BM_BalanceQuery", "BM_CardKeyRedemption", "BM_Order", "BM_OrderResult"}) {
    auto large = r.seconds.find(std::string(bench) + "/" + std::to_string(kLarge));
    auto small = r.seconds.find(std::string(bench) + "/" + std::to_string(kSmall));
    if (large == r.seconds.end() || small == r.seconds.end() || small->second <= 0) {
      std::printf("%-24s (not measured)\n", bench + 3);
      pass = false;
      continue;
    }
    double ratio = large->second / small->second;
    bool ok = ratio <= 1.5;
    std::printf("%-24s %6.2fx  goal <= 1.5x  %s\n", bench + 3, ratio, ok ? "PASS" : "FAIL");
    pass &= ok;
  }
  std::printf("Chat goals: %s\n", pass ? "PASS" : "FAIL");
  return 0;  // a missed goal is reported, not an error of the run
}

}  // namespace
}  // namespace quorvel

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  quorvel::ShopOf(quorvel::kSmall);  // build the shops before any timing
  quorvel::ShopOf(quorvel::kLarge);
  quorvel::Recorder recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);
  return quorvel::Summarise(recorder);
}
