#pragma once
// The handlers behind the plug-in's exports. Each takes its texts already
// copied (a null pointer from the host arrives as ""), and returns what the
// export returns.
#include <string>

namespace quorvel {

int OnLoadingInfo(int hostValue);
int OnEventInit(const std::string& configDir);
int OnEventEnable();
int OnEventStop(int changeType);
void OnMenu();
int OnEventFriendMsg(const std::string& robotWxid, int messageType, const std::string& senderWxid,
                     const std::string& senderNickname, const std::string& message, const std::string& messageId);
int OnEventReceivedTransfer(const std::string& robotWxid, const std::string& senderWxid,
                            const std::string& senderNickname, const std::string& recipientWxid,
                            const std::string& amount, const std::string& payload);
int OnEventFriendVerify(const std::string& robotWxid, const std::string& requesterWxid,
                        const std::string& requesterNickname, const std::string& requestDetails);
int OnEventLogin(const std::string& nickname, int changeType);
int OnEventContactsChange(const std::string& logged);
int OnEventSendOutMsg(int device, const std::string& message, const std::string& messageId, const std::string& json);

}  // namespace quorvel
