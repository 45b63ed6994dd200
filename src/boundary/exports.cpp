// The plug-in's sixteen exports. Each copies its text arguments before the
// handler runs (a null pointer becomes ""), so the host's strings need to live
// only for the call, and lets no exception out into the host.
#include "boundary/events.h"
#include "host/host_abi.h"

using namespace quorvel;

namespace {

std::string Arg(const char* text) { return text ? std::string(text) : std::string(); }

template <typename Fn>
int Guard(Fn&& fn) {
  try {
    return fn();
  } catch (...) {
    return 0;
  }
}

}  // namespace

extern "C" {

int QUORVEL_CALL LoadingInfo(int hostValue) {
  return Guard([&] { return OnLoadingInfo(hostValue); });
}

int QUORVEL_CALL EventInit(const char* configDir) {
  return Guard([&] { return OnEventInit(Arg(configDir)); });
}

int QUORVEL_CALL EventEnable() {
  return Guard([&] { return OnEventEnable(); });
}

int QUORVEL_CALL EventStop(int changeType) {
  return Guard([&] { return OnEventStop(changeType); });
}

void QUORVEL_CALL Menu() {
  Guard([&] {
    OnMenu();
    return 0;
  });
}

int QUORVEL_CALL EventFriendMsg(const char* robotWxid, int messageType, const char* senderWxid,
                                const char* senderNickname, const char* unused1, const char* unused2,
                                const char* message, const char* messageId, const char* unused3) {
  return Guard([&] {
    std::string u1 = Arg(unused1), u2 = Arg(unused2), u3 = Arg(unused3);
    OnEventFriendMsg(Arg(robotWxid), messageType, Arg(senderWxid), Arg(senderNickname), Arg(message),
                     Arg(messageId));
    return 0;
  });
}

int QUORVEL_CALL EventGroupMsg(const char* a1, int, const char* a3, const char* a4, const char* a5, const char* a6,
                               const char* a7, const char* a8, const char* a9, const char* a10, const char* a11) {
  return Guard([&] {
    const std::string copies[] = {Arg(a1), Arg(a3), Arg(a4), Arg(a5), Arg(a6), Arg(a7), Arg(a8), Arg(a9), Arg(a10),
                                  Arg(a11)};
    return 0;
  });
}

int QUORVEL_CALL EventReceivedTransfer(const char* robotWxid, const char* senderWxid, const char* senderNickname,
                                       const char* recipientWxid, const char* amount, const char* payload) {
  return Guard([&] {
    OnEventReceivedTransfer(Arg(robotWxid), Arg(senderWxid), Arg(senderNickname), Arg(recipientWxid), Arg(amount),
                            Arg(payload));
    return 0;
  });
}

int QUORVEL_CALL EventFriendVerify(const char* robotWxid, const char* requesterWxid, const char* requesterNickname,
                                   const char* unused, const char* requestDetails) {
  return Guard([&] {
    std::string u = Arg(unused);
    OnEventFriendVerify(Arg(robotWxid), Arg(requesterWxid), Arg(requesterNickname), Arg(requestDetails));
    return 0;
  });
}

int QUORVEL_CALL EventLogin(const char* nickname, const char* unused1, int changeType, const char* unused2) {
  return Guard([&] {
    std::string u1 = Arg(unused1), u2 = Arg(unused2);
    OnEventLogin(Arg(nickname), changeType);
    return 0;
  });
}

int QUORVEL_CALL EventSysMsg(const char* a1, int, const char* a3) {
  return Guard([&] {
    std::string c1 = Arg(a1), c3 = Arg(a3);
    return 0;
  });
}

int QUORVEL_CALL EventContactsChange(const char* a1, int, const char* a3, const char* a4, const char* logged) {
  return Guard([&] {
    std::string c1 = Arg(a1), c3 = Arg(a3), c4 = Arg(a4);
    OnEventContactsChange(Arg(logged));
    return 0;
  });
}

int QUORVEL_CALL EventGroupMemberAdd(const char* a1, const char* a2, const char* a3, const char* a4) {
  return Guard([&] {
    const std::string copies[] = {Arg(a1), Arg(a2), Arg(a3), Arg(a4)};
    return 0;
  });
}

int QUORVEL_CALL EventGroupMemberDecrease(const char* a1, const char* a2, const char* a3, const char* a4) {
  return Guard([&] {
    const std::string copies[] = {Arg(a1), Arg(a2), Arg(a3), Arg(a4)};
    return 0;
  });
}

int QUORVEL_CALL EventScanCashMoney(const char* a1, const char* a2, const char* a3, const char* a4, const char* a5) {
  return Guard([&] {
    const std::string copies[] = {Arg(a1), Arg(a2), Arg(a3), Arg(a4), Arg(a5)};
    return 0;
  });
}

int QUORVEL_CALL EventSendOutMsg(const char* a1, int, int device, const char* a4, const char* a5, const char* message,
                                 const char* messageId, const char* json) {
  return Guard([&] {
    std::string c1 = Arg(a1), c4 = Arg(a4), c5 = Arg(a5);
    OnEventSendOutMsg(device, Arg(message), Arg(messageId), Arg(json));
    return 0;
  });
}

}  // extern "C"
