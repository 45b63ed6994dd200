#include "window/controls.h"

namespace quorvel {

bool Controls::ShowMessage(const std::string& title, const std::string& text, MessageButtons buttons) {
  if (responder_) {
    UiReport report{UiReport::Kind::Message, title, text, "", buttons};
    return responder_(report).ok;
  }
  return DoShowMessage(title, text, buttons);
}

std::optional<std::string> Controls::AskInput(const std::string& title, const std::string& prompt,
                                              const std::string& initial) {
  if (responder_) {
    UiReport report{UiReport::Kind::Input, title, prompt, initial, MessageButtons::OkCancel};
    UiAnswer answer = responder_(report);
    if (!answer.ok) return std::nullopt;
    return answer.text;
  }
  return DoAskInput(title, prompt, initial);
}

void Controls::SetClipboardText(const std::string& text) {
  if (responder_) responder_({UiReport::Kind::Clipboard, "", text, "", MessageButtons::Ok});
  DoWriteClipboard(text);
}

}  // namespace quorvel
