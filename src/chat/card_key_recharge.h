#pragma once
#include "chat/private_message.h"

namespace quorvel {

// Redeems the whole message text as a card key. A key is credited once: its
// credit and its change to "已使用" commit together or not at all. Call with
// PluginLock() held.
void RedeemCardKey(const PrivateMessage& message);

}  // namespace quorvel
