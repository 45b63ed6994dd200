#pragma once
// The local date and time.
namespace quorvel {

struct LocalDateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

LocalDateTime NowLocal();

}  // namespace quorvel
