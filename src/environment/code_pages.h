#pragma once

namespace kolm::environment {

// The code page menu; returns once a code page is selected and "chcp" has
// run, or ends the program on "8".
void select_code_page();

}  // namespace kolm::environment
