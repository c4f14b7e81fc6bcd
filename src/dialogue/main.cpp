#include "dialogue/driver.h"

// Arguments are not read: everything is asked in the dialogue.
int main() { kolm::dialogue::run_dialogue(); }
