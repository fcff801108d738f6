// Albireo: catalogues optical discs and disc images into a searchable library.
#include "LanguageOption.h"

#include <QApplication>
#include <QMainWindow>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    QString error;
    if (LanguageOption::Apply(&arguments, &error) == LanguageOption::Result::Refused) {
        std::fprintf(stderr, "albireo: %s\n", qUtf8Printable(error));
        return 2;
    }
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Albireo"));
    window.resize(1024, 668);
    window.show();
    return app.exec();
}
