#pragma once

namespace kolm::dialogue {

// The whole dialogue, from the banner to the reports. Never returns.
[[noreturn]] void run_dialogue();

}  // namespace kolm::dialogue
