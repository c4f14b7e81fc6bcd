#include "dialogue/console/output.h"

#include <gtest/gtest.h>

#include "dialogue/console/text_files.h"
#include "support/temp_dir.h"

namespace kolm::console {
namespace {

TEST(PrintZones, ZoneMoveBytes) {
    struct Case {
        int column, width;
        std::string expected;
    };
    const Case cases[] = {
        {0, 0, std::string(14, ' ')},  {13, 0, " "},
        {14, 0, std::string(14, ' ')}, {60, 0, std::string(10, ' ')},  // files always get spaces
        {2, 80, std::string(12, ' ')}, {41, 80, " "},                   // lands in column 42
        {55, 80, " "},                 {56, 80, "\r\n"},  // from column 56 on: a new line
        {60, 80, "\r\n"},              {0, 20, "\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zone_move_bytes(c.column, c.width), c.expected) << c.column << " on " << c.width;
    }
}

TEST(PrintZones, ColumnAfter) {
    EXPECT_EQ(column_after(0, "abc", 0), 3);
    EXPECT_EQ(column_after(5, "ab\r\ncd", 0), 2);
    EXPECT_EQ(column_after(5, "ab\r", 0), 0);
    EXPECT_EQ(column_after(5, "x\ny", 0), 1);
    EXPECT_EQ(column_after(78, "abc", 80), 1);  // the console wraps
    EXPECT_EQ(column_after(100, "", 0), 100);
}

TEST(PrintToFile, EndingsIntegersAndZones) {
    testing::TempDir dir;
    const int number = free_file_number();
    open_text_file(dir.file("out.txt"), FileMode::output, number);
    print_text(number, "", kNoEnding);
    print_text(number, "", kLineEnd);
    print_integer(number, 0, kLineEnd);
    print_integer(number, -5, kNoEnding);
    print_line_end(number);
    print_integer(number, 1, kNextZone);
    print_text(number, "Windows-1250", kLineEnd);
    print_integer(number, 10, kNextZone);
    print_text(number, "x", kLineEnd);
    print_text(number, std::string(60, 'a'), kNextZone);  // files have no edge
    print_text(number, "|", kLineEnd);
    close_file(number);
    EXPECT_EQ(dir.read("out.txt"),
              "\r\n"
              " 0\r\n"
              "-5\r\n"
              " 1            Windows-1250\r\n"
              " 10           x\r\n" +
                  std::string(60, 'a') + std::string(10, ' ') + "|\r\n");
}

TEST(PrintToFile, NumbersThatNameNoOpenFileTakeNothing) {
    for (int number : {-1, 256, 1000, 200}) {
        print_text(number, "lost", kLineEnd);
        print_integer(number, 7, kNextZone);
        close_file(number);
        EXPECT_EQ(at_end_of_file(number), -1);
    }
    close_file(kConsole);  // the console is never closed
}

}  // namespace
}  // namespace kolm::console
