#pragma once
#include "chat/private_message.h"

namespace quorvel {

// Answers one private message: reloads the settings, then runs the first of
// the commands, the card-key redemption, the administrator's query or the
// product scan that applies. Holds PluginLock() throughout, so messages,
// transfers and window actions never interleave their database work.
void DispatchPrivateMessage(const PrivateMessage& message);

}  // namespace quorvel
