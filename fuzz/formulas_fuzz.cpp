// The column codec and the formula builder with arbitrary answers. Oracles:
// every column number 1..702 goes to a name and back; a one- or two-letter
// name goes to a number and back in upper case; any number gives one or two
// bytes; the formulas built level after level equal the ones built afresh;
// every formula is upper-cased, and its HTML form is its text escaped; when
// the typed columns hold no quote, parenthesis or separator, the parentheses
// balance outside quoted text and the only separator there is the chosen one.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "subtotal/column_codec.h"
#include "subtotal/formulas.h"
#include "subtotal/html_text.h"

namespace subtotal = kolm::subtotal;

namespace {

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void check_codec(std::int32_t column, std::int32_t any_number, std::string_view name) {
    const std::string column_name = subtotal::number_to_column(column);
    FUZZ_CHECK(column_name.size() == 1 || column_name.size() == 2);
    for (const char c : column_name) FUZZ_CHECK(c >= 'A' && c <= 'Z');
    FUZZ_CHECK(subtotal::column_to_number(column_name) == column);

    const std::string any_name = subtotal::number_to_column(any_number);
    FUZZ_CHECK(any_name.size() == 1 || any_name.size() == 2);

    // Two bytes of 0..255, each less 64, the first weighing 26.
    const std::int32_t number = subtotal::column_to_number(name);
    FUZZ_CHECK(number >= -64 * 26 - 64 && number <= 191 * 26 + 191);
    const std::string_view letters = trimmed(name);
    if ((letters.size() == 1 || letters.size() == 2) && is_letter(letters.front()) && is_letter(letters.back())) {
        FUZZ_CHECK(subtotal::number_to_column(number) == upper(letters));
    }
}

// Parentheses outside quoted text never close more than they opened and end
// balanced; quotes pair up; outside them only `separator` separates.
void check_shape(std::string_view formula, char separator) {
    const char other = separator == ',' ? ';' : ',';
    int depth = 0;
    bool quoted = false;
    for (const char c : formula) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')') FUZZ_CHECK(--depth >= 0);
        FUZZ_CHECK(c != other);
    }
    FUZZ_CHECK(!quoted);
    FUZZ_CHECK(depth == 0);
}

void check_formula(std::string_view formula, bool plain_answers, char separator) {
    for (const char c : formula) FUZZ_CHECK(!(c >= 'a' && c <= 'z'));
    FUZZ_CHECK(formula.substr(0, 4) == "=IF(");
    if (plain_answers) check_shape(formula, separator);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::int32_t column = provider.ConsumeIntegralInRange<std::int32_t>(1, subtotal::kLastColumn);
    const auto any_number = provider.ConsumeIntegral<std::int32_t>();
    const char separator = provider.ConsumeBool() ? ';' : ',';
    const std::int32_t levels = provider.ConsumeIntegralInRange<std::int32_t>(1, 20);
    subtotal::SubtotalParams params;
    params.group_column_count = levels;
    params.start_row = provider.ConsumeIntegral<std::int32_t>();
    params.sort_start_column = provider.ConsumeRandomLengthString(6);
    params.data_column = provider.ConsumeRandomLengthString(6);
    params.free_area_column = provider.ConsumeRandomLengthString(6);
    const std::string name = provider.ConsumeRemainingBytesAsString();

    check_codec(column, any_number, name);
    check_codec(column, any_number, params.free_area_column);

    const std::string_view special = "\"(),;";
    const bool plain_answers = params.sort_start_column.find_first_of(special) == std::string::npos &&
                               params.data_column.find_first_of(special) == std::string::npos;
    const std::string sep(1, separator);

    // In the reports' order: the break flags, then label and sum per level.
    subtotal::FormulaSeries series = subtotal::start_formula_series(params, sep);
    const auto check = [&](const subtotal::FormulaText& formula, const std::string& fresh) {
        FUZZ_CHECK(formula.text == fresh);
        FUZZ_CHECK(formula.html == subtotal::html_escaped(formula.text));
        check_formula(formula.text, plain_answers, separator);
    };
    for (std::int32_t level = 1; level <= levels; ++level) {
        subtotal::FormulaText flag;
        subtotal::append_break_flag_formula(series, level, flag);
        check(flag, subtotal::break_flag_formula(params, sep, level));
    }
    for (std::int32_t level = 1; level <= levels; ++level) {
        subtotal::FormulaText label;
        subtotal::append_label_formula(series, level, label);
        check(label, subtotal::label_formula(params, sep, level));
        subtotal::FormulaText sum;
        subtotal::append_sum_formula(series, level, sum);
        check(sum, subtotal::sum_formula(params, sep, level));
    }
    // Asked again for an earlier level, the series starts its lists again.
    subtotal::FormulaText again;
    subtotal::append_break_flag_formula(series, levels, again);
    check(again, subtotal::break_flag_formula(params, sep, levels));
    return 0;
}
