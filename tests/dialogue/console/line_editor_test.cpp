#include "dialogue/console/line_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace kolm::console {
namespace {

const std::string kBackspace = "\x08";
const std::string kTab = "\x09";
const std::string kEsc = "\x1b";
const std::string kEnter = "\r";
const std::string kCtrlEnter = "\n";
const std::string kHome = "\xFF\x47";
const std::string kUp = "\xFF\x48";
const std::string kLeft = "\xFF\x4B";
const std::string kRight = "\xFF\x4D";
const std::string kEnd = "\xFF\x4F";
const std::string kDown = "\xFF\x50";
const std::string kDelete = "\xFF\x53";

std::vector<std::string> typed(const std::string& text) {
    std::vector<std::string> keys;
    for (const char c : text) keys.emplace_back(1, c);
    return keys;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct KeyCase {
    const char* what;
    std::vector<std::string> keys;
    std::string line;
    std::size_t cursor;
    EditResult last;
};

TEST(LineEditor, KeySequencesGiveTheLineAndCursor) {
    const int width = 10;
    const std::string spaces5(5, ' ');
    const std::vector<KeyCase> cases = {
        {"typing", typed("abc"), "abc", 3, EditResult::kInserted},
        {"insert in the middle", typed("abc") + std::vector{kLeft, kLeft, std::string("X")}, "aXbc", 2,
         EditResult::kInserted},
        {"Home then insert", typed("abc") + std::vector{kHome, std::string("X")}, "Xabc", 1, EditResult::kInserted},
        {"Home, End then insert", typed("abc") + std::vector{kHome, kEnd, std::string("X")}, "abcX", 4,
         EditResult::kInserted},
        {"Backspace at the end", typed("abc") + std::vector{kBackspace}, "ab", 2, EditResult::kDeleted},
        {"Backspace in the middle", typed("abc") + std::vector{kLeft, kBackspace}, "ac", 1, EditResult::kDeleted},
        {"Backspace at the start", typed("abc") + std::vector{kHome, kBackspace}, "abc", 0, EditResult::kIgnored},
        {"Backspace on an empty line", {kBackspace}, "", 0, EditResult::kIgnored},
        {"Delete at the start", typed("abc") + std::vector{kHome, kDelete}, "bc", 0, EditResult::kDeleted},
        {"Delete at the end beeps", typed("abc") + std::vector{kDelete}, "abc", 3, EditResult::kBeep},
        {"Delete on an empty line beeps", {kDelete}, "", 0, EditResult::kBeep},
        {"Esc empties the line", typed("abc") + std::vector{kLeft, kEsc}, "", 0, EditResult::kDeleted},
        {"typing after Esc", typed("abc") + std::vector{kEsc, std::string("d")}, "d", 1, EditResult::kInserted},
        {"Left at the start", typed("ab") + std::vector{kLeft, kLeft, kLeft}, "ab", 0, EditResult::kIgnored},
        {"Right at the end", typed("ab") + std::vector{kLeft, kRight, kRight}, "ab", 2, EditResult::kIgnored},
        {"Home at the start", {kHome}, "", 0, EditResult::kIgnored},
        {"Tab at the start", {kTab}, std::string(8, ' '), 8, EditResult::kInserted},
        {"Tab after 3 bytes", typed("abc") + std::vector{kTab}, "abc" + spaces5, 8, EditResult::kInserted},
        {"Tab at a multiple of 8", typed("abcdefgh") + std::vector{kTab}, "abcdefgh" + std::string(8, ' '), 16,
         EditResult::kInserted},
        {"Tab counts from the cursor", typed("ab") + std::vector{kLeft, kTab}, "a" + std::string(7, ' ') + "b", 8,
         EditResult::kInserted},
        {"Down by the width", typed("0123456789abcdefghijklmno") + std::vector{kHome, kDown, kDown},
         "0123456789abcdefghijklmno", 20, EditResult::kMoved},
        {"Down past the end", typed("0123456789abcdefghijklmno") + std::vector{kHome, kRight, kDown, kDown, kDown},
         "0123456789abcdefghijklmno", 21, EditResult::kIgnored},
        {"Down to exactly the end", typed("0123456789abcdefghij") + std::vector{kHome, kDown, kDown},
         "0123456789abcdefghij", 20, EditResult::kMoved},
        {"Up by the width", typed("0123456789abcdefghijklmno") + std::vector{kUp, kUp}, "0123456789abcdefghijklmno",
         5, EditResult::kMoved},
        {"Up before the start", typed("0123456789abcdefghijklmno") + std::vector{kUp, kUp, kUp},
         "0123456789abcdefghijklmno", 5, EditResult::kIgnored},
        {"Up to exactly the start", typed("0123456789") + std::vector{kUp}, "0123456789", 0, EditResult::kMoved},
        {"insert after Up", typed("0123456789abc") + std::vector{kUp, std::string("X")}, "012X3456789abc", 4,
         EditResult::kInserted},
        {"Enter", typed("ab") + std::vector{kLeft, kEnter}, "ab", 1, EditResult::kDone},
        {"Ctrl+Enter", typed("ab") + std::vector{kCtrlEnter}, "ab", 2, EditResult::kDone},
        {"bytes 127 to 255 are inserted", {"\x7f", "\x80", "\xE8", "\xFF"}, "\x7f\x80\xE8\xFF", 4,
         EditResult::kInserted},
        {"control bytes are ignored", typed("a") + std::vector{std::string("\x01"), std::string(1, '\0')}, "a", 1,
         EditResult::kIgnored},
        {"F1 is ignored", typed("a") + std::vector{std::string("\xFF\x3B")}, "a", 1, EditResult::kIgnored},
        {"Insert is ignored", typed("a") + std::vector{std::string("\xFF\x52")}, "a", 1, EditResult::kIgnored},
        {"Ctrl+Left is ignored", typed("a") + std::vector{std::string("\xFF\x73")}, "a", 1, EditResult::kIgnored},
        {"no key", typed("a") + std::vector{std::string()}, "a", 1, EditResult::kIgnored},
    };
    for (const KeyCase& c : cases) {
        LineEditor editor;
        EditResult last = EditResult::kIgnored;
        for (const std::string& key : c.keys) last = apply_key(editor, key, width);
        EXPECT_EQ(editor.line, c.line) << c.what;
        EXPECT_EQ(editor.cursor, c.cursor) << c.what;
        EXPECT_EQ(last, c.last) << c.what;
    }
}

// A console screen that follows the draw steps. A pending-wrap terminal
// (xterm and its kin) leaves the cursor on the last column after writing it
// and wraps on the next byte; a wrap-at-once console moves on at once.
struct Screen {
    int rows;
    int width;
    bool pending_wrap_terminal;
    std::vector<std::string> cells;
    int row = 0;
    int column = 0;
    bool pending = false;
    int scrolled = 0;

    Screen(int rows_, int width_, bool pending_wrap)
        : rows(rows_), width(width_), pending_wrap_terminal(pending_wrap),
          cells(static_cast<std::size_t>(rows_), std::string(static_cast<std::size_t>(width_), ' ')) {}

    void next_row() {
        pending = false;
        column = 0;
        if (row + 1 < rows) {
            ++row;
            return;
        }
        cells.erase(cells.begin());
        cells.emplace_back(static_cast<std::size_t>(width), ' ');
        ++scrolled;
    }
    void put(char c) {
        if (pending) next_row();
        cells[row][column] = c;
        if (column + 1 < width) {
            ++column;
        } else if (pending_wrap_terminal) {
            pending = true;
        } else {
            next_row();
        }
    }
    void perform(const std::vector<DrawStep>& steps) {
        for (const DrawStep& s : steps) {
            switch (s.kind) {
                case DrawStep::Kind::kWrite:
                    for (const char c : s.bytes) {
                        if (c == '\b') {
                            pending = false;
                            column = std::max(column - 1, 0);
                        } else {
                            put(c);
                        }
                    }
                    break;
                case DrawStep::Kind::kMove:
                    pending = false;
                    row = std::clamp(row + s.rows, 0, rows - 1);
                    column = s.column;
                    break;
                case DrawStep::Kind::kClearToEnd:
                    for (int r = row; r < rows; ++r) {
                        for (int c = (r == row ? column : 0); c < width; ++c) cells[r][c] = ' ';
                    }
                    break;
            }
        }
    }
};

// Checks that the screen shows the prompt and the line from the prompt's
// origin, blanks after it, and the cursor exactly on the editor's cursor.
void expect_shows(const Screen& screen, int origin_row, int origin_column, const LineEditor& editor,
                  const std::string& context) {
    ASSERT_GE(origin_row, 0) << context;
    std::string shown;
    for (int r = origin_row; r < screen.rows; ++r) shown += screen.cells[r];
    const std::string expected_prompt(static_cast<std::size_t>(origin_column), 'P');
    const std::size_t line_cells = shown.size() - expected_prompt.size();
    std::string expected = expected_prompt + editor.line;
    expected.resize(expected_prompt.size() + std::max(line_cells, editor.line.size()), ' ');
    ASSERT_EQ(shown, expected) << context;
    const long long cell = origin_column + static_cast<long long>(editor.cursor);
    EXPECT_EQ(screen.row, origin_row + cell / screen.width) << context;
    EXPECT_EQ(screen.column, cell % screen.width) << context;
    EXPECT_FALSE(screen.pending) << context;
}

TEST(LineEditor, RedrawKeepsTheScreenEqualToTheLineAcrossWrappedRows) {
    struct Layout {
        int width;
        int origin_column;
    };
    const std::vector<std::string> pool = {"a", "b", "\xE9", kBackspace, kDelete, kLeft, kRight, kHome, kEnd,
                                           kUp, kDown, kTab, kEsc, "c", "d", kLeft, kLeft};
    for (const bool pending_wrap : {true, false}) {
        for (const Layout layout : {Layout{10, 0}, Layout{10, 3}, Layout{10, 9}, Layout{7, 5}, Layout{2, 1}}) {
            const int rows = 8;
            const int start_row = rows - 2;  // near the bottom, so long lines scroll
            const std::size_t longest = static_cast<std::size_t>(layout.width * (rows - 2));
            Screen screen(rows, layout.width, pending_wrap);
            for (int c = 0; c < layout.origin_column; ++c) screen.cells[start_row][c] = 'P';
            screen.row = start_row;
            screen.column = layout.origin_column;

            std::mt19937 random(static_cast<unsigned>(layout.width * 100 + layout.origin_column));
            LineEditor editor;
            std::string history;
            for (int step = 0; step < 3000; ++step) {
                std::string key = pool[random() % pool.size()];
                if (editor.line.size() + 8 > longest) key = kEsc;
                const EditorMark before = mark_of(editor);
                const EditResult result = apply_key(editor, key, layout.width);
                screen.perform(redraw_steps(before, result, editor, layout.origin_column, layout.width));
                history += key.size() == 2 ? "<" + std::to_string(static_cast<unsigned char>(key[1])) + ">" : key;
                const std::string context = (pending_wrap ? "pending wrap" : "wrap at once") + std::string(", width ") +
                                            std::to_string(layout.width) + ", origin " +
                                            std::to_string(layout.origin_column) + ", keys ..." +
                                            history.substr(history.size() > 80 ? history.size() - 80 : 0);
                expect_shows(screen, start_row - screen.scrolled, layout.origin_column, editor, context);
                if (HasFailure()) return;
            }
        }
    }
}

TEST(LineEditor, TypingAtTheEndIsOneWriteOfTheTypedBytes) {
    struct EchoCase {
        int origin_column;
        std::string before;
        std::string key;
        std::string write;
    };
    const int width = 10;
    const std::vector<EchoCase> cases = {
        {0, "", "a", "a"},
        {3, "ab", "c", "c"},
        {3, "abcdef", "g", "g \b"},   // lands on the last column: step onto the next row
        {0, "abc", kTab, "     "},
        {2, "", kTab, std::string(8, ' ') + " \b"},
    };
    for (const EchoCase& c : cases) {
        LineEditor editor{c.before, c.before.size()};
        const EditorMark before = mark_of(editor);
        const EditResult result = apply_key(editor, c.key, width);
        const std::vector<DrawStep> steps = redraw_steps(before, result, editor, c.origin_column, width);
        ASSERT_EQ(steps.size(), 1u) << c.before;
        EXPECT_EQ(steps[0].kind, DrawStep::Kind::kWrite) << c.before;
        EXPECT_EQ(steps[0].bytes, c.write) << c.before;
    }
}

}  // namespace
}  // namespace kolm::console
