// Every modal run of the program, message boxes and dialogs alike, passes
// through here. A person answers a real run; tests queue the answers
// instead and read back what was shown, so that no test waits for a human:
//
//     ModalSeam::QueueAnswer(IDYES);                  // the next run answers Yes
//     ModalSeam::QueueAction([](QDialog* d) { ...; return IDOK; });
//     ... code under test runs a message box or dialog ...
//     ModalSeam::Shown().back().textId               // which message was shown
#pragma once
#include "wintypes.h"

#include <QString>
#include <cstddef>
#include <functional>
#include <vector>

class QDialog;

// What a modal run showed and how it ended.
struct ModalRecord {
    QString kind;          // "MessageBox", or the dialog's class name
    UINT textId = 0;       // the message's string resource (0: given as text), or the dialog's template number
    QString text;          // the message text, or the dialog's caption text
    UINT style = 0;        // message-box style bits
    UINT captionId = 0;    // the caption's string resource
    QString caption;       // the caption text
    QString iconPath;      // the icon picture a message box chose
    int result = 0;        // what the run returned
    bool answered = true;  // false: an unattended run that nobody answered
};

namespace ModalSeam {

// Acts on the open window (types, clicks, reads it) and returns the run's
// result, or kWindowDecides to take the result the window ended with
// itself (for example after the action clicked its OK button).
using Action = std::function<int(QDialog* window)>;
constexpr int kWindowDecides = -0x7FFF;

// Runs `window` modally and returns its result. A queued answer is given
// by pressing it: IDOK accepts, IDCANCEL rejects, any other code ends the
// window with that code; an action sees the window shown.
int Run(QDialog* window, ModalRecord record);

// Answers for the next runs, first queued first used (a run started from
// inside an action takes the next one).
void QueueAnswer(int result);
void QueueAction(Action action);
size_t PendingAnswers();

// Unattended (every test program): a run without a queued answer is not
// shown; it is recorded as unanswered and returns IDCANCEL. Runs are
// recorded only while unattended or while answers are queued, so that a
// program that runs for days keeps no growing record of them.
void SetUnattended(bool unattended);
bool IsUnattended();

// The runs so far, in the order they started.
const std::vector<ModalRecord>& Shown();
std::vector<ModalRecord> TakeShown();
// Forgets queued answers and shown records.
void Reset();

} // namespace ModalSeam
