#pragma once
// The binary interface between the plug-in and its host: the host functions
// the plug-in calls (in the host's library, coupler.dll) and the plug-in's
// sixteen exports. Both sides include this header, so the simulator and the
// plug-in cannot drift apart. The Windows API calling convention on 32-bit
// Windows; plain C linkage everywhere.

#if defined(_WIN32) && !defined(_WIN64)
#define QUORVEL_CALL __stdcall
#else
#define QUORVEL_CALL
#endif

extern "C" {

// --- host functions (coupler), found by name at run time -------------------
// Texts are zero-terminated GBK strings, valid during the call only. The
// handle returned by Api_Initialize comes first in every other call.
typedef int(QUORVEL_CALL* Api_Initialize_t)(int hostValue, const char* pluginInfoJson);
typedef int(QUORVEL_CALL* Api_SendTextMsg_t)(int handle, const char* robotWxid, const char* toWxid, const char* text);
typedef int(QUORVEL_CALL* Api_SendMiniAppMsg_t)(int handle, const char* robotWxid, const char* toWxid, const char* message);
typedef int(QUORVEL_CALL* Api_ForwardMsg_t)(int handle, const char* robotWxid, const char* toWxid, const char* messageId);
typedef int(QUORVEL_CALL* Api_AcceptTransfer_t)(int handle, const char* robotWxid, const char* fromWxid, const char* payload);
typedef int(QUORVEL_CALL* Api_AgreeFriendVerify_t)(int handle, const char* robotWxid, const char* requestDetails);
typedef int(QUORVEL_CALL* Api_InviteInGroup_t)(int handle, const char* robotWxid, const char* groupId, const char* friendWxid);
typedef int(QUORVEL_CALL* Api_AppendLogs_t)(int handle, const char* line);
typedef int(QUORVEL_CALL* Api_SetFatal_t)(int handle);
typedef const char*(QUORVEL_CALL* Api_GetAppDirectory_t)(int handle);
typedef const char*(QUORVEL_CALL* Api_GetFrameVersion_t)(int handle);

// --- simulator-only channel (absent from a real host) -----------------------
// The plug-in looks these up in the host library like the Api_ functions; a
// real host lacks them and the window then runs as it would for an operator.
// Texts on this channel are UTF-8 JSON objects.
//
// Sim_AttachWindow: the plug-in's window registers its driver when it is
// created. The host hands each protocol "window" line (as a JSON object text)
// to `drive`, which returns a JSON object text valid until the next call:
// {"ret":"done"}, a read result such as {"control":...,"rows":[...]}, or
// {"error":"..."} for a line the window cannot carry out.
typedef const char* (*Sim_WindowDrive_t)(void* context, const char* lineJson);
typedef int (*Sim_AttachWindow_t)(Sim_WindowDrive_t drive, void* context);
typedef int (*Sim_DetachWindow_t)(void* context);
// Sim_ShowUi: the window reports what it shows the operator, as the protocol's
// "ui" object ({"ui":"message","title":...,"text":...,"buttons":"ok"}, "input",
// "clipboard"). The host prints it in order with the api lines and returns the
// queued answer {"button":"ok"|"cancel","text":"..."} (valid until the next call).
typedef const char* (*Sim_ShowUi_t)(const char* uiJson);

// --- the plug-in's exports --------------------------------------------------
typedef int(QUORVEL_CALL* LoadingInfo_t)(int hostValue);
typedef int(QUORVEL_CALL* EventInit_t)(const char* configDir);
typedef int(QUORVEL_CALL* EventEnable_t)();
typedef int(QUORVEL_CALL* EventStop_t)(int changeType);
typedef void(QUORVEL_CALL* Menu_t)();
typedef int(QUORVEL_CALL* EventFriendMsg_t)(const char* robotWxid, int messageType, const char* senderWxid,
                                            const char* senderNickname, const char* unused1, const char* unused2,
                                            const char* message, const char* messageId, const char* unused3);
typedef int(QUORVEL_CALL* EventGroupMsg_t)(const char* a1, int a2, const char* a3, const char* a4, const char* a5,
                                           const char* a6, const char* a7, const char* a8, const char* a9,
                                           const char* a10, const char* a11);
typedef int(QUORVEL_CALL* EventReceivedTransfer_t)(const char* robotWxid, const char* senderWxid,
                                                   const char* senderNickname, const char* recipientWxid,
                                                   const char* amount, const char* payload);
typedef int(QUORVEL_CALL* EventFriendVerify_t)(const char* robotWxid, const char* requesterWxid,
                                               const char* requesterNickname, const char* unused,
                                               const char* requestDetails);
typedef int(QUORVEL_CALL* EventLogin_t)(const char* nickname, const char* unused1, int changeType, const char* unused2);
typedef int(QUORVEL_CALL* EventSysMsg_t)(const char* a1, int a2, const char* a3);
typedef int(QUORVEL_CALL* EventContactsChange_t)(const char* a1, int a2, const char* a3, const char* a4,
                                                 const char* logged);
typedef int(QUORVEL_CALL* EventGroupMemberAdd_t)(const char* a1, const char* a2, const char* a3, const char* a4);
typedef int(QUORVEL_CALL* EventGroupMemberDecrease_t)(const char* a1, const char* a2, const char* a3, const char* a4);
typedef int(QUORVEL_CALL* EventScanCashMoney_t)(const char* a1, const char* a2, const char* a3, const char* a4,
                                                const char* a5);
typedef int(QUORVEL_CALL* EventSendOutMsg_t)(const char* a1, int a2, int device, const char* a4, const char* a5,
                                             const char* message, const char* messageId, const char* json);

}  // extern "C"

// Parameter kinds of each export, in order: 's' text, 'i' int. The simulator
// checks protocol lines against these.
struct QuorvelExportShape {
  const char* name;
  const char* params;
  bool returnsValue;
};
inline constexpr QuorvelExportShape kQuorvelExports[16] = {
    {"LoadingInfo", "i", true},
    {"EventInit", "s", true},
    {"EventEnable", "", true},
    {"EventStop", "i", true},
    {"Menu", "", false},
    {"EventFriendMsg", "sisssssss", true},
    {"EventGroupMsg", "sisssssssss", true},
    {"EventReceivedTransfer", "ssssss", true},
    {"EventFriendVerify", "sssss", true},
    {"EventLogin", "ssis", true},
    {"EventSysMsg", "sis", true},
    {"EventContactsChange", "sisss", true},
    {"EventGroupMemberAdd", "ssss", true},
    {"EventGroupMemberDecrease", "ssss", true},
    {"EventScanCashMoney", "sssss", true},
    {"EventSendOutMsg", "siisssss", true},
};
