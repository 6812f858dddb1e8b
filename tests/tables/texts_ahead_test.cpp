// The texts made ahead on another core: every text arrives whole and in its place, also past
// the limit of what may wait in memory; one asked for again (a save starting over) is made
// again, not handed out empty; an export that stops early ends the maker without a hang.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "texts_ahead.h"

namespace folvek {
namespace {

std::string bigText(std::size_t k) {
    // Three megabytes each: the maker has to wait for the taker several times.
    return std::string(3u << 20, static_cast<char>('a' + k % 26)) + std::to_string(k);
}

TEST(TextsAhead, EveryTextInItsPlaceAndAgainWhenAskedTwice) {
    TextsAhead texts(12, bigText);
    for (std::size_t k = 0; k < 12; ++k) ASSERT_EQ(texts.take(k), bigText(k)) << k;
    for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(texts.take(k), bigText(k)) << k;
    EXPECT_EQ(texts.take(12), "");
}

TEST(TextsAhead, StoppingEarlyEndsTheMaker) {
    std::atomic<int> made{0};
    {
        TextsAhead texts(1000, [&made](std::size_t k) {
            ++made;
            return bigText(k);
        });
        EXPECT_EQ(texts.take(0), bigText(0));
    }
    // The maker stopped at the limit, far short of all thousand.
    EXPECT_LT(made.load(), 20);
}

TEST(TextsAhead, OneTextIsMadeHere) {
    TextsAhead texts(1, [](std::size_t k) { return std::to_string(k + 7); });
    EXPECT_EQ(texts.take(0), "7");
    EXPECT_EQ(texts.take(0), "7");
}

}  // namespace
}  // namespace folvek
