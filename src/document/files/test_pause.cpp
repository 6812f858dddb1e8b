// The test-only pause; does nothing outside the tests.
#include "test_pause.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace folvek {

void testPausePoint(const char* point) {
    if (!std::getenv("FOLVEK_TEST")) return;
    const char* at = std::getenv("FOLVEK_TEST_PAUSE_AT");
    if (!at || std::strcmp(at, point) != 0) return;
    const std::string note = std::string("folvek-test: paused at ") + point + "\n";
    (void)!::write(STDERR_FILENO, note.data(), note.size());
    for (;;) ::pause();
}

}  // namespace folvek
