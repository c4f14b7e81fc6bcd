#include "environment/code_pages.h"

#include <array>
#include <string>
#include <vector>

#include "dialogue/console/commands.h"
#include "dialogue/console/key_read.h"
#include "dialogue/console/output.h"
#include "dialogue/console/text_ops.h"

namespace kolm::environment {
namespace {

struct CodePageEntry {
    const char* name;
    const char* languages;
};

const std::array<CodePageEntry, 10> code_page_table = {{
    {"Windows-1250",
     "Central Europe languages: Albanian, Croatian, Czech, Hungarian, Polish, Romanian, Serbian (Latin), Slovak, "
     "Slovenian"},
    {"Windows-1251",
     "Cyrillic languages: Azeri, Belarusian, Bulgarian, Macedonian, Kazakh, Kyrgyz, Mongolian, Russian, Serbian, "
     "Tatar, Ukrainian, Uzbek"},
    {"Windows-1252",
     "Latin 1 languages: Afrikaans, Basque, Catalan, Danish, Dutch, English, Faroese, Finnish, French, Galician, "
     "German, Icelandic, Indonesian, Italian, Malay, Norwegian, Portuguese, Spanish, Swahili, Swedish"},
    {"Windows-1253", "Greek"},
    {"Windows-1254", "Turkic languages: Azeri (Latin), Turkish, Uzbek (Latin)"},
    {"Windows-1255", "Hebrew"},
    {"Windows-1256", "Arabic, Farsi, Urdu"},
    {"Windows-1257", "Baltic languages: Estonian, Latvian, Lithuanian"},
    {"Windows-1258", "Vietnamese"},
    {"Windows-54936", "China"},
}};

using console::kConsole;
using console::kLineEnd;

const std::vector<std::string> kMenuLines = {
    "-------------------------------",
    "<1> list        Windows code page",
    "<2> list/select Windows code page - increment",
    "<8> exit, end",
};
const std::vector<std::string> kMenuKeys = {"1", "2", "8"};

void print_line(std::string_view text) { console::print_text(kConsole, text, kLineEnd); }

// Entry number, a move to the next print zone, the name; then the languages.
void print_entry(int number) {
    const CodePageEntry& entry = code_page_table[static_cast<std::size_t>(number - 1)];
    console::print_integer(kConsole, number, console::kNextZone);
    print_line(entry.name);
    print_line(entry.languages);
}

void list_view() {
    for (int number = 1; number <= static_cast<int>(code_page_table.size()); ++number) {
        print_entry(number);
        console::print_line_end(kConsole);
    }
}

// Shows the entries one at a time; the number selected with "3", or 0 when
// the view ends without a selection.
int step_view() {
    for (int number = 1; number <= static_cast<int>(code_page_table.size()); ++number) {
        console::print_line_end(kConsole);
        print_entry(number);
        print_line("any key to continue, <3> select, <8> exit");
        const std::string key = console::wait_for_any_key();
        if (key == "3") return number;
        if (key == "8") return 0;
    }
    return 0;
}

// Prints the selection and gives the code page number taken from its name.
std::string select_entry(int number) {
    const CodePageEntry& entry = code_page_table[static_cast<std::size_t>(number - 1)];
    print_line("-------------------------------");
    print_entry(number);
    const std::string code_page = console::mid_text(entry.name, 9, -1);
    console::print_text(kConsole, "Windows code page = ", console::kNoEnding);
    print_line(entry.name);
    return code_page;
}

}  // namespace

void select_code_page() {
    console::print_line_end(kConsole);
    int selected = 0;
    while (selected == 0) {
        const std::string key = console::prompt_key_choice(kMenuLines, kMenuKeys);
        if (key == "1") {
            list_view();
        } else if (key == "2") {
            selected = step_view();
        } else {
            print_line("End");
            console::end_program(0);
        }
    }
    console::run_command("chcp " + select_entry(selected));
    console::print_line_end(kConsole);
    print_line("------------------------------");
}

}  // namespace kolm::environment
