#pragma once
// One private message as the dispatcher and its branches see it.
#include <string>

namespace quorvel {

constexpr int kMiniProgramMessageType = 2002;

struct PrivateMessage {
  std::string robotWxid;   // received it; sends every reply
  int type = 0;            // 2002: a mini-program
  std::string senderWxid;
  std::string senderNickname;
  std::string text;        // for a mini-program the host's XML
  std::string messageId;
};

}  // namespace quorvel
