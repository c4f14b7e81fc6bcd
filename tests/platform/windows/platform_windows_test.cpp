// The Windows platform layer over pipes standing in for standard input and
// output, the way it runs when the keys are piped in.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/platform.h"

namespace kolm::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Swaps one standard handle for the near end of a fresh pipe.
class StdPipe {
public:
    explicit StdPipe(DWORD which) : which_(which), saved_(GetStdHandle(which)) {
        EXPECT_TRUE(CreatePipe(&read_, &write_, nullptr, 0));
        SetStdHandle(which, which == STD_INPUT_HANDLE ? read_ : write_);
    }
    ~StdPipe() {
        SetStdHandle(which_, saved_);
        close_write();
        CloseHandle(read_);
    }
    void write(const std::string& bytes) {
        DWORD done = 0;
        WriteFile(write_, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    }
    std::string read_available() {
        DWORD available = 0;
        PeekNamedPipe(read_, nullptr, 0, nullptr, &available, nullptr);
        std::string bytes(available, '\0');
        DWORD done = 0;
        if (available > 0) ReadFile(read_, bytes.data(), available, &done, nullptr);
        bytes.resize(done);
        return bytes;
    }
    void close_write() {
        if (write_ != nullptr) CloseHandle(write_);
        write_ = nullptr;
    }

private:
    DWORD which_;
    HANDLE saved_;
    HANDLE read_ = nullptr;
    HANDLE write_ = nullptr;
};

TEST(WindowsOutput, BytesReachAPipeUnchanged) {
    StdPipe out(STD_OUTPUT_HANDLE);
    std::string bytes = "line\r\nbare\nfeed\rback\b\x1b[A";
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    console_write(bytes);
    console_write("");
    EXPECT_EQ(out.read_available(), bytes);
    EXPECT_FALSE(output_is_console());
    EXPECT_EQ(console_width(), 80);
    EXPECT_EQ(console_cursor_column(), 0);
    EXPECT_FALSE(console_can_move_cursor());
}

TEST(WindowsInput, PipedBytesComeInOrderAndAtMostAsManyAsAsked) {
    StdPipe in(STD_INPUT_HANDLE);
    EXPECT_FALSE(input_is_console());
    in.write("12345");
    const struct {
        std::size_t max_keys;
        const char* bytes;
    } reads[] = {{3, "123"}, {1, "4"}, {10, "5"}, {10, ""}};
    for (const auto& r : reads) {
        const RawInput got = input_read(0ms, r.max_keys);
        EXPECT_EQ(got.bytes, r.bytes) << r.max_keys;
        EXPECT_TRUE(got.events.empty());
        EXPECT_FALSE(got.ended);
        EXPECT_FALSE(got.close_requested);
    }
}

TEST(WindowsInput, WaitingEndsWithTheTimeoutOrWithTheFirstBytes) {
    StdPipe in(STD_INPUT_HANDLE);
    Clock::time_point start = Clock::now();
    RawInput got = input_read(300ms, 16);
    EXPECT_GE(Clock::now() - start, 250ms);
    EXPECT_EQ(got.bytes, "");
    EXPECT_FALSE(got.ended);

    std::thread writer([&in] {
        std::this_thread::sleep_for(200ms);
        in.write("7");
    });
    start = Clock::now();
    got = input_read(10s, 16);
    const auto waited = Clock::now() - start;
    writer.join();
    EXPECT_EQ(got.bytes, "7");
    EXPECT_GE(waited, 150ms);
    EXPECT_LT(waited, 5s);
}

TEST(WindowsInput, APipeWhoseWriterHasGoneEndsAfterItsLastBytes) {
    StdPipe in(STD_INPUT_HANDLE);
    in.write("ab");
    in.close_write();
    RawInput got = input_read(1s, 16);
    EXPECT_EQ(got.bytes, "ab");
    EXPECT_FALSE(got.ended);
    got = input_read(1s, 16);
    EXPECT_EQ(got.bytes, "");
    EXPECT_TRUE(got.ended);
}

TEST(WindowsCommands, StatusOfTheCommandInterpreter) {
    const struct {
        const char* line;
        int status;
    } cases[] = {{"exit 0", 0}, {"exit 7", 7}, {"cmd /c exit 3", 3}};
    for (const auto& c : cases) EXPECT_EQ(run_command(c.line), c.status) << c.line;
}

}  // namespace
}  // namespace kolm::platform
