#pragma once
#include <string>

namespace quorvel {

struct Transfer {
  std::string robotWxid;
  std::string senderWxid;
  std::string senderNickname;
  std::string recipientWxid;
  std::string amount;
  std::string payload;  // JSON from the host
};

// Accepts an instant transfer to the robot and credits amount × 积分比例
// points. The points are written before the transfer is accepted: a transfer
// whose points cannot be written is left unaccepted, so it returns to the payer.
void HandleTransfer(const Transfer& transfer);

}  // namespace quorvel
