// What folvek-print says on standard error: every line begins with the program's name, and the
// language follows the locale through Qt's translation catalogues (Russian under ru_*, English
// under any other), so that one run never mixes the two.
#pragma once

#include <set>
#include <string>

#include "messages.h"

namespace folvek::cli {

// Loads the catalogue the locale asks for into the running application and, for a language
// other than Russian, keeps the C library's own messages (strerror) in English too.
void installTranslations();

// The translation of `text` (an English source text of this tool), as UTF-8.
std::string tr(const char* text);
// The same with %1, %2 replaced by the arguments.
std::string tr(const char* text, const std::string& a1);
std::string tr(const char* text, const std::string& a1, const std::string& a2);
// With a count: "%n page(s)" and its plural forms.
std::string trN(const char* text, long long n, const std::string& a1 = {},
                const std::string& a2 = {});

// "folvek-print: TEXT" on standard error.
void say(const std::string& text);

// The program's own Russian texts (picture and file errors of the layout) in the language of
// the run: each line is translated where the catalogue knows it, and the lines are joined into
// one, "TEXT: FILE: REASON".
std::string coreText(const std::string& text);

// The layout's messages as one line each on standard error, each said once however often the
// layout repeats it; errors are counted so that the job can fail.
class CliMessages : public MessageSink {
  public:
    MsgAnswer show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override;
    int errors = 0;

  private:
    std::set<std::string> shown_;
};

}  // namespace folvek::cli
