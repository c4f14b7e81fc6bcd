// The line editor on arbitrary key sequences. Oracles: after every key the
// line and the cursor equal what a simple model of the editing keys gives,
// the result names what changed; and a screen that carries out the planned
// redraw, with a terminal's wrap at the right edge, shows exactly the prompt,
// then the line, then nothing, with its cursor on the cursor's cell.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/console/line_editor.h"
#include "fuzz_check.h"

using kolm::console::apply_key;
using kolm::console::DrawStep;
using kolm::console::EditResult;
using kolm::console::LineEditor;

namespace {

// ---- the model: the editing keys, one by one --------------------------------

struct Model {
    std::string line;
    std::size_t cursor = 0;
};

void model_key(Model& m, std::string_view key, std::size_t width) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(key[i]); };
    if (key.size() == 1 && byte(0) >= 32) {
        m.line.insert(m.cursor++, 1, key[0]);
    } else if (key == "\b") {
        if (m.cursor > 0) m.line.erase(--m.cursor, 1);
    } else if (key == "\t") {
        const std::size_t spaces = 8 - m.cursor % 8;
        m.line.insert(m.cursor, spaces, ' ');
        m.cursor += spaces;
    } else if (key == "\x1b") {
        m = Model{};
    } else if (key.size() == 2 && byte(0) == 255) {
        switch (byte(1)) {
            case 83: if (m.cursor < m.line.size()) m.line.erase(m.cursor, 1); break;
            case 75: if (m.cursor > 0) --m.cursor; break;
            case 77: if (m.cursor < m.line.size()) ++m.cursor; break;
            case 71: m.cursor = 0; break;
            case 79: m.cursor = m.line.size(); break;
            case 72: if (m.cursor >= width) m.cursor -= width; break;
            case 80: if (m.cursor + width <= m.line.size()) m.cursor += width; break;
            default: break;
        }
    }
}

// ---- a terminal screen ------------------------------------------------------

constexpr char kNeverWritten = '\0';
constexpr char kPrompt = '\x01';

// Rows of `width` cells. A byte written in the last column leaves the cursor
// there with a wrap pending, as terminals do; the next byte wraps first.
struct Screen {
    int width;
    std::vector<std::string> rows;
    long long row = 0;
    int column = 0;
    bool wrap_pending = false;

    char& cell(long long r, int c) {
        FUZZ_CHECK(r >= 0);
        while (rows.size() <= static_cast<std::size_t>(r)) rows.emplace_back(static_cast<std::size_t>(width), kNeverWritten);
        return rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    }

    void write(std::string_view bytes) {
        for (const char byte : bytes) {
            if (byte == '\b') {
                wrap_pending = false;
                if (column > 0) --column;
                continue;
            }
            if (wrap_pending) {
                ++row;
                column = 0;
                wrap_pending = false;
            }
            cell(row, column) = byte;
            if (column == width - 1) {
                wrap_pending = true;
            } else {
                ++column;
            }
        }
    }

    void clear_to_end() {
        for (int c = column; c < width; ++c) cell(row, c) = ' ';
        for (std::size_t r = static_cast<std::size_t>(row) + 1; r < rows.size(); ++r) rows[r].assign(rows[r].size(), ' ');
    }

    void move(int down, int to_column) {
        row += down;
        FUZZ_CHECK(row >= 0);
        FUZZ_CHECK(to_column >= 0 && to_column < width);
        column = to_column;
        wrap_pending = false;
    }

    void perform(const std::vector<DrawStep>& steps) {
        for (const DrawStep& step : steps) {
            switch (step.kind) {
                case DrawStep::Kind::kWrite: write(step.bytes); break;
                case DrawStep::Kind::kClearToEnd: clear_to_end(); break;
                case DrawStep::Kind::kMove: move(step.rows, step.column); break;
            }
        }
    }
};

void check_screen(Screen& screen, int origin, const LineEditor& editor) {
    const auto place = [&](std::size_t position) {
        const long long cell = origin + static_cast<long long>(position);
        return std::pair<long long, int>{cell / screen.width, static_cast<int>(cell % screen.width)};
    };
    for (int c = 0; c < origin; ++c) FUZZ_CHECK(screen.cell(0, c) == kPrompt);
    for (std::size_t i = 0; i < editor.line.size(); ++i) {
        const auto [r, c] = place(i);
        FUZZ_CHECK(screen.cell(r, c) == editor.line[i]);
    }
    const auto [end_row, end_column] = place(editor.line.size());
    for (std::size_t r = static_cast<std::size_t>(end_row); r < screen.rows.size(); ++r) {
        for (int c = r == static_cast<std::size_t>(end_row) ? end_column : 0; c < screen.width; ++c) {
            const char shown = screen.rows[r][static_cast<std::size_t>(c)];
            FUZZ_CHECK(shown == kNeverWritten || shown == ' ');
        }
    }
    const auto [cursor_row, cursor_column] = place(editor.cursor);
    FUZZ_CHECK(!screen.wrap_pending);
    FUZZ_CHECK(screen.row == cursor_row && screen.column == cursor_column);
}

// Keys from the input: 255 and the next byte make an extended key, any other
// byte is a key of its own (so is a 255 at the very end).
std::vector<std::string> keys_of(FuzzedDataProvider& provider) {
    std::vector<std::string> keys;
    constexpr std::size_t kMostKeys = 1500;  // bounds the screen checks' work
    while (provider.remaining_bytes() > 0 && keys.size() < kMostKeys) {
        const char byte = provider.ConsumeIntegral<char>();
        if (static_cast<unsigned char>(byte) == 255 && provider.remaining_bytes() > 0) {
            keys.push_back({byte, provider.ConsumeIntegral<char>()});
        } else {
            keys.push_back(std::string(1, byte));
        }
    }
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const int width = provider.ConsumeIntegralInRange<int>(2, 80);
    const int origin = provider.ConsumeIntegralInRange<int>(0, width - 1);
    const std::vector<std::string> keys = keys_of(provider);

    Screen screen{width, {}};
    for (int c = 0; c < origin; ++c) screen.cell(0, c) = kPrompt;
    screen.column = origin;

    LineEditor editor;
    Model model;
    for (const std::string& key : keys) {
        const LineEditor before = editor;
        const EditResult result = apply_key(editor, key, width);
        model_key(model, key, static_cast<std::size_t>(width));
        FUZZ_CHECK(editor.line == model.line && editor.cursor == model.cursor);

        const bool line_changed = editor.line != before.line;
        const bool cursor_moved = editor.cursor != before.cursor;
        const bool enter = key == "\r" || key == "\n";
        const bool beep = key == "\xff\x53" && before.cursor == before.line.size();
        switch (result) {
            case EditResult::kInserted: FUZZ_CHECK(editor.line.size() > before.line.size()); break;
            case EditResult::kDeleted: FUZZ_CHECK(editor.line.size() < before.line.size()); break;
            case EditResult::kMoved: FUZZ_CHECK(!line_changed && cursor_moved); break;
            case EditResult::kBeep: FUZZ_CHECK(beep); break;
            case EditResult::kDone: FUZZ_CHECK(enter); break;
            case EditResult::kIgnored: FUZZ_CHECK(!line_changed && !cursor_moved && !enter && !beep); break;
        }
        FUZZ_CHECK(enter == (result == EditResult::kDone));
        FUZZ_CHECK(beep == (result == EditResult::kBeep));

        screen.perform(kolm::console::redraw_steps(kolm::console::mark_of(before), result, editor, origin, width));
        check_screen(screen, origin, editor);
    }
    return 0;
}
