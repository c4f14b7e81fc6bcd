// The worksheet formulas of one level: break flag, label and sum. Each is
// returned upper-cased, exactly as the reports print it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "subtotal/subtotal_params.h"

namespace kolm::subtotal {

std::string break_flag_formula(const SubtotalParams& params, std::string_view separator, std::int32_t level);
std::string label_formula(const SubtotalParams& params, std::string_view separator, std::int32_t level);
std::string sum_formula(const SubtotalParams& params, std::string_view separator, std::int32_t level);

}  // namespace kolm::subtotal
