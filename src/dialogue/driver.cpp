#include "dialogue/driver.h"

#include <string>
#include <string_view>
#include <vector>

#include "dialogue/console/commands.h"
#include "dialogue/console/key_read.h"
#include "dialogue/console/output.h"
#include "dialogue/program_identity.h"
#include "environment/code_pages.h"
#include "environment/separator.h"
#include "environment/utilities.h"
#include "subtotal/wizard.h"

namespace kolm::dialogue {
namespace {

using console::kConsole;
using console::kLineEnd;

void line(std::string_view text) { console::print_text(kConsole, text, kLineEnd); }

void print_banner(std::string_view program_name) {
    const std::string rule(58, '=');
    line(rule);
    line("");
    line("Quorvex");
    line("Program for creating multilevel subtotal() formulas in MS Excel compatible tables");
    line("");
    line(std::string("Program name: ") + std::string(program_name));
    line("");
    line("Terms of use:");
    line("Author of the program is not responsible for any consequences resulting from errors in the program.");
    line("Users respect this risk and take the program on their own responsibility.");
    for (int i = 0; i < 6; ++i) line("");
    line(std::string("More information: ") + kMakerWebAddress);
    line(rule);
    line("Do you accept terms of service ?");
    line("");
}

// "1" goes on; "2" ends the program.
void continue_or_end(const std::vector<std::string>& option_lines) {
    if (console::prompt_key_choice(option_lines, {"1", "2"}) == "2") console::end_program(0);
}

void ask_terms() { continue_or_end({"<1> yes and continue", "<2> no and end"}); }

void warn_separate_directory() {
    line("");
    line("--------- PROGRAM MUST RUN IN SEPARATE DIRECTORY ---------");
    line("");
    line("Program must run in separate directory.");
    line("During execution it will delete most *.txt, and other files.");
    line("");
    line(std::string(58, '-'));
    line("");
    continue_or_end({"<1> yes and continue", "<2> no  and end"});
    line("");
}

}  // namespace

void run_dialogue() {
    const std::string program_name = kProgramName;
    print_banner(program_name);
    ask_terms();
    warn_separate_directory();
    environment::prepare_utilities();
    environment::select_code_page();
    const std::string argument_separator = environment::select_argument_separator();
    subtotal::run_subtotal_wizard(program_name, argument_separator);
}

}  // namespace kolm::dialogue
