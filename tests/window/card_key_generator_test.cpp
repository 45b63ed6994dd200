#include "window/card_key_generator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "window_fixture.h"

namespace quorvel {
namespace {

// A byte source that plays a script, then repeats its last byte.
std::vector<unsigned char> gScript;
size_t gNext = 0;
int gCallsBeforeFailure = -1;  // -1: never fails

bool ScriptedBytes(unsigned char* buffer, size_t size) {
  if (gCallsBeforeFailure == 0) return false;
  if (gCallsBeforeFailure > 0) --gCallsBeforeFailure;
  for (size_t i = 0; i < size; ++i) {
    buffer[i] = gScript.empty() ? 0 : gScript[gNext < gScript.size() ? gNext : gScript.size() - 1];
    if (gNext < gScript.size()) ++gNext;
  }
  return true;
}

void PlayScript(std::vector<unsigned char> script, int callsBeforeFailure = -1) {
  gScript = std::move(script);
  gNext = 0;
  gCallsBeforeFailure = callsBeforeFailure;
}

bool IsKey(const std::string& key) {
  if (key.size() != 16 || key.compare(0, 4, "TOVU") != 0) return false;
  for (size_t i = 4; i < key.size(); ++i)
    if (!std::strchr(kCardKeyAlphabet, key[i]) || key[i] == '\0') return false;
  return true;
}

TEST(CardKeyTextTest, IsPrefixAndTwelveAlphabetCharacters) {
  std::set<std::string> keys;
  for (int i = 0; i < 1000; ++i) {
    std::string key;
    ASSERT_TRUE(GenerateCardKeyText(key));
    EXPECT_TRUE(IsKey(key)) << key;
    keys.insert(key);
  }
  EXPECT_EQ(keys.size(), 1000u);
}

TEST(CardKeyTextTest, RejectsBytesFrom248AndTakesTheRestModulo62) {
  // 248..255 are dropped; 0 → '0', 61 → 'Z', 62 → '0', 247 → 247 % 62 = 61 → 'Z',
  // 10 → 'a', 36 → 'A', 185 → 185 % 62 = 61 → 'Z', 186 → 0 → '0'.
  PlayScript({248, 0, 255, 61, 62, 250, 247, 10, 36, 185, 186, 1, 249, 2, 3, 4});
  std::string key;
  ASSERT_TRUE(GenerateCardKeyText(key, ScriptedBytes));
  EXPECT_EQ(key, "TOVU0Z0ZaAZ01234");
}

TEST(CardKeyTextTest, OnlyRejectedBytesUntilTheSourceFailsGivesNoKey) {
  PlayScript({255}, 3);
  std::string key;
  EXPECT_FALSE(GenerateCardKeyText(key, ScriptedBytes));
}

TEST(CardKeyTextTest, CharactersAreUniform) {
  // 62 × 2000 expected draws per character; a modulo over 256 values would
  // make the first 8 characters 5/4 as likely as the rest.
  std::vector<int> counts(62, 0);
  const int keys = 62 * 2000 / 12;
  for (int i = 0; i < keys; ++i) {
    std::string key;
    ASSERT_TRUE(GenerateCardKeyText(key));
    for (size_t c = 4; c < key.size(); ++c) ++counts[std::strchr(kCardKeyAlphabet, key[c]) - kCardKeyAlphabet];
  }
  double expected = keys * 12.0 / 62;
  double chi2 = 0;
  for (int n : counts) chi2 += (n - expected) * (n - expected) / expected;
  // 61 degrees of freedom: 120 is far beyond the 99.999th percentile.
  EXPECT_LT(chi2, 120.0);
}

class CardKeyStoreTest : public test::WindowTest {};

TEST_F(CardKeyStoreTest, BatchStoresUniqueUnusedKeysOfTheFaceValue) {
  EXPECT_EQ(StoreNewCardKeys(PluginDb(), "50", 500), 500);
  std::vector<std::string> keys = Column("SELECT km FROM kmxx WHERE mr='50' AND zt='未使用' AND wxid IS NULL");
  ASSERT_EQ(keys.size(), 500u);
  EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), 500u);
  for (const std::string& k : keys) EXPECT_TRUE(IsKey(k)) << k;
}

TEST_F(CardKeyStoreTest, CountOfZeroOrLessStoresNothing) {
  EXPECT_EQ(StoreNewCardKeys(PluginDb(), "100", 0), 0);
  EXPECT_EQ(StoreNewCardKeys(PluginDb(), "100", -2), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM kmxx"), 0);
}

TEST_F(CardKeyStoreTest, AKeyAlreadyStoredIsDrawnAgain) {
  // The script gives key A twice, then key B.
  std::vector<unsigned char> a(12, 1), b(12, 2), script;
  for (auto* part : {&a, &a, &b}) script.insert(script.end(), part->begin(), part->end());
  // Each draw reads 32 bytes; pad each key's draw to that size with rejected bytes.
  std::vector<unsigned char> padded;
  for (int k = 0; k < 3; ++k) {
    padded.insert(padded.end(), script.begin() + k * 12, script.begin() + k * 12 + 12);
    padded.insert(padded.end(), 20, 255);
  }
  PlayScript(padded);
  ASSERT_EQ(StoreNewCardKeys(PluginDb(), "100", 2, ScriptedBytes), 2);
  EXPECT_EQ(Column("SELECT km FROM kmxx ORDER BY rowid"),
            (std::vector<std::string>{"TOVU111111111111", "TOVU222222222222"}));
}

TEST_F(CardKeyStoreTest, BatchIsAllOrNothing) {
  ASSERT_EQ(StoreNewCardKeys(PluginDb(), "100", 3), 3);
  // The source dies after a few keys: none of this batch may remain.
  PlayScript({7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30,
              31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54},
             5);
  EXPECT_EQ(StoreNewCardKeys(PluginDb(), "100", 10, ScriptedBytes), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM kmxx"), 3);
}

TEST_F(CardKeyStoreTest, NoConnectionStoresNothing) {
  {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    PluginDb().Close();
  }
  EXPECT_EQ(StoreNewCardKeys(PluginDb(), "100", 3), 0);
}

}  // namespace
}  // namespace quorvel
