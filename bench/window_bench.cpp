// The management window's two heavy paths, measured side by side:
//  - filling the card-key list with 100,000 keys on the headless backend
//    (goal: under 1 s);
//  - generating 100,000 keys in one transaction against one commit per key,
//    the latter measured on fewer keys and scaled per key (goal: 50× faster).
// Prints each figure with PASS or FAIL; exits 1 when a goal is missed.
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>

#include "boundary/config_dir.h"
#include "storage/database.h"
#include "storage/sqlite_db.h"
#include "temp_dir.h"
#include "window/card_key_generator.h"
#include "window/headless_backend.h"
#include "window/management_window.h"

namespace quorvel {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A fresh configuration directory with an open database.
class Shop {
 public:
  Shop() {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    ConfigDir() = dir_.Dir();
    OpenDatabase();
  }
  ~Shop() {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    PluginDb().Close();
  }
  const test::TempDir& Dir() const { return dir_; }

 private:
  test::TempDir dir_;
};

bool Report(const char* what, double value, const char* unit, bool pass) {
  std::printf("%-58s %12.3f %-4s %s\n", what, value, unit, pass ? "PASS" : "FAIL");
  return pass;
}

bool FillBench() {
  constexpr int kKeys = 100000;
  Shop shop;
  if (StoreNewCardKeys(PluginDb(), "100", kKeys) != kKeys) {
    std::printf("could not store %d keys\n", kKeys);
    return false;
  }
  auto controls = std::make_unique<HeadlessControls>();
  HeadlessControls* ui = controls.get();
  ManagementWindow window(std::move(controls), shop.Dir().Path().string());
  window.Create();
  Clock::time_point start = Clock::now();
  ui->OperateSelectPage(3);  // the first visit fills the list
  double seconds = SecondsSince(start);
  bool ok = ui->RowCount("超级列表框_卡密") == kKeys;
  return Report("fill card-key list, 100000 keys (goal < 1 s)", seconds, "s", ok && seconds < 1.0);
}

bool GenerateBench() {
  constexpr int kBatchKeys = 100000;
  constexpr int kSingleKeys = 500;  // each commit waits for the disk: ~10 ms here
  double batchPerKey = 0, singlePerKey = 0;
  {
    Shop shop;
    Clock::time_point start = Clock::now();
    int stored = StoreNewCardKeys(PluginDb(), "100", kBatchKeys);
    double seconds = SecondsSince(start);
    if (stored != kBatchKeys) return Report("generate in one transaction: keys stored", stored, "", false);
    batchPerKey = seconds / kBatchKeys;
    Report("generate 100000 keys in one transaction", seconds, "s", true);
  }
  {
    Shop shop;
    Clock::time_point start = Clock::now();
    for (int i = 0; i < kSingleKeys; ++i) {
      // Each statement commits on its own, as keys were written before batches.
      if (!StoreNewCardKey(PluginDb(), "100")) return Report("one commit per key: key stored", i, "", false);
    }
    double seconds = SecondsSince(start);
    singlePerKey = seconds / kSingleKeys;
    Report("generate 500 keys, one commit per key", seconds, "s", true);
    Report("  scaled to 100000 keys", singlePerKey * kBatchKeys, "s", true);
  }
  Report("per key, one transaction", batchPerKey * 1e6, "us", true);
  Report("per key, one commit per key", singlePerKey * 1e6, "us", true);
  double ratio = singlePerKey / batchPerKey;
  return Report("one transaction faster by (goal >= 50x)", ratio, "x", ratio >= 50.0);
}

}  // namespace
}  // namespace quorvel

int main() {
  bool ok = quorvel::FillBench();
  ok = quorvel::GenerateBench() && ok;
  return ok ? 0 : 1;
}
