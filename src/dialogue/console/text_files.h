// The file table: slots 1..255, each free or holding one open text file.
// A file that cannot be opened leaves its slot free and is silent; callers
// that care (the reports) ask `file_error` afterwards.
#pragma once

#include <string>
#include <string_view>

namespace kolm::console {

constexpr int kFileSlots = 255;
constexpr std::size_t kFileBufferSize = 8192;

enum class FileMode { input, output };

int free_file_number();  // lowest free slot, 0 when all are taken
void open_text_file(std::string_view name, FileMode mode, int number);
void read_text_line(int number, std::string& destination);
int at_end_of_file(int number);  // -1 true, 0 false
void close_file(int number);
void close_all_files();

// The system's reason for the last failure on slot `number` since it was
// last opened (a failed open, write or close); empty when there was none.
std::string file_error(int number);

namespace detail {
// Bytes for an output slot; false when the slot holds no output file.
bool file_write(int number, std::string_view bytes);
int& file_column(int number);  // only valid for an open slot
bool file_is_open(int number);
}  // namespace detail

}  // namespace kolm::console
