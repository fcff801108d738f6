// Screenshots of the snapshot and label dialogs, for review.
#include "CAddTagDlg.h"
#include "CDiscInfoDlg.h"
#include "CDiscLabelDlg.h"
#include "CSnapshotDlg.h"
#include "DiscDetailsScreenshots.h"
#include "EngineTestSupport.h"
#include "FakeVideoCapture.h"
#include "ModalSeam.h"
#include "LayoutScale.h"
#include "PictureFiles.h"
#include "StringResources.h"
#include "TestEnvironment.h"
#include "TextFit.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(DiscDetailsScreenshots, SnapshotDialogWithACameraFrameAndItsCapture)
{
    FakeVideoCapture* fake = nullptr;
    CSnapshotDlg::SetCaptureFactory([&fake] {
        auto capture = std::make_unique<FakeVideoCapture>();
        capture->devices = {QStringLiteral("USB 2.0 Camera"), QStringLiteral("Integrated Webcam")};
        fake = capture.get();
        return capture;
    });
    CSnapshotDlg dialog(nullptr, 0, nullptr);
    ASSERT_EQ(S_OK, dialog.prepare());
    ASSERT_TRUE(dialog.CreateModeless());
    fake->Feed(DiscDetailsScreenshots::Cover(640, 480));
    ASSERT_TRUE(dialog.Capture());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(DiscDetailsScreenshots::Save(dialog, QStringLiteral("snapshot-camera.png")));
    CSnapshotDlg::SetCaptureFactory({});
    ModalSeam::Reset();
}

TEST(DiscDetailsScreenshots, SnapshotDialogWithoutACamera)
{
    CSnapshotDlg::SetCaptureFactory([] { return std::make_unique<FakeVideoCapture>(); });
    CSnapshotDlg dialog(nullptr, 0, nullptr);
    ModalSeam::QueueAnswer(IDOK);
    dialog.prepare();
    ASSERT_TRUE(dialog.CreateModeless());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(DiscDetailsScreenshots::Save(dialog, QStringLiteral("snapshot-no-camera.png")));
    CSnapshotDlg::SetCaptureFactory({});
    ModalSeam::Reset();
}

TEST(DiscDetailsScreenshots, DiscLabelDialog)
{
    UseFreshDatabase();
    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("label-shot"));
    const QString path = folder + "/label.png";
    ASSERT_TRUE(DiscDetailsScreenshots::Cover(360, 360).save(path));
    ASSERT_EQ(S_OK, engine->AddLabel(W(path), W(path), W(path)));
    LONG labelId = 0;
    ASSERT_EQ(S_OK, engine->GetLastLabelId(&labelId));
    CDiscLabelDlg dialog(labelId, engine.get());
    ASSERT_TRUE(dialog.CreateModeless());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(DiscDetailsScreenshots::Save(dialog, QStringLiteral("disclabel.png")));
}

TEST(DiscDetailsScreenshots, DiscInformationDialogInBothForms)
{
    UseFreshDatabase();
    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    for (const char16_t* name : {u"Video", u"Photo", u"Music", u"Document", u"Holiday", u"Family", u"Beach"})
        ASSERT_EQ(S_OK, engine->AddTag(name, nullptr));
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("info-shot"));
    const QString path = folder + "/label.png";
    ASSERT_TRUE(DiscDetailsScreenshots::Cover(360, 360).save(path));
    ASSERT_EQ(S_OK, engine->AddLabel(W(path), W(path), W(path)));
    LONG labelId = 0;
    ASSERT_EQ(S_OK, engine->GetLastLabelId(&labelId));

    CDiscInfoDlg existing(QStringLiteral("Holiday 2024"), QStringLiteral("DVD-ROM, UDF 1.02"), QStringLiteral("4.37 GB"),
                          QStringLiteral("17/08/2024 10:20"), labelId, QStringLiteral("2::5::6::7"), false, 0,
                          engine.get());
    ASSERT_TRUE(existing.CreateModeless());
    existing.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&existing));
    EXPECT_TRUE(DiscDetailsScreenshots::Save(existing, QStringLiteral("discinfo.png")));

    CDiscInfoDlg fresh(QStringLiteral("BACKUP_2024_11"), QStringLiteral("CD-R, ISO 9660 + Joliet"),
                       QStringLiteral("512.3 MB"), QStringLiteral("03/11/2024 18:45"), 0, QString(), true, 1,
                       engine.get());
    ASSERT_TRUE(fresh.CreateModeless());
    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    EXPECT_TRUE(DiscDetailsScreenshots::Save(fresh, QStringLiteral("discinfo-newdisc.png")));
}

TEST(DiscDetailsScreenshots, EveryDialogFitsItsTextsInEnglishAndGermanAtBothScales)
{
    UseFreshDatabase();
    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    for (const char16_t* name : {u"Video", u"Photo", u"Music", u"Document", u"Holiday", u"Family"})
        ASSERT_EQ(S_OK, engine->AddTag(name, nullptr));
    CSnapshotDlg::SetCaptureFactory([] { return std::make_unique<FakeVideoCapture>(); });
    for (const QString language : {QStringLiteral("Enu"), QStringLiteral("Deu")}) {
        SetResourceHandle(ResourceModule::Load(QStringLiteral("Language\\%1\\FlwRC.dll").arg(language)));
        for (const bool large : {false, true}) {
            LayoutScale scale(large);
            const QString suffix = u'-' + language.toLower() + QString::fromLatin1(large ? "-150.png" : "-100.png");
            const auto check = [&suffix](CFlwDialog& dialog, const QString& name) {
                ASSERT_TRUE(dialog.CreateModeless()) << name.toStdString();
                dialog.show();
                ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
                EXPECT_TRUE(DiscDetailsScreenshots::Save(dialog, name + suffix));
                EXPECT_EQ(TextFit::ClippedTexts(dialog), QStringList()) << (name + suffix).toStdString();
            };
            CDiscInfoDlg existing(QStringLiteral("Holiday 2024"), QStringLiteral("DVD ROM"), QStringLiteral("4,370 KB"),
                                  QStringLiteral(" 17/08/2024 10:20 "), 0, QStringLiteral("2::5"), false, 0, engine.get());
            check(existing, QStringLiteral("fit-discinfo"));
            CDiscInfoDlg fresh(QStringLiteral("BACKUP_2024_11"), QStringLiteral("CD ROM"), QStringLiteral("512 KB"),
                               QStringLiteral(" 03/11/2024 18:45 "), 0, QString(), true, 1, engine.get());
            check(fresh, QStringLiteral("fit-discinfo-new"));
            CAddTagDlg tags(engine.get());
            tags.setNames(QStringLiteral("Holiday, Family"));
            check(tags, QStringLiteral("fit-addtag"));
            CDiscLabelDlg label(0, engine.get());
            check(label, QStringLiteral("fit-disclabel"));
            CSnapshotDlg snapshot(nullptr, 0, engine.get());
            ModalSeam::QueueAnswer(IDOK);
            snapshot.prepare();
            check(snapshot, QStringLiteral("fit-snapshot"));
            ModalSeam::Reset();
        }
    }
    SetResourceHandle(nullptr);
    CSnapshotDlg::SetCaptureFactory({});
}

} // namespace
