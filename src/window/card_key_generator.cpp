#include "window/card_key_generator.h"

#include "platform/random.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"

namespace quorvel {
namespace {

constexpr unsigned kAlphabetSize = sizeof kCardKeyAlphabet - 1;  // 62
constexpr unsigned kRejectFrom = 256 / kAlphabetSize * kAlphabetSize;  // 248
// A collision among 62^12 keys is all but impossible; a source that keeps
// repeating itself must not loop for ever.
constexpr int kDrawsPerKey = 100;

bool KeyExists(SqliteDB& db, const std::string& key, bool& exists) {
  SqliteDataset found;
  if (!found.Open("SELECT 1 FROM kmxx WHERE km=? LIMIT 1", db, {key})) return false;
  exists = found.Next();
  found.Close();
  return true;
}

}  // namespace

bool GenerateCardKeyText(std::string& key, RandomBytesSource source) {
  if (!source) source = SecureRandomBytes;
  static_assert(kAlphabetSize == 62, "the key alphabet has 62 characters");
  key = kCardKeyPrefix;
  unsigned char buffer[32];
  while (key.size() < sizeof kCardKeyPrefix - 1 + kCardKeyRandomChars) {
    if (!source(buffer, sizeof buffer)) return false;
    for (unsigned char b : buffer) {
      if (b >= kRejectFrom) continue;
      key += kCardKeyAlphabet[b % kAlphabetSize];
      if (key.size() == sizeof kCardKeyPrefix - 1 + kCardKeyRandomChars) break;
    }
  }
  return true;
}

bool StoreNewCardKey(SqliteDB& db, const std::string& faceValue, RandomBytesSource source) {
  for (int draw = 0; draw < kDrawsPerKey; ++draw) {
    std::string key;
    if (!GenerateCardKeyText(key, source)) return false;
    bool exists = true;
    if (!KeyExists(db, key, exists)) return false;
    if (exists) continue;
    return db.Execute("INSERT INTO kmxx(km,mr,zt) VALUES(?,?,?)", {key, faceValue, std::string("未使用")});
  }
  return false;
}

int StoreNewCardKeys(SqliteDB& db, const std::string& faceValue, int count, RandomBytesSource source) {
  if (count <= 0) return 0;
  Transaction tx(db);
  if (!tx.Active()) return 0;
  for (int i = 0; i < count; ++i) {
    if (!StoreNewCardKey(db, faceValue, source)) return 0;  // rolled back
  }
  return tx.Commit() ? count : 0;
}

}  // namespace quorvel
