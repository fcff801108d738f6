#include "ImportProgress.h"

#include <cstdio>
#include <string>
#include <unistd.h>

ImportProgress::ImportProgress() : m_bTerminal(isatty(STDERR_FILENO) != 0) {}

void ImportProgress::Show(int percent)
{
    if (percent == m_nShown) return;
    m_nShown = percent;
    if (!m_bTerminal) {
        std::fprintf(stderr, "%d%%\n", percent);
        return;
    }
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\rImporting [%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '.').c_str(), percent);
    std::fflush(stderr);
}

void ImportProgress::ShowState(const QString& text)
{
    if (text == m_state) return;
    m_state = text;
    if (text.isEmpty()) return;
    const QString line = QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "%s%s\n", m_bTerminal && m_nShown >= 0 ? "\n" : "", qPrintable(line));
    m_nShown = -1; // redraw the bar below the line
    std::fflush(stderr);
}

void ImportProgress::Finish(int percent)
{
    if (percent >= 0) Show(percent);
    if (m_bTerminal) std::fputc('\n', stderr);
}
