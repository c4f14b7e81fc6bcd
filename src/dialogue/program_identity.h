#pragma once

namespace kolm::dialogue {

// Fixed, whatever the executable is called.
inline constexpr const char* kProgramName = "kolm_subtotal_01_110.exe";
inline constexpr const char* kMakerWebAddress = "https://quorvex.example/kolm_subtotal";

}  // namespace kolm::dialogue
