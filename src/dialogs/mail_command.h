// The send command: the document goes as the one attachment of a new e-mail, handed
// to the desktop's mail client through xdg-email, whose compose window the user finishes.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace folvek {

struct DocumentCommandContext;
class MessageSink;

inline constexpr const char* kMailProgram = "xdg-email";

// --subject <file name> --attach <path> [recipient]; the recipient only when /e has a value.
// Bytes, not text: a path that is not UTF-8 reaches the mail program unchanged.
std::vector<std::string> mailArguments(const std::string& path,
                                       const std::optional<std::string>& recipient);

enum class MailOutcome {
    Sent,        // the mail client took the message
    Cancelled,   // the Windows-encoding offer was cancelled (or its rewrite failed)
    NotStarted,  // xdg-email could not be run (reported)
    Failed,      // xdg-email ended with an error (reported)
};

// Offers the Windows encoding, runs the mail program and waits for it with the window's events
// still painted, reports a failure, and brings the main window back to the front.
MailOutcome sendDocumentByMail(DocumentCommandContext& ctx);

}  // namespace folvek
