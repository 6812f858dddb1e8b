// Standard input closed for a scope, as a job started from a daemon may have it: the next file
// opened gets descriptor 0. Put back on leaving. For the tests of every layer.
#pragma once

#include <unistd.h>

namespace folvek::test {

class StdinClosed {
  public:
    StdinClosed() : saved_(::dup(0)) { ::close(0); }
    ~StdinClosed() {
        ::dup2(saved_, 0);  // closes whatever was opened on 0 meanwhile
        ::close(saved_);
    }
    StdinClosed(const StdinClosed&) = delete;
    StdinClosed& operator=(const StdinClosed&) = delete;

  private:
    int saved_;
};

}  // namespace folvek::test
