#include "dialogue/console/typed_answers.h"

#include <vector>

#include "dialogue/console/answer_fields.h"
#include "dialogue/console/key_read.h"
#include "dialogue/console/line_editor.h"
#include "dialogue/console/output.h"
#include "platform/platform.h"

namespace kolm::console {

namespace {

// The line typed at the last prompt, read field by field.
AnswerLine g_answer;

void perform(const std::vector<DrawStep>& steps) {
    for (const DrawStep& step : steps) {
        switch (step.kind) {
            case DrawStep::Kind::kWrite: platform::console_write(step.bytes); break;
            case DrawStep::Kind::kClearToEnd: platform::console_clear_to_end(); break;
            case DrawStep::Kind::kMove: platform::console_move_cursor(step.rows, step.column); break;
        }
    }
}

// Edits one line, drawing it at the console cursor as it changes. The echo
// bypasses the print operations, so the console column stays where the
// prompt left it. Returns with the cursor after the end of the line.
std::string edit_on_console() {
    const int origin = console_column();
    const int width = console_width();
    const bool was_visible = platform::console_cursor_visible();
    platform::console_set_cursor_visible(true);

    LineEditor editor;
    bool done = false;
    while (!done) {
        const EditorMark before = mark_of(editor);
        EditResult result = apply_key(editor, wait_for_any_key(), width);
        if (result == EditResult::kBeep) platform::console_beep();
        if (result == EditResult::kDone) {
            // The line end belongs after the whole line, not in its middle.
            done = true;
            editor.cursor = editor.line.size();
            result = EditResult::kMoved;
        }
        perform(redraw_steps(before, result, editor, origin, width));
    }
    platform::console_set_cursor_visible(was_visible);
    return editor.line;
}

// With no cursor to move (output to a pipe or a file, or a dumb terminal)
// the line is edited silently and shown once, as it was ended, so
// that a transcript reads like the screen a user would have seen.
std::string edit_unseen() {
    LineEditor editor;
    while (apply_key(editor, wait_for_any_key(), console_width()) != EditResult::kDone) {
    }
    platform::console_write(editor.line);
    return editor.line;
}

}  // namespace

void prompt_line(std::string_view prompt) {
    print_text(kConsole, prompt, kNoEnding);
    print_text(kConsole, "? ", kNoEnding);
    std::string line = platform::console_can_move_cursor() ? edit_on_console() : edit_unseen();
    print_line_end(kConsole);
    g_answer = AnswerLine{std::move(line), 0};
}

std::string read_text_field() { return next_text_field(g_answer); }

std::int32_t read_integer_field() { return integer_field_value(next_integer_field(g_answer)); }

}  // namespace kolm::console
