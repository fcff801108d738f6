#include "ModalSeam.h"

#include "Diagnostics.h"

#include <QCoreApplication>
#include <QDialog>
#include <deque>

namespace {

struct Answer {
    int result = 0;
    ModalSeam::Action action;
};

struct SeamState {
    std::deque<Answer> queue;
    std::vector<ModalRecord> shown;
    bool unattended = false;
};

SeamState& State()
{
    static SeamState state;
    return state;
}

// Ends the window as its own buttons would, so that its OK and Cancel
// handling runs; a window that refuses to close is ended with the code.
void Press(QDialog* window, int code, const bool& finished)
{
    if (code == IDOK)
        window->accept();
    else if (code == IDCANCEL)
        window->reject();
    else
        window->done(code);
    if (!finished) window->done(code);
}

int Answered(QDialog* window, const Answer& answer)
{
    bool finished = false;
    const auto connection = QObject::connect(window, &QDialog::finished, [&finished] { finished = true; });
    int code = answer.result;
    if (answer.action) {
        window->show();
        QCoreApplication::processEvents();
        code = answer.action(window);
    }
    if (code == ModalSeam::kWindowDecides) {
        // A window its action left open is cancelled.
        code = finished ? window->result() : IDCANCEL;
        if (!finished) Press(window, code, finished);
    } else if (!finished) {
        Press(window, code, finished);
    }
    QObject::disconnect(connection);
    window->hide();
    return code;
}

} // namespace

namespace ModalSeam {

int Run(QDialog* window, ModalRecord record)
{
    SeamState& state = State();
    if (state.queue.empty() && !state.unattended) return window->exec(); // a person answers; nothing to record
    const size_t index = state.shown.size();
    state.shown.push_back(record);
    int result = IDCANCEL;
    if (!state.queue.empty()) {
        const Answer answer = std::move(state.queue.front());
        state.queue.pop_front();
        result = Answered(window, answer);
    } else {
        state.shown[index].answered = false;
        DiagWriteAlways("ModalSeam", "unanswered modal run: %s %u \"%s\"", qUtf8Printable(record.kind),
                        record.textId, qUtf8Printable(record.text.left(80)));
    }
    state.shown[index].result = result;
    return result;
}

void QueueAnswer(int result) { State().queue.push_back(Answer{result, {}}); }

void QueueAction(Action action) { State().queue.push_back(Answer{0, std::move(action)}); }

size_t PendingAnswers() { return State().queue.size(); }

void SetUnattended(bool unattended) { State().unattended = unattended; }

bool IsUnattended() { return State().unattended; }

const std::vector<ModalRecord>& Shown() { return State().shown; }

std::vector<ModalRecord> TakeShown() { return std::exchange(State().shown, {}); }

void Reset()
{
    State().queue.clear();
    State().shown.clear();
}

} // namespace ModalSeam
