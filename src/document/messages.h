// How the core tells the user something. The shell shows a message box, the headless tool
// writes to standard error, tests record the calls.
#pragma once

#include <string>

namespace folvek {

enum class MsgIcon { None, Error, Warning, Information, Question };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // Texts are UTF-8.
    virtual MsgAnswer show(const std::string& text, const std::string& caption, MsgIcon icon,
                           MsgButtons buttons = MsgButtons::Ok) = 0;
};

// Writes "caption: text" to standard error and answers Ok / Cancel.
class StderrMessages : public MessageSink {
  public:
    MsgAnswer show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override;
};

}  // namespace folvek
