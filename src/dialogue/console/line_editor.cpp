#include "dialogue/console/line_editor.h"

#include <algorithm>

namespace kolm::console {

namespace {

constexpr unsigned char kExtendedKey = 255;
constexpr std::size_t kTabStop = 8;

EditResult insert(LineEditor& e, std::size_t count, char byte) {
    e.line.insert(e.cursor, count, byte);
    e.cursor += count;
    return EditResult::kInserted;
}

EditResult move_to(LineEditor& e, std::size_t target) {
    if (target == e.cursor) return EditResult::kIgnored;
    e.cursor = target;
    return EditResult::kMoved;
}

EditResult apply_byte(LineEditor& e, unsigned char byte) {
    if (byte >= 32) return insert(e, 1, static_cast<char>(byte));
    switch (byte) {
        case 8:  // Backspace
            if (e.cursor == 0) return EditResult::kIgnored;
            e.line.erase(--e.cursor, 1);
            return EditResult::kDeleted;
        case 9:  // Tab: spaces up to the next multiple of 8 in the line
            return insert(e, kTabStop - e.cursor % kTabStop, ' ');
        case 27:  // Esc
            if (e.line.empty()) return EditResult::kIgnored;
            e.line.clear();
            e.cursor = 0;
            return EditResult::kDeleted;
        case 13:  // Enter
        case 10:  // Ctrl+Enter
            return EditResult::kDone;
        default:
            return EditResult::kIgnored;
    }
}

EditResult apply_extended(LineEditor& e, unsigned char code, int console_width) {
    const std::size_t width = console_width > 0 ? static_cast<std::size_t>(console_width) : 0;
    switch (code) {
        case 83:  // Delete
            if (e.cursor == e.line.size()) return EditResult::kBeep;
            e.line.erase(e.cursor, 1);
            return EditResult::kDeleted;
        case 75:  // Left
            return e.cursor == 0 ? EditResult::kIgnored : move_to(e, e.cursor - 1);
        case 77:  // Right
            return e.cursor == e.line.size() ? EditResult::kIgnored : move_to(e, e.cursor + 1);
        case 71:  // Home
            return move_to(e, 0);
        case 79:  // End
            return move_to(e, e.line.size());
        case 72:  // Up: one console row back, when the line reaches that far
            if (width == 0 || e.cursor < width) return EditResult::kIgnored;
            return move_to(e, e.cursor - width);
        case 80:  // Down: one console row on, when the line goes on that far
            if (width == 0 || e.cursor + width > e.line.size()) return EditResult::kIgnored;
            return move_to(e, e.cursor + width);
        default:
            return EditResult::kIgnored;
    }
}

struct ScreenPlace {
    long long row;
    int column;
};

ScreenPlace place_of(std::size_t position, int origin_column, int width) {
    const long long cell = origin_column + static_cast<long long>(position);
    return {cell / width, static_cast<int>(cell % width)};
}

void add_move(std::vector<DrawStep>& steps, std::size_t from, std::size_t to, int origin_column,
              int width) {
    if (from == to) return;
    const ScreenPlace a = place_of(from, origin_column, width);
    const ScreenPlace b = place_of(to, origin_column, width);
    DrawStep step;
    step.kind = DrawStep::Kind::kMove;
    step.rows = static_cast<int>(b.row - a.row);
    step.column = b.column;
    steps.push_back(std::move(step));
}

}  // namespace

EditResult apply_key(LineEditor& editor, std::string_view key, int console_width) {
    editor.cursor = std::min(editor.cursor, editor.line.size());
    if (key.size() == 1) return apply_byte(editor, static_cast<unsigned char>(key[0]));
    if (key.size() == 2 && static_cast<unsigned char>(key[0]) == kExtendedKey) {
        return apply_extended(editor, static_cast<unsigned char>(key[1]), console_width);
    }
    return EditResult::kIgnored;
}

EditorMark mark_of(const LineEditor& editor) { return {editor.cursor, editor.line.size()}; }

std::vector<DrawStep> redraw_steps(EditorMark before, EditResult result, const LineEditor& after,
                                   int origin_column, int width) {
    width = std::max(width, 1);
    origin_column = std::clamp(origin_column, 0, width - 1);
    std::vector<DrawStep> steps;
    std::size_t at = before.cursor;

    if (result == EditResult::kInserted || result == EditResult::kDeleted) {
        // Every edit leaves the cursor at or after the first byte it changed.
        const std::size_t from = std::min({before.cursor, after.cursor, after.line.size()});
        add_move(steps, at, from, origin_column, width);
        std::string bytes = after.line.substr(from);
        if (!bytes.empty()) {
            const auto end_cell = static_cast<std::size_t>(origin_column) + after.line.size();
            if (end_cell % static_cast<std::size_t>(width) == 0 && width >= 2) bytes += " \b";
            DrawStep write;
            write.kind = DrawStep::Kind::kWrite;
            write.bytes = std::move(bytes);
            steps.push_back(std::move(write));
        }
        if (after.line.size() < before.length) {
            DrawStep clear;
            clear.kind = DrawStep::Kind::kClearToEnd;
            steps.push_back(std::move(clear));
        }
        at = after.line.size();
    }
    add_move(steps, at, std::min(after.cursor, after.line.size()), origin_column, width);
    return steps;
}

}  // namespace kolm::console
