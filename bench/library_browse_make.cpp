#include "BrowseLibrary.h"
#include <QCoreApplication>
int main(int argc, char** argv) { QCoreApplication app(argc, argv); BrowseLibrary::Ensure(QString::fromLocal8Bit(argv[1])); return 0; }
