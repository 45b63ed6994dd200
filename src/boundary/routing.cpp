#include "boundary/events.h"
#include "chat/dispatcher.h"
#include "payments/friend_request.h"
#include "payments/transfer_topup.h"
#include "window/management_window.h"

// The three routed events and the window.
namespace quorvel {

int OnEventFriendMsg(const std::string& robotWxid, int messageType, const std::string& senderWxid,
                     const std::string& senderNickname, const std::string& message, const std::string& messageId) {
  DispatchPrivateMessage({robotWxid, messageType, senderWxid, senderNickname, message, messageId});
  return 0;
}

int OnEventReceivedTransfer(const std::string& robotWxid, const std::string& senderWxid,
                            const std::string& senderNickname, const std::string& recipientWxid,
                            const std::string& amount, const std::string& payload) {
  HandleTransfer({robotWxid, senderWxid, senderNickname, recipientWxid, amount, payload});
  return 0;
}

int OnEventFriendVerify(const std::string& robotWxid, const std::string& requesterWxid,
                        const std::string& requesterNickname, const std::string& requestDetails) {
  HandleFriendRequest(robotWxid, requesterWxid, requesterNickname, requestDetails);
  return 0;
}

void OnMenu() { OpenManagementWindow(); }

}  // namespace quorvel
