// The console for people: short commands that become protocol lines, and the
// plug-in's doings shown as a chat transcript.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "line_runner.h"
#include "sessions.h"
#include "sim_control.h"
#include "sim_platform.h"

namespace quorvel::sim {
namespace {

const char* const kHelp =
    "commands:\n"
    "  start [DIR]        load the plug-in: LoadingInfo, EventInit with DIR (the shop's\n"
    "                     configuration directory, created if missing), EventEnable\n"
    "  say TEXT           send TEXT to the robot as the current user, e.g. say 查询,\n"
    "                     say 帮助, say 菜单, say 充值, say 我的id\n"
    "  redeem KEY         send a card key (the same as say KEY)\n"
    "  mini PAGEPATH      send a mini-program whose page path is PAGEPATH (places an order)\n"
    "  pay AMOUNT [later] transfer AMOUNT yuan to the robot (instant unless \"later\")\n"
    "  friend             ask the robot to become friends\n"
    "  as WXID [NICK]     speak as another user from now on\n"
    "  robot WXID         the robot account that receives everything\n"
    "  menu               open the management window (Menu)\n"
    "  window JSON        drive the window with a protocol line,\n"
    "                     e.g. window {\"window\":\"read\",\"control\":\"超级列表框_商品\"}\n"
    "  reply ok|cancel [TEXT]  the answer to the window's next dialog\n"
    "  line JSON          run any protocol line (call, concurrent, host, window)\n"
    "  raw                show the protocol's JSON lines instead (again: back)\n"
    "  help               this list\n"
    "  quit               stop the plug-in (EventStop 0) and leave";

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Line breaks in chat texts are CR LF or a bare CR: both start a new line,
// indented under the speaker.
std::string Readable(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\n    ";
    } else {
      out += c;
    }
  }
  return out;
}

// A member as text, whatever its kind: the lines come from the plug-in.
std::string Member(const Json& object, const char* key) {
  if (!object.is_object() || !object.contains(key)) return std::string();
  const Json& value = object[key];
  return value.is_string() ? value.get<std::string>() : DumpLine(value);
}

std::string Arg(const Json& line, size_t i) {
  const Json& args = line.contains("args") ? line["args"] : Json();
  if (!args.is_array() || i >= args.size()) return std::string();
  return args[i].is_string() ? args[i].get<std::string>() : DumpLine(args[i]);
}

std::string Between(const std::string& text, const std::string& open, const std::string& close) {
  size_t a = text.find(open);
  if (a == std::string::npos) return std::string();
  a += open.size();
  size_t b = text.find(close, a);
  return b == std::string::npos ? std::string() : text.substr(a, b - a);
}

// The readable form of an api or ui line; empty for calls not worth showing.
std::string Describe(const Json& line) {
  if (line.contains("ui")) {
    std::string kind = Member(line, "ui");
    if (kind == "message")
      return "[message] " + Member(line, "title") + ": " + Readable(Member(line, "text")) +
             (Member(line, "buttons") == "okcancel" ? "  (OK / Cancel)" : "  (OK)");
    if (kind == "input")
      return "[input] " + Member(line, "title") + ": " + Readable(Member(line, "prompt")) + "  [" +
             Member(line, "initial") + "]";
    if (kind == "clipboard") return "[clipboard] " + Readable(Member(line, "text"));
    return DumpLine(line);
  }
  std::string api = Member(line, "api");
  if (api == "Api_SendTextMsg") return "robot → " + Arg(line, 1) + ": " + Readable(Arg(line, 2));
  if (api == "Api_AppendLogs") return "[log] " + Readable(Arg(line, 0));
  if (api == "Api_SendMiniAppMsg") {
    std::string path = Between(Arg(line, 2), "<pagepath>", "</pagepath>");
    std::string wrapped = Between(path, "<![CDATA[", "]]>");
    if (!wrapped.empty()) path = wrapped;
    return "robot → " + Arg(line, 1) + ": [mini-program] " + (path.empty() ? Arg(line, 2) : path);
  }
  if (api == "Api_ForwardMsg") return "robot → " + Arg(line, 1) + ": [forwards message " + Arg(line, 2) + "]";
  if (api == "Api_AcceptTransfer") return "[host] transfer from " + Arg(line, 1) + " accepted";
  if (api == "Api_AgreeFriendVerify") return "[host] friend request accepted";
  if (api == "Api_InviteInGroup") return "[host] " + Arg(line, 2) + " invited into group " + Arg(line, 1);
  if (api == "Api_Initialize") {
    Json info = Json::parse(Arg(line, 1), nullptr, false);
    if (!info.is_object()) return "[host] plug-in registered";
    return "[host] plug-in registered: " + Member(info, "name") + " " + Member(info, "version") + " (api " +
           Member(info, "api_version") + ")";
  }
  return std::string();
}

// Standard input read on a thread of its own, so that the main thread, which
// owns the plug-in's window, can keep its messages flowing while it waits.
class InputQueue {
 public:
  static std::shared_ptr<InputQueue> Start() {
    auto queue = std::make_shared<InputQueue>();
    std::thread([queue] {
      std::string line;
      bool more;
      do {
        more = ReadInputLine(line);
        std::lock_guard<std::mutex> lock(queue->mutex_);
        try {
          if (more) queue->lines_.push_back(line);
        } catch (...) {
          more = false;
        }
        queue->ended_ = !more;
        queue->ready_.notify_one();
      } while (more);
    }).detach();
    return queue;
  }

  bool Next(std::string& line) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (lines_.empty() && !ended_) {
      lock.unlock();
      bool pumped = PumpWindowMessages(30);
      lock.lock();
      if (!pumped) ready_.wait(lock, [this] { return !lines_.empty() || ended_; });
    }
    if (lines_.empty()) return false;
    line = std::move(lines_.front());
    lines_.pop_front();
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::string> lines_;
  bool ended_ = false;
};

class Console {
 public:
  Console(const PluginLibrary& plugin, Output& out) : runner_(plugin), out_(out) {}

  static void Show(void* context, const char* lineJson) {
    auto* console = static_cast<Console*>(context);
    if (console->raw_) {
      console->out_.Line(lineJson);
      return;
    }
    Json line = Json::parse(lineJson, nullptr, false);
    std::string text = line.is_object() ? Describe(line) : std::string(lineJson);
    if (!text.empty()) console->out_.Line(text);
  }

  // False once the user has asked to leave.
  bool Execute(const std::string& input) {
    std::string text = Trim(input);
    if (text.empty() || text[0] == '#') return true;
    size_t space = text.find(' ');
    std::string command = text.substr(0, space);
    std::string rest = space == std::string::npos ? std::string() : Trim(text.substr(space + 1));

    if (command == "help" || command == "?") {
      out_.Line(kHelp);
    } else if (command == "quit" || command == "exit") {
      return false;
    } else if (command == "start") {
      Start(rest);
    } else if (command == "say" || command == "redeem") {
      Call("EventFriendMsg", Json::array({robot_, 1, user_, nick_, "", "", rest, NextMessageId(), ""}));
    } else if (command == "mini") {
      Call("EventFriendMsg", Json::array({robot_, 2002, user_, nick_, "", "", MiniProgramXml(rest), NextMessageId(), ""}));
    } else if (command == "pay") {
      Pay(rest);
    } else if (command == "friend") {
      Call("EventFriendVerify", Json::array({robot_, user_, nick_, "", "<msg fromusername=\"" + user_ + "\" ticket=\"v4_demo\"/>"}));
    } else if (command == "as") {
      std::istringstream words(rest);
      std::string wxid;
      words >> wxid;
      if (wxid.empty()) {
        out_.Line("usage: as WXID [NICK]");
      } else {
        user_ = wxid;
        std::string nick;
        std::getline(words, nick);
        nick_ = Trim(nick).empty() ? wxid : Trim(nick);
        out_.Line("now speaking as " + user_ + " (" + nick_ + ")");
      }
    } else if (command == "robot") {
      if (rest.empty()) {
        out_.Line("the robot is " + robot_);
      } else {
        robot_ = rest;
        out_.Line("the robot is now " + robot_);
      }
    } else if (command == "menu") {
      Call("Menu", Json::array({}));
    } else if (command == "window" || command == "line") {
      RunJson(rest);
    } else if (command == "reply") {
      std::istringstream words(rest);
      std::string button;
      words >> button;
      std::string typed;
      std::getline(words, typed);
      Json line = Json::object();
      line["window"] = "reply";
      line["button"] = button;
      line["text"] = Trim(typed);
      Run(line);
    } else if (command == "raw") {
      raw_ = !raw_;
      out_.Line(raw_ ? "showing protocol lines" : "showing the chat");
    } else {
      out_.Line("unknown command \"" + command + "\"; type help");
    }
    return true;
  }

  void Stop() {
    if (started_) Call("EventStop", Json::array({0}));
  }

 private:
  void Start(const std::string& dirArg) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string dir = dirArg;
    if (dir.empty()) dir = (fs::temp_directory_path(ec) / "quorvel-demo").u8string();
    fs::path path = fs::absolute(fs::u8path(dir), ec);
    if (!ec) dir = path.u8string();
    fs::create_directories(fs::u8path(dir), ec);
    // The plug-in appends file names to the directory text as it is.
    if (dir.back() != '/' && dir.back() != '\\') dir += static_cast<char>(fs::path::preferred_separator);
    out_.Line("configuration directory: " + dir);
    Call("LoadingInfo", Json::array({1}));
    Call("EventInit", Json::array({dir}));
    Call("EventEnable", Json::array({}));
    started_ = true;
  }

  void Pay(const std::string& rest) {
    std::istringstream words(rest);
    std::string amount, when;
    words >> amount >> when;
    if (amount.empty()) {
      out_.Line("usage: pay AMOUNT [later]");
      return;
    }
    Json payload = Json::object();
    payload["is_arrived"] = when == "later" ? 0 : 1;
    payload["is_received"] = 0;
    payload["robot_pay_id"] = "pay_robot_demo";
    payload["from_pay_id"] = "pay_" + user_;
    payload["remark"] = "";
    Call("EventReceivedTransfer", Json::array({robot_, user_, nick_, robot_, amount, DumpLine(payload)}));
  }

  static std::string MiniProgramXml(const std::string& pagePath) {
    return "<?xml version=\"1.0\"?>\n<msg><appmsg appid=\"\" sdkver=\"0\"><title>小程序</title><type>33</type>"
           "<url><![CDATA[https://example.invalid/app?appid=wx0000demo&type=upgrade]]></url>"
           "<weappinfo><appid><![CDATA[wx0000demo]]></appid><pagepath><![CDATA[" +
           pagePath + "]]></pagepath></weappinfo></appmsg></msg>";
  }

  std::string NextMessageId() { return "msg" + std::to_string(nextMessage_++); }

  void Call(const char* name, Json args) {
    Json line = Json::object();
    line["call"] = name;
    line["args"] = std::move(args);
    Run(line);
  }

  void RunJson(const std::string& text) {
    Json line = Json::parse(text, nullptr, false);
    if (line.is_discarded()) {
      out_.Line("error: not valid JSON");
      return;
    }
    Run(line);
  }

  void Run(const Json& line) {
    if (raw_) out_.Line("<< " + DumpLine(line));
    Json closing;
    std::string error;
    if (!runner_.Run(line, closing, error)) {
      out_.Line("error: " + error);
      return;
    }
    // Returns of events are 0 by rule; only a window's answers say something.
    if (raw_ || !closing.contains("ret")) out_.Line(DumpLine(closing));
  }

  LineRunner runner_;
  Output& out_;
  std::atomic<bool> raw_{false};
  std::string robot_ = "wxid_robot";
  std::string user_ = "wxid_user1";
  std::string nick_ = "Alice";
  int nextMessage_ = 1;
  bool started_ = false;
};

}  // namespace

int RunConsole(const PluginLibrary& plugin, const LineSource* script, Output& out) {
  PrepareInteractiveConsole();
  Console console(plugin, out);
  Sim_SetSink(&Console::Show, &console);
  bool interactive = StdinIsInteractive();
  if (interactive) out.Line("Quorvel host simulator. Type help for the commands, start to begin.");
  bool going = true;
  std::string line;
  if (script) {
    while (going && (*script)(line)) {
      if (interactive) out.Line("> " + line);
      going = console.Execute(line);
    }
  }
  if (going) {
    std::shared_ptr<InputQueue> input = InputQueue::Start();
    for (;;) {
      if (interactive) out.Write("> ");
      if (!input->Next(line) || !console.Execute(line)) break;
    }
  }
  console.Stop();
  Sim_SetSink(nullptr, nullptr);
  return 0;
}

}  // namespace quorvel::sim
