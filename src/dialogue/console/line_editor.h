// The one-line editor of typed answers, as pure state: keys change the line
// and the cursor, and a redraw is planned as plain steps for the console.
// Nothing here does I/O, so both are tested without a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kolm::console {

struct LineEditor {
    std::string line;
    std::size_t cursor = 0;  // 0..line.size()
};

enum class EditResult {
    kInserted,  // bytes went in at the cursor
    kDeleted,   // bytes went out of the line
    kMoved,     // only the cursor moved
    kBeep,      // Delete at the end of the line
    kDone,      // Enter or Ctrl+Enter: the line is complete
    kIgnored,   // nothing changed
};

// Applies one key as `read_key` gives it. `console_width` is how far Up and
// Down move the cursor: one console row of a wrapped line.
EditResult apply_key(LineEditor& editor, std::string_view key, int console_width);

// One step of a redraw. Moves are relative to the cursor's row, as the
// console primitive takes them.
struct DrawStep {
    enum class Kind { kWrite, kClearToEnd, kMove };
    Kind kind = Kind::kWrite;
    std::string bytes;  // kWrite
    int rows = 0;       // kMove: rows down (negative: up)
    int column = 0;     // kMove: 0-based column of the target row
};

// Where the cursor stood and how long the line was before a key.
struct EditorMark {
    std::size_t cursor = 0;
    std::size_t length = 0;
};
EditorMark mark_of(const LineEditor& editor);

// The steps that bring the console from showing the line before a key (the
// cursor at `before.cursor`) to showing `after`, with the cursor left at
// `after.cursor`, for a line that starts at `origin_column` of a console
// `width` columns wide. After an insertion or a deletion the line is drawn
// again from the first byte that changed, and a line that got shorter has
// the rest of the screen cleared; a typed byte at the end is one write.
//
// A write that ends at the right edge is followed by " \b": a terminal with
// a pending wrap and a console that wraps at once both end up at the start
// of the next row, scrolled into view, so that later moves are exact.
std::vector<DrawStep> redraw_steps(EditorMark before, EditResult result, const LineEditor& after,
                                   int origin_column, int width);

}  // namespace kolm::console
