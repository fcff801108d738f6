// A message box on the real display, for the keyboard test on an X server:
//   skin_x11_probe <style>
// shows "Eject the disc?" with the style and exits with the result code
// (99 when nobody answered within 150 seconds, so a broken run cannot hang).
#include "CFlwMessageBox.h"
#include "StringResources.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    SetResourceHandle(ResourceModule::Load(QStringLiteral("Language\\Enu\\FlwRC.dll")));
    QTimer::singleShot(150000, [] { std::_Exit(99); });
    return CFlwMessageBox::showMessage(QStringLiteral("Eject the disc?"), QString::fromLatin1(argv[1]).toUInt());
}
