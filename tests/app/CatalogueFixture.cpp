#include "CatalogueFixture.h"

#include "CAlbDataItem.h"
#include "CAlbListCtrl.h"
#include "CAlbireoApp.h"
#include "CFileListView.h"
#include "ModalSeam.h"
#include "PowerNotices.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

CatalogueFixture::CatalogueFixture()
{
    m_drive = m_cli.ImageDriveLetter();
    qputenv("ALBIREO_LIBRARY_DB", LibraryPath().toLocal8Bit());
}

QString CatalogueFixture::LibraryPath() const { return m_cli.Folder() + QStringLiteral("/data/Albireo/library.db"); }

bool CatalogueFixture::Import(const QString& name, const QList<QPair<QString, int>>& files, const QStringList& tags,
                              const Times& times)
{
    const QString folder = m_cli.Folder() + QStringLiteral("/image%1").arg(++m_nImages);
    const QString tree = TestImages::MakeTree(folder, files);
    for (auto file = times.files.begin(); file != times.files.end(); ++file) {
        QFile written(tree + u'/' + file.key());
        EXPECT_TRUE(written.open(QIODevice::ReadWrite) &&
                    written.setFileTime(file.value(), QFileDevice::FileModificationTime))
            << file.key().toStdString();
    }
    // xorriso dates the volume by SOURCE_DATE_EPOCH when it is set.
    if (times.volume.isValid()) qputenv("SOURCE_DATE_EPOCH", QByteArray::number(times.volume.toSecsSinceEpoch()));
    const QString image = TestImages::MakeIso(tree, folder + QStringLiteral("/disc.iso"), name.left(16).toUpper());
    qunsetenv("SOURCE_DATE_EPOCH");
    m_images.insert(name, image);
    m_trees.insert(name, tree);
    return ImportImage(name, image, tags);
}

bool CatalogueFixture::ImportImage(const QString& name, const QString& image, const QStringList& tags)
{
    if (m_cli.Run({QStringLiteral("insert"), m_drive, image}).exitCode != 0) return false;
    QStringList arguments = {QStringLiteral("import"), m_drive, QStringLiteral("--name"), name};
    if (!tags.isEmpty()) arguments << QStringLiteral("--tags") << tags.join(u',');
    const CliResult result = m_cli.Run(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    return result.exitCode == 0;
}

std::unique_ptr<CAlbireoApp> CatalogueFixture::StartProgram()
{
    ResetProgramState();
    auto app = std::make_unique<CAlbireoApp>(QStringList{QStringLiteral("albireo")});
    app->SetPowerNotices(std::make_unique<PowerNotices>());
    if (!app->InitInstance()) return nullptr;
    return app;
}

void CatalogueFixture::ResetProgramState()
{
    TestEnvironment::ResetRegistry();
    qputenv("ALBIREO_RUNTIME_DIR", TestEnvironment::MakeFolder(QStringLiteral("run")).toLocal8Bit());
    ModalSeam::Reset();
}

bool CatalogueFixture::OpenRowNamed(CFileListView* view, const QString& name)
{
    const CAlbDataItem* root = view->Root();
    for (int row = 0; root && row < root->ChildCount(); ++row)
        if (root->Child(row)->m_strName == name) {
            view->List()->SelectRow(row);
            QTest::keyClick(view->List(), Qt::Key_Return);
            return true;
        }
    return false;
}
