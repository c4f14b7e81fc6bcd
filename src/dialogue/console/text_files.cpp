#include "dialogue/console/text_files.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kolm::console {
namespace {

struct Slot {
    std::FILE* file = nullptr;
    FileMode mode = FileMode::input;
    int column = 0;
    long size = 0;          // input: bytes at the moment of opening
    bool met_end = false;   // input: a read has run into the end
    std::unique_ptr<char[]> buffer;  // output: kFileBufferSize bytes
    std::size_t used = 0;
    std::string error;
};

std::array<Slot, kFileSlots + 1> slots;  // [0] is the console and never used

bool valid_number(int number) { return number >= 1 && number <= kFileSlots; }

Slot* open_slot(int number) {
    if (!valid_number(number)) return nullptr;
    Slot& slot = slots[static_cast<std::size_t>(number)];
    return slot.file ? &slot : nullptr;
}

void note_failure(Slot& slot, const char* what) {
    const int code = errno;
    // The first failure is the one that explains the rest.
    if (slot.error.empty()) slot.error = std::string(what) + ": " + std::strerror(code);
}

void flush_buffer(Slot& slot) {
    if (slot.used == 0) return;
    errno = 0;
    if (std::fwrite(slot.buffer.get(), 1, slot.used, slot.file) != slot.used) note_failure(slot, "write");
    slot.used = 0;
}

void close_slot(Slot& slot) {
    if (slot.mode == FileMode::output) flush_buffer(slot);
    errno = 0;
    if (std::fclose(slot.file) != 0 && slot.mode == FileMode::output) note_failure(slot, "close");
    slot.file = nullptr;
    slot.buffer.reset();
    slot.used = 0;
}

}  // namespace

int free_file_number() {
    for (int number = 1; number <= kFileSlots; ++number) {
        if (!slots[static_cast<std::size_t>(number)].file) return number;
    }
    return 0;
}

void open_text_file(std::string_view name, FileMode mode, int number) {
    if (!valid_number(number)) return;
    Slot& slot = slots[static_cast<std::size_t>(number)];
    if (slot.file) close_slot(slot);
    slot = Slot{};
    const std::string path(name);
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), mode == FileMode::input ? "rb" : "wb");
    if (!file) {
        note_failure(slot, "open");
        return;
    }
    slot.file = file;
    slot.mode = mode;
    if (mode == FileMode::input) {
        if (std::fseek(file, 0, SEEK_END) == 0) slot.size = std::ftell(file);
        std::rewind(file);
        if (slot.size < 0) slot.size = 0;
    } else {
        // Our own buffer is the only one, so its size decides when bytes reach the disk.
        std::setvbuf(file, nullptr, _IONBF, 0);
        slot.buffer = std::make_unique<char[]>(kFileBufferSize);
    }
}

void read_text_line(int number, std::string& destination) {
    Slot* slot = open_slot(number);
    if (!slot || slot->mode != FileMode::input) return;
    destination.clear();
    int c;
    while ((c = std::getc(slot->file)) != EOF) {
        if (c == '\n') {
            // Text-mode reading turns CR LF into LF, and then the CR right
            // before that LF goes too: up to two CRs end a line.
            for (int i = 0; i < 2 && !destination.empty() && destination.back() == '\r'; ++i) destination.pop_back();
            return;
        }
        destination.push_back(static_cast<char>(c));
    }
    slot->met_end = true;
    // A carriage return as the very last byte of the file belongs to no line.
    if (!destination.empty() && destination.back() == '\r') destination.pop_back();
}

int at_end_of_file(int number) {
    Slot* slot = open_slot(number);
    if (!slot || slot->mode != FileMode::input || slot->met_end) return -1;
    const long position = std::ftell(slot->file);
    return position < 0 || position >= slot->size ? -1 : 0;
}

void close_file(int number) {
    if (Slot* slot = open_slot(number)) close_slot(*slot);
}

void close_all_files() {
    for (int number = 1; number <= kFileSlots; ++number) close_file(number);
}

std::string file_error(int number) {
    return valid_number(number) ? slots[static_cast<std::size_t>(number)].error : std::string();
}

namespace detail {

bool file_is_open(int number) {
    Slot* slot = open_slot(number);
    return slot && slot->mode == FileMode::output;
}

int& file_column(int number) { return slots[static_cast<std::size_t>(number)].column; }

bool file_write(int number, std::string_view bytes) {
    Slot* slot = open_slot(number);
    if (!slot || slot->mode != FileMode::output) return false;
    while (!bytes.empty()) {
        if (slot->used == 0 && bytes.size() >= kFileBufferSize) {
            // Whole blocks go straight from the caller's bytes: the file gets
            // the same blocks the buffer would pass on, in one call.
            const std::size_t whole = bytes.size() - bytes.size() % kFileBufferSize;
            errno = 0;
            if (std::fwrite(bytes.data(), 1, whole, slot->file) != whole) note_failure(*slot, "write");
            bytes.remove_prefix(whole);
            continue;
        }
        const std::size_t room = kFileBufferSize - slot->used;
        const std::size_t take = bytes.size() < room ? bytes.size() : room;
        std::memcpy(slot->buffer.get() + slot->used, bytes.data(), take);
        slot->used += take;
        bytes.remove_prefix(take);
        if (slot->used == kFileBufferSize) flush_buffer(*slot);
    }
    return true;
}

}  // namespace detail
}  // namespace kolm::console
