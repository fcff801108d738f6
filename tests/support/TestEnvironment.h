// Every test program runs on its own settings and data: the registry roots,
// the XDG folders and the library location point into a fresh temporary
// folder, so no test touches the user's files.
#pragma once
#include <QString>
#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace TestEnvironment {

// The temporary folder of this test program's run.
QString Root();
// A fresh empty folder below Root().
QString MakeFolder(const QString& name);
// Points both registry roots at fresh empty files.
void ResetRegistry();
// The program folder of the build tree (what an installation holds).
QString ProgramFolder();
// The path of a test executable or helper beside the running test.
QString TestBinary(const QString& name);

} // namespace TestEnvironment
