// Writing both reports for the largest group count (about 14 MB), against
// the same bytes written with one plain write per file, and against the same
// bytes handed to the file layer whole (its 8192-byte buffer is the floor
// for anything written through it).
//
// KOLM_BENCH_DIR picks the directory written to (default: the temp dir).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "dialogue/console/output.h"
#include "dialogue/console/text_files.h"
#include "dialogue/program_identity.h"
#include "subtotal/reports.h"

namespace {

namespace fs = std::filesystem;
using namespace kolm;

const fs::path& scratch_dir() {
    static const fs::path dir = [] {
        const char* chosen = std::getenv("KOLM_BENCH_DIR");
        fs::path d = (chosen ? fs::path(chosen) : fs::temp_directory_path()) / "kolm_reports_bench";
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

std::string in_scratch(std::string_view name) { return (scratch_dir() / name).string(); }

const subtotal::SubtotalParams kLargest{"A", subtotal::kMaxLevels, "F", 2, "H"};

int open_output(std::string_view name) {
    const int number = console::free_file_number();
    console::open_text_file(in_scratch(name), console::FileMode::output, number);
    return number;
}

void write_both_reports() {
    const int text = open_output(subtotal::kTextReportName);
    const int html = open_output(subtotal::kHtmlReportName);
    subtotal::write_report_body({text, html}, kLargest, ",", dialogue::kProgramName);
    console::close_file(text);
    subtotal::write_html_footer(html);
    console::close_file(html);
}

std::string file_bytes(std::string_view name) {
    std::ifstream in(in_scratch(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ReportBytes {
    std::string text;
    std::string html;
};

const ReportBytes& report_bytes() {
    static const ReportBytes bytes = [] {
        write_both_reports();
        return ReportBytes{file_bytes(subtotal::kTextReportName), file_bytes(subtotal::kHtmlReportName)};
    }();
    return bytes;
}

void count_bytes(benchmark::State& state) {
    const auto total = report_bytes().text.size() + report_bytes().html.size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * total));
}

void BM_WriteReports(benchmark::State& state) {
    for (auto _ : state) write_both_reports();
    count_bytes(state);
}

void write_plain(std::string_view name, const std::string& bytes) {
    std::FILE* file = std::fopen(in_scratch(name).c_str(), "wb");
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void BM_PlainWrite(benchmark::State& state) {
    const ReportBytes& bytes = report_bytes();
    for (auto _ : state) {
        write_plain("plain.txt", bytes.text);
        write_plain("plain.htm", bytes.html);
    }
    count_bytes(state);
}

void write_through_layer(std::string_view name, const std::string& bytes) {
    const int number = open_output(name);
    console::print_text(number, bytes, console::kNoEnding);
    console::close_file(number);
}

void BM_SameBytesThroughFileLayer(benchmark::State& state) {
    const ReportBytes& bytes = report_bytes();
    for (auto _ : state) {
        write_through_layer("layer.txt", bytes.text);
        write_through_layer("layer.htm", bytes.html);
    }
    count_bytes(state);
}

BENCHMARK(BM_WriteReports)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SameBytesThroughFileLayer)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
