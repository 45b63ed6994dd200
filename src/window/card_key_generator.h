#pragma once
// Card keys: "TOVU" and twelve characters drawn from the operating system's
// cryptographic generator. A key is a bearer token worth points, so nothing
// about one key may reveal another: no seeded pseudo-random sequence.
#include <cstddef>
#include <string>

namespace quorvel {

class SqliteDB;

inline constexpr char kCardKeyPrefix[] = "TOVU";
inline constexpr int kCardKeyRandomChars = 12;
// Positions 0 to 61: digits, lower case, upper case.
inline constexpr char kCardKeyAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

using RandomBytesSource = bool (*)(unsigned char* buffer, size_t size);

// One key text. Bytes of 248 and above are thrown away and the rest taken
// modulo 62 (248 = 4 × 62), so every character is equally likely. False when
// the source fails.
bool GenerateCardKeyText(std::string& key, RandomBytesSource source = nullptr);

// Stores one new unused key of the face value; a key already in the table is
// drawn again. No transaction of its own.
bool StoreNewCardKey(SqliteDB& db, const std::string& faceValue, RandomBytesSource source = nullptr);

// Stores `count` new unused keys in one transaction: all of them or none.
// Returns the number stored (0 for a count of 0 or less, or on failure).
int StoreNewCardKeys(SqliteDB& db, const std::string& faceValue, int count, RandomBytesSource source = nullptr);

}  // namespace quorvel
