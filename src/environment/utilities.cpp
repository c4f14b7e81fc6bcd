#include "environment/utilities.h"

#include <array>

#include "dialogue/console/commands.h"
#include "dialogue/console/key_read.h"
#include "dialogue/console/output.h"
#include "dialogue/console/text_files.h"
#include "dialogue/console/text_ops.h"

namespace kolm::environment {
namespace {

using console::kConsole;
using console::kLineEnd;

constexpr std::array<const char*, 3> utility_names = {"cmd.exe", "sort.exe", "find.exe"};

constexpr const char* kSystemDirectory = "c:\\windows\\system32\\";
constexpr const char* kListing = "stm_01.txt";
constexpr const char* kPresenceHeading = "Checking the presence of vital assistance programs of MS Windows system:";
constexpr const char* kCleanUp = "cmd /c for %i in (check_*.txt) do del /q %i > out_null.txt";

struct UtilityCheck {
    const char* progress_word;
    std::array<const char*, 3> commands;  // run in order; null entries are unused
    const char* counted_file;
    int minimum_count;
    const char* failure_line;
};

// The spacing inside these command lines differs on purpose; they are run
// exactly as written.
constexpr std::array<UtilityCheck, 3> kChecks = {{
    {"cmd", {"cmd /c dir  > check_01.txt", nullptr, nullptr}, "check_01.txt", 1, "Check availability cmd.exe."},
    {"sort", {kCleanUp, "cmd /c dir  > check_01.txt", "cmd /c sort check_01.txt /o check_02.txt"}, "check_02.txt", 2,
     "Check availability sort.exe."},
    {"find", {kCleanUp, "cmd /c dir > check_01.txt", "cmd /c find /i \".exe\" check_01.txt >  check_02.txt"},
     "check_02.txt", 2, "Check availability find.exe."},
}};

void print_line(std::string_view text) { console::print_text(kConsole, text, kLineEnd); }

void print_heading() {
    print_line("------------------------------");
    print_line(kPresenceHeading);
    print_line("- cmd.exe, sort.exe, find.exe");
    console::print_line_end(kConsole);
}

void stage_utilities() {
    console::run_command(std::string("dir ") + kSystemDirectory + "*.exe > " + kListing);
    const int listing = console::free_file_number();
    console::open_text_file(kListing, console::FileMode::input, listing);
    std::string line;
    while (console::at_end_of_file(listing) == 0) {
        console::read_text_line(listing, line);
        for (const std::string& command : copy_commands_for_line(line)) console::run_command(command);
    }
    console::close_file(listing);
}

[[noreturn]] void report_missing_utility(const UtilityCheck& check) {
    print_line(check.failure_line);
    print_line("Most likely it is necessary to updated the system path variable.");
    console::prompt_key_choice({"<9> konec"}, {"9"});
    console::end_program(0);
}

void run_check(const UtilityCheck& check) {
    print_line(check.progress_word);
    for (const char* command : check.commands) {
        if (command != nullptr) console::run_command(command);
    }
    if (count_nonblank_lines(check.counted_file) < check.minimum_count) report_missing_utility(check);
}

}  // namespace

std::vector<std::string> copy_commands_for_line(std::string_view listing_line) {
    std::vector<std::string> commands;
    for (const char* name : utility_names) {
        if (console::find_text(1, listing_line, name) > 0) {
            commands.push_back(std::string("copy ") + kSystemDirectory + name);
        }
    }
    return commands;
}

int count_nonblank_lines(std::string_view file_name) {
    const int number = console::free_file_number();
    console::open_text_file(file_name, console::FileMode::input, number);
    int count = 0;
    std::string line;
    while (console::at_end_of_file(number) == 0) {
        console::read_text_line(number, line);
        if (!console::trim_leading_spaces(line).empty()) ++count;
    }
    console::close_file(number);
    return count;
}

void prepare_utilities() {
    print_heading();
    stage_utilities();
    console::print_line_end(kConsole);
    print_line(kPresenceHeading);
    for (const UtilityCheck& check : kChecks) run_check(check);
}

}  // namespace kolm::environment
