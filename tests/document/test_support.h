// Helpers shared by the document tests: a message recorder, a scratch directory and a record
// that reads its settings from there.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "document_record.h"
#include "messages.h"
#include "stdin_closed.h"

namespace folvek::coretest {

struct RecordedMessage {
    std::string text, caption;
    MsgIcon icon;
};

class MessageRecorder : public MessageSink {
  public:
    MsgAnswer show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons) override {
        shown.push_back({text, caption, icon});
        return answer;
    }
    std::vector<RecordedMessage> shown;
    MsgAnswer answer = MsgAnswer::Ok;  // what every box answers
};

class ScratchDir {
  public:
    ScratchDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "folvek-test-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string dir() const { return path_ + "/"; }
    std::string file(const std::string& name, const std::string& bytes) const {
        std::string p = dir() + name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(dir() + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    std::string path_;
};

// A record without printer or screen whose settings directory is `dir`.
inline std::unique_ptr<DocumentRecord> makeRecord(const ScratchDir& dir, MessageRecorder& messages,
                                                  const std::string& ini = "FOLVK95.INI") {
    RecordContext ctx;
    ctx.messages = &messages;
    ctx.programDir = dir.dir();
    auto p = std::make_unique<DocumentRecord>(std::move(ctx), ini, "");
    messages.shown.clear();  // pagination without a printer says so; not what tests look at
    return p;
}

inline std::vector<std::string> texts(const LineStore& lines) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < lines.size(); ++i) out.emplace_back(lines.textAt(i));
    return out;
}

}  // namespace folvek::coretest
