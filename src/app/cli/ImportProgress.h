// The import's progress on standard error: a bar redrawn in place on a
// terminal, plain "NN%" lines otherwise (each percentage once).
#pragma once

class ImportProgress {
public:
    ImportProgress();
    void Show(int percent);
    // Ends the display; a negative value means the import failed.
    void Finish(int percent);

private:
    bool m_bTerminal;
    int m_nShown = -1;
};
