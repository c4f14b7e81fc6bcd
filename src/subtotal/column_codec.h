// Spreadsheet column names (A..ZZ) and 1-based column numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kolm::subtotal {

constexpr std::int32_t kLastColumn = 702;  // ZZ

std::int32_t column_to_number(std::string_view name);
std::string number_to_column(std::int32_t number);
// The column `offset` places right of the column numbered `number`.
std::string column_at(std::int32_t number, std::int32_t offset);
// The column `offset` places right of the typed `name`.
std::string offset_column(std::string_view name, std::int32_t offset);

}  // namespace kolm::subtotal
