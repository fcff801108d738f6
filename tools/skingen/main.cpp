// skingen: draws every picture of the skin into a program folder.
//   skingen <program folder>    writes <program folder>/Image/...
//   skingen --list              prints the picture paths, one a line
//   skingen --icons <folder>    writes the application icon's hicolor tree
#include "ApplicationIcon.h"
#include "Families.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Canvas::Pictures pictures;
    AddControlPictures(pictures);
    AddDialogPictures(pictures);
    AddMainFramePictures(pictures);
    AddCommandViewPictures(pictures);
    AddDiscLabelPictures(pictures);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("--icons"))
        return WriteApplicationIcons(args[1], QStringLiteral("albireo")) ? 0 : 1;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: skingen <program folder> | --list | --icons <folder>\n");
        return 2;
    }
    if (args[0] == QLatin1String("--list")) {
        for (const Canvas::Picture& picture : pictures) std::printf("%s\n", qPrintable(picture.path));
        return 0;
    }
    return Canvas::WriteAll(pictures, args[0]) ? 0 : 1;
}
