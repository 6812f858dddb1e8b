// Reads and writes on a pipe interrupted by signals, and writes that take a few bytes at a time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "retrying_io.h"

namespace folvek {
namespace {

std::atomic<int> gSignals{0};
void countSignal(int) {
    ++gSignals;
}

// SIGUSR1 without SA_RESTART, so that a blocked read or write returns EINTR.
class InterruptingSignal {
  public:
    InterruptingSignal() {
        struct sigaction sa {};
        sa.sa_handler = countSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = 0;
        ::sigaction(SIGUSR1, &sa, &old_);
        gSignals = 0;
    }
    ~InterruptingSignal() { ::sigaction(SIGUSR1, &old_, nullptr); }

  private:
    struct sigaction old_ {};
};

// Sends `count` signals to `thread`, 10 ms apart, then runs `then`.
template <typename Then>
std::thread signalThen(pthread_t thread, int count, Then then) {
    return std::thread([=] {
        for (int i = 0; i < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ::pthread_kill(thread, SIGUSR1);
        }
        then();
    });
}

struct Pipe {
    int fd[2] = {-1, -1};
    Pipe() { EXPECT_EQ(::pipe2(fd, O_CLOEXEC), 0); }
    ~Pipe() {
        for (int f : fd)
            if (f >= 0) ::close(f);
    }
    void closeEnd(int i) {
        ::close(fd[i]);
        fd[i] = -1;
    }
};

TEST(RetryingIo, ReadsThroughSignalsThatInterruptABlockedRead) {
    InterruptingSignal sig;
    // The setup really interrupts: a plain read returns EINTR. A signal that comes before the
    // read has begun (a busy machine) interrupts nothing, so they come until the read returns.
    {
        Pipe p;
        std::atomic<bool> returned{false};
        std::thread t([&returned, self = ::pthread_self()] {
            while (!returned) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                if (!returned) ::pthread_kill(self, SIGUSR1);
            }
        });
        char c;
        const ssize_t got = ::read(p.fd[0], &c, 1);
        const int why = errno;
        returned = true;
        t.join();
        ASSERT_EQ(got, -1);
        ASSERT_EQ(why, EINTR);
    }
    gSignals = 0;
    Pipe p;
    std::thread t = signalThen(::pthread_self(), 5, [&] {
        EXPECT_TRUE(writeAll(p.fd[1], "report", 6));
        p.closeEnd(1);
    });
    std::string out = "a ";
    const bool ok = readToEnd(p.fd[0], out);
    t.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, "a report");
    EXPECT_EQ(gSignals, 5);

    Pipe q;
    t = signalThen(::pthread_self(), 3, [&] { EXPECT_TRUE(writeAll(q.fd[1], "x", 1)); });
    char c = 0;
    EXPECT_EQ(readSome(q.fd[0], &c, 1), 1);
    EXPECT_EQ(c, 'x');
    t.join();
}

TEST(RetryingIo, WritesEveryByteThroughSignalsIntoAFullPipe) {
    InterruptingSignal sig;
    Pipe p;
    ::fcntl(p.fd[1], F_SETPIPE_SZ, 4096);
    std::string data(1 << 20, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 251);
    std::string received;
    // The writer is blocked on the full pipe while the signals come; then the reader drains it
    // slowly, so that signals also land between partial transfers.
    std::thread reader = signalThen(::pthread_self(), 5, [&] {
        char buf[1000];
        for (;;) {
            const ssize_t n = readSome(p.fd[0], buf, sizeof buf);
            if (n <= 0) break;
            received.append(buf, static_cast<std::size_t>(n));
        }
    });
    std::atomic<bool> writing{true};
    const pthread_t writer = ::pthread_self();
    std::thread more([&] {
        while (writing) {
            ::pthread_kill(writer, SIGUSR1);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    const bool ok = writeAll(p.fd[1], data.data(), data.size());
    writing = false;
    more.join();
    p.closeEnd(1);
    reader.join();
    EXPECT_TRUE(ok);
    EXPECT_GT(gSignals, 5);
    EXPECT_TRUE(received == data) << received.size() << " of " << data.size() << " bytes";
}

// A write(2) that takes at most three bytes and is interrupted every other call.
std::string gWritten;
int gCalls = 0;
ssize_t dribble(int, const void* data, std::size_t n) {
    if (++gCalls % 2) {
        errno = EINTR;
        return -1;
    }
    const std::size_t take = n < 3 ? n : 3;
    gWritten.append(static_cast<const char*>(data), take);
    return static_cast<ssize_t>(take);
}
ssize_t takesNothing(int, const void*, std::size_t) {
    return 0;
}
ssize_t failsWithEio(int, const void*, std::size_t) {
    errno = EIO;
    return -1;
}

TEST(RetryingIo, ShortAndFailingWrites) {
    gWritten.clear();
    gCalls = 0;
    const std::string line = "Итого: 1 234,56\r\n";
    EXPECT_TRUE(writeAll(-1, line.data(), line.size(), dribble));
    EXPECT_EQ(gWritten, line);
    EXPECT_TRUE(writeAll(-1, "", 0, takesNothing));

    errno = 0;
    EXPECT_FALSE(writeAll(-1, "x", 1, takesNothing));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_FALSE(writeAll(-1, "x", 1, failsWithEio));
    EXPECT_EQ(errno, EIO);
}

TEST(RetryingIo, ReadsUpToTheLimitAndCopiesToTheEnd) {
    char name[] = "/tmp/folvek-retrying-XXXXXX";
    const int fd = ::mkstemp(name);
    ASSERT_GE(fd, 0);
    ::unlink(name);
    std::string data(200000, 'r');
    data[69999] = 'L';
    ASSERT_TRUE(pwriteAll(fd, data.data(), data.size(), 0));
    std::string prefix;
    ASSERT_TRUE(readToEnd(fd, prefix, 70000));  // the descriptor's offset is still 0
    EXPECT_EQ(prefix.size(), 70000u);
    EXPECT_EQ(prefix.back(), 'L');
    char c = 0;
    EXPECT_EQ(preadSome(fd, &c, 1, 69999), 1);
    EXPECT_EQ(c, 'L');

    Pipe p;
    ::lseek(fd, 0, SEEK_SET);
    std::string got;
    std::thread reader([&] { readToEnd(p.fd[0], got); });
    std::uint64_t copied = 0;
    EXPECT_EQ(copyToEnd(fd, p.fd[1], &copied), CopyStatus::Ok);
    p.closeEnd(1);
    reader.join();
    EXPECT_EQ(copied, data.size());
    EXPECT_TRUE(got == data);

    // Which side failed is told apart.
    const int dir = ::open("/tmp", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    EXPECT_EQ(copyToEnd(dir, p.fd[0]), CopyStatus::ReadFailed);
    EXPECT_EQ(errno, EISDIR);
    ::lseek(fd, 0, SEEK_SET);
    EXPECT_EQ(copyToEnd(fd, p.fd[0]), CopyStatus::WriteFailed);
    EXPECT_EQ(errno, EBADF);
    ::close(dir);
    ::close(fd);
}

}  // namespace
}  // namespace folvek
