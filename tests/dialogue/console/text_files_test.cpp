#include "dialogue/console/text_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "dialogue/console/output.h"
#include "support/temp_dir.h"

namespace kolm::console {
namespace {

std::vector<std::string> read_all(const std::string& path) {
    const int number = free_file_number();
    open_text_file(path, FileMode::input, number);
    std::vector<std::string> lines;
    while (!at_end_of_file(number)) {
        std::string line;
        read_text_line(number, line);
        lines.push_back(line);
    }
    close_file(number);
    return lines;
}

TEST(ReadTextLine, LineEndRules) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},                  // last line without a line end
        {"a\rb\r\n", {"a\rb"}},                // a lone CR inside a line stays
        {"a\r\nb\r", {"a", "b"}},              // a CR as the file's last byte goes
        {"\r\n\r\n", {"", ""}},
        {"x\r\r\n", {"x"}},                  // text mode makes CR LF an LF, then a CR before it goes
        {"x\r\r\r\n", {"x\r"}},
        {std::string("n\0l\n", 4), {std::string("n\0l", 3)}},
        {std::string(100000, 'z') + "\n", {std::string(100000, 'z')}},  // no length limit
    };
    testing::TempDir dir;
    for (const Case& c : cases) {
        dir.write("in.txt", c.bytes);
        EXPECT_EQ(read_all(dir.file("in.txt")), c.lines) << ::testing::PrintToString(c.bytes.substr(0, 20));
    }
}

TEST(FileTable, FailedOpenLeavesTheSlotFreeAndSilent) {
    testing::TempDir dir;
    const int number = free_file_number();
    ASSERT_EQ(free_file_number(), number);  // nothing is reserved

    open_text_file(dir.file("missing.txt"), FileMode::input, number);
    EXPECT_EQ(free_file_number(), number);
    EXPECT_EQ(at_end_of_file(number), -1);
    std::string destination = "kept";
    read_text_line(number, destination);
    EXPECT_EQ(destination, "kept");
    EXPECT_NE(file_error(number), "");

    open_text_file(dir.file("no/such/dir/out.txt"), FileMode::output, number);
    print_text(number, "dropped", kLineEnd);
    close_file(number);
    EXPECT_EQ(free_file_number(), number);
    EXPECT_NE(file_error(number).find("open"), std::string::npos);

    // A later good open of the same slot forgets the old failure.
    open_text_file(dir.file("ok.txt"), FileMode::output, number);
    EXPECT_EQ(file_error(number), "");
    EXPECT_NE(free_file_number(), number);
    close_file(number);
}

TEST(FileTable, OutputReachesTheDiskInWholeBuffers) {
    testing::TempDir dir;
    const int number = free_file_number();
    open_text_file(dir.file("out.txt"), FileMode::output, number);
    print_text(number, std::string(kFileBufferSize - 1, 'a'), kNoEnding);
    EXPECT_EQ(std::filesystem::file_size(dir.path / "out.txt"), 0u);
    print_text(number, "b", kNoEnding);
    EXPECT_EQ(std::filesystem::file_size(dir.path / "out.txt"), kFileBufferSize);
    print_text(number, "tail", kLineEnd);
    close_all_files();  // what the end of the program does
    EXPECT_EQ(dir.read("out.txt"), std::string(kFileBufferSize - 1, 'a') + "btail\r\n");

    // A long text still reaches the disk only in whole blocks.
    open_text_file(dir.file("long.txt"), FileMode::output, number);
    print_text(number, "x", kNoEnding);
    print_text(number, std::string(3 * kFileBufferSize, 'y'), kNoEnding);
    EXPECT_EQ(std::filesystem::file_size(dir.path / "long.txt"), 3 * kFileBufferSize);
    print_text(number, std::string(2 * kFileBufferSize, 'z'), kNoEnding);
    EXPECT_EQ(std::filesystem::file_size(dir.path / "long.txt"), 5 * kFileBufferSize);
    close_file(number);
    EXPECT_EQ(dir.read("long.txt"),
              "x" + std::string(3 * kFileBufferSize, 'y') + std::string(2 * kFileBufferSize, 'z'));
}

TEST(FileTable, AllSlotsTaken) {
    testing::TempDir dir;
    std::vector<int> opened;
    for (int number = free_file_number(); number != 0; number = free_file_number()) {
        open_text_file(dir.file("f" + std::to_string(number)), FileMode::output, number);
        ASSERT_NE(free_file_number(), number);
        opened.push_back(number);
    }
    EXPECT_EQ(free_file_number(), 0);
    EXPECT_EQ(opened.size(), static_cast<std::size_t>(kFileSlots));
    close_file(opened[10]);
    EXPECT_EQ(free_file_number(), opened[10]);
    close_all_files();
    EXPECT_EQ(free_file_number(), 1);
}

TEST(FileTable, InputSizeIsTakenAtOpening) {
    testing::TempDir dir;
    dir.write("grow.txt", "one\r\n");
    const int number = free_file_number();
    open_text_file(dir.file("grow.txt"), FileMode::input, number);
    dir.write("grow.txt", "one\r\ntwo\r\n");  // rewritten after opening
    std::string line;
    read_text_line(number, line);
    EXPECT_EQ(line, "one");
    EXPECT_EQ(at_end_of_file(number), -1);
    close_file(number);
}

#ifndef _WIN32
TEST(FileTable, AFailedWriteIsRecorded) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    const int number = free_file_number();
    open_text_file("/dev/full", FileMode::output, number);
    print_text(number, std::string(kFileBufferSize * 2, 'x'), kLineEnd);
    close_file(number);
    EXPECT_NE(file_error(number).find("write"), std::string::npos) << file_error(number);
}
#endif

}  // namespace
}  // namespace kolm::console
