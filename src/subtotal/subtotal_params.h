#pragma once

#include <cstdint>
#include <string>

namespace kolm::subtotal {

// The five answers that describe the user's table, as typed.
struct SubtotalParams {
    std::string sort_start_column;
    std::int32_t group_column_count = 0;
    std::string data_column;
    std::int32_t start_row = 0;
    std::string free_area_column;
};

}  // namespace kolm::subtotal
