// Albireo: catalogues optical discs and disc images into a searchable library.
#include "CAlbireoApp.h"
#include "LanguageOption.h"
#include "LeakCheckBeforeTeardown.h"
#include "ModalSeam.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

int RunProgram(int argc, char** argv)
{
    // Answered before anything starts, so that it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("albireo %s\n", ALBIREO_VERSION);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(ALBIREO_VERSION));
    // Scripts and smoke tests run the program with nobody to answer its
    // message boxes: each is then recorded on standard error and cancelled.
    if (qEnvironmentVariableIntValue("ALBIREO_UNATTENDED")) ModalSeam::SetUnattended(true);
    // "--language CODE" is stored before start-up chooses the language.
    QStringList arguments = QApplication::arguments();
    QString error;
    if (LanguageOption::Apply(&arguments, &error) == LanguageOption::Result::Refused) {
        std::fprintf(stderr, "albireo: %s\n", qUtf8Printable(error));
        return 2;
    }
    CAlbireoApp app(arguments);
    if (app.InitInstance()) application.exec();
    return app.ExitInstance();
}

} // namespace

int main(int argc, char** argv)
{
    const int status = RunProgram(argc, argv);
    CheckLeaksBeforeTeardown();
    return status;
}
