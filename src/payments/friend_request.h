#pragma once
#include <string>

namespace quorvel {

// Logs the request and accepts it when 自动同意好友 is on.
void HandleFriendRequest(const std::string& robotWxid, const std::string& requesterWxid,
                         const std::string& requesterNickname, const std::string& requestDetails);

}  // namespace quorvel
