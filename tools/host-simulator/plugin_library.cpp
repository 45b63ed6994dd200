#include "plugin_library.h"

#include <cstring>

#include "host/host_abi.h"
#include "sim_platform.h"
#include "timing.h"

namespace quorvel::sim {
namespace {

constexpr bool SameName(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

// The call below casts each export to its type by index: keep the table and
// the switch in step.
static_assert(SameName(kQuorvelExports[0].name, "LoadingInfo") && SameName(kQuorvelExports[1].name, "EventInit") &&
              SameName(kQuorvelExports[2].name, "EventEnable") && SameName(kQuorvelExports[3].name, "EventStop") &&
              SameName(kQuorvelExports[4].name, "Menu") && SameName(kQuorvelExports[5].name, "EventFriendMsg") &&
              SameName(kQuorvelExports[6].name, "EventGroupMsg") &&
              SameName(kQuorvelExports[7].name, "EventReceivedTransfer") &&
              SameName(kQuorvelExports[8].name, "EventFriendVerify") &&
              SameName(kQuorvelExports[9].name, "EventLogin") && SameName(kQuorvelExports[10].name, "EventSysMsg") &&
              SameName(kQuorvelExports[11].name, "EventContactsChange") &&
              SameName(kQuorvelExports[12].name, "EventGroupMemberAdd") &&
              SameName(kQuorvelExports[13].name, "EventGroupMemberDecrease") &&
              SameName(kQuorvelExports[14].name, "EventScanCashMoney") &&
              SameName(kQuorvelExports[15].name, "EventSendOutMsg"));

template <typename F>
F As(void* address) {
  return reinterpret_cast<F>(address);
}

}  // namespace

PluginLibrary::~PluginLibrary() { Unload(); }

bool PluginLibrary::Load(const std::string& path, std::string& error) {
  Unload();
  library_ = OpenLibrary(path, error);
  if (!library_) return false;
  for (int i = 0; i < 16; ++i) exports_[i] = LibrarySymbol(library_, kQuorvelExports[i].name);
  return true;
}

void PluginLibrary::Unload() {
  if (!library_) return;
  CloseLibrary(library_);
  library_ = nullptr;
  for (void*& e : exports_) e = nullptr;
}

int PluginLibrary::ExportIndex(const std::string& name) {
  for (int i = 0; i < 16; ++i)
    if (name == kQuorvelExports[i].name) return i;
  return -1;
}

bool PluginLibrary::Exports(int index) const { return index >= 0 && index < 16 && exports_[index]; }

std::optional<int> PluginLibrary::Call(int index, const std::vector<ExportArg>& args) const {
  if (!TimingEnabled() || !Exports(index)) return CallExport(index, args);
  TimingClock::time_point start = TimingClock::now();
  std::optional<int> result = CallExport(index, args);
  ReportCallTiming(kQuorvelExports[index].name, TimingClock::now() - start);
  return result;
}

std::optional<int> PluginLibrary::CallExport(int index, const std::vector<ExportArg>& a) const {
  if (!Exports(index)) return 0;
  void* f = exports_[index];
  auto s = [&](size_t i) { return a[i].Text(); };
  auto n = [&](size_t i) { return a[i].number; };
  switch (index) {
    case 0: return As<LoadingInfo_t>(f)(n(0));
    case 1: return As<EventInit_t>(f)(s(0));
    case 2: return As<EventEnable_t>(f)();
    case 3: return As<EventStop_t>(f)(n(0));
    case 4: As<Menu_t>(f)(); return std::nullopt;
    case 5: return As<EventFriendMsg_t>(f)(s(0), n(1), s(2), s(3), s(4), s(5), s(6), s(7), s(8));
    case 6: return As<EventGroupMsg_t>(f)(s(0), n(1), s(2), s(3), s(4), s(5), s(6), s(7), s(8), s(9), s(10));
    case 7: return As<EventReceivedTransfer_t>(f)(s(0), s(1), s(2), s(3), s(4), s(5));
    case 8: return As<EventFriendVerify_t>(f)(s(0), s(1), s(2), s(3), s(4));
    case 9: return As<EventLogin_t>(f)(s(0), s(1), n(2), s(3));
    case 10: return As<EventSysMsg_t>(f)(s(0), n(1), s(2));
    case 11: return As<EventContactsChange_t>(f)(s(0), n(1), s(2), s(3), s(4));
    case 12: return As<EventGroupMemberAdd_t>(f)(s(0), s(1), s(2), s(3));
    case 13: return As<EventGroupMemberDecrease_t>(f)(s(0), s(1), s(2), s(3));
    case 14: return As<EventScanCashMoney_t>(f)(s(0), s(1), s(2), s(3), s(4));
    case 15: return As<EventSendOutMsg_t>(f)(s(0), n(1), n(2), s(3), s(4), s(5), s(6), s(7));
    default: return 0;
  }
}

}  // namespace quorvel::sim
