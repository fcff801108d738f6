// Albireo: catalogues optical discs and disc images into a searchable library.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Albireo"));
    window.resize(1024, 668);
    window.show();
    return app.exec();
}
