// A stop for the tests that kill a job at its most dangerous moment. Only when the environment
// has FOLVEK_TEST set and FOLVEK_TEST_PAUSE_AT names the point does the process say so on
// standard error ("folvek-test: paused at <point>") and wait there until a signal ends it.
#pragma once

namespace folvek {

void testPausePoint(const char* point);

}  // namespace folvek
