// The import's progress on standard error: a bar redrawn in place on a
// terminal, plain "NN%" lines otherwise (each percentage once).
#pragma once
#include <QString>

class ImportProgress {
public:
    ImportProgress();
    void Show(int percent);
    // A line about the import's state (shown once while it stays the same;
    // an empty text ends it).
    void ShowState(const QString& text);
    // Ends the display; a negative value means the import failed.
    void Finish(int percent);

private:
    bool m_bTerminal;
    int m_nShown = -1;
    QString m_state;
};
