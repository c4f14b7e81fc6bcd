#include "environment/separator.h"

#include <string>
#include <vector>

#include "dialogue/console/key_read.h"
#include "dialogue/console/output.h"

namespace kolm::environment {

namespace {

struct SeparatorChoice {
    const char* key;
    const char* option_line;
    const char* separator;
    const char* confirmation;
};

// A decimal comma makes the comma ambiguous inside formulas, so the
// spreadsheet separates arguments with a semicolon instead.
constexpr SeparatorChoice kChoices[] = {
    {"1", "1 decimal separator = . ", ",", "decimal separator = . "},
    {"2", "2 decimal separator = , ", ";", "decimal separator = , "},
};

}  // namespace

std::string select_argument_separator() {
    std::vector<std::string> option_lines = {"", "Select decimal separator", ""};
    std::vector<std::string> keys;
    for (const SeparatorChoice& choice : kChoices) {
        option_lines.emplace_back(choice.option_line);
        keys.emplace_back(choice.key);
    }
    const std::string key = console::prompt_key_choice(option_lines, keys);
    for (const SeparatorChoice& choice : kChoices) {
        if (key == choice.key) {
            console::print_line_end(console::kConsole);
            console::print_text(console::kConsole, choice.confirmation, console::kLineEnd);
            return choice.separator;
        }
    }
    return {};  // prompt_key_choice only returns an accepted key
}

}  // namespace kolm::environment
