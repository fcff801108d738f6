// A disc's details from the window, over discs imported by the real
// engines: tag lists longer than a record holds, deleting and adding tags
// across runs of the tag dialog, the keys of the add-tag dialog, and the
// label taken from a camera or a picture file.
#include "CAddTagDlg.h"
#include "CAlbireoApp.h"
#include "CAlphaEditEx.h"
#include "CDiscInfoDlg.h"
#include "CFileListView.h"
#include "CFilterListCtrl.h"
#include "CGComboBox.h"
#include "CGButton.h"
#include "CGComboBox.h"
#include "CGScrollCheckBox.h"
#include "CGStatic.h"
#include "CMainFrame.h"
#include "CSnapshotDlg.h"
#include "CTagView.h"
#include "CatalogueFixture.h"
#include "DiscTagList.h"
#include "FakeVideoCapture.h"
#include "ModalSeam.h"
#include "PictureFiles.h"
#include "ResourceIds.h"
#include "ScreenshotDir.h"
#include "TagRecords.h"
#include "TagText.h"
#include "StringResources.h"
#include "TestEnvironment.h"
#include "WinControls.h"
#include "WinMessage.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

constexpr UINT kDiscInformation = 3242;

CatalogueFixture* g_catalogue = nullptr;

// Fourteen tags whose names together are far longer than a record's 259
// characters, and a hundred whose ids are.
QString LongTag(int i) { return QStringLiteral("Holiday snapshots %1 at the seaside").arg(i, 2, 10, QLatin1Char('0')); }
QString ShortTag(int i) { return QStringLiteral("t%1").arg(i, 3, 10, QLatin1Char('0')); }
// Equal but for what encoding may change: a grid of pixels within 3 per channel.
bool SamePicture(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull()) return false;
    for (int y = 0; y < a.height(); y += a.height() / 8)
        for (int x = 0; x < a.width(); x += a.width() / 8) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            if (qAbs(p.red() - q.red()) > 3 || qAbs(p.green() - q.green()) > 3 || qAbs(p.blue() - q.blue()) > 3 ||
                qAbs(p.alpha() - q.alpha()) > 3)
                return false;
        }
    return true;
}

QStringList Tags(QString (*name)(int), int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i) names << name(i);
    return names;
}

class DiscDetailsWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_catalogue = new CatalogueFixture;
        g_catalogue->Import("Travel Album", {{"DCIM/IMG_0001.JPG", 3000}}, Tags(LongTag, 14));
        g_catalogue->Import("Many Tags", {{"list.txt", 100}}, Tags(ShortTag, 100));
        g_catalogue->Import("Plain Disc", {{"a.txt", 10}}, {"Holiday"});
        g_catalogue->Import("Backup Disc", {{"b.txt", 10}}, {"Holiday"});
    }
    static void TearDownTestSuite()
    {
        delete g_catalogue;
        g_catalogue = nullptr;
    }

    void SetUp() override
    {
        CSnapshotDlg::SetCaptureFactory({});
        m_app = CatalogueFixture::StartProgram();
        ASSERT_TRUE(m_app);
        m_frame = m_app->MainFrame();
        m_view = m_frame->FileListView();
        ModalSeam::TakeShown();
    }
    void TearDown() override
    {
        CSnapshotDlg::SetCaptureFactory({});
        if (m_app) m_app->ExitInstance();
        ModalSeam::Reset();
    }

    ILibraryEngine* Engine() const { return m_view->Engine(); }
    DiscRecord Disc(const QString& name) const
    {
        LONG count = 0;
        Engine()->GetDiscCount(&count);
        std::vector<DiscRecord> discs(static_cast<size_t>(std::max<LONG>(count, 0)), DiscRecord{});
        if (count > 0) Engine()->GetDiscs(discs.data(), count);
        for (const DiscRecord& disc : discs)
            if (QString::fromUtf16(disc.name) == name) return disc;
        ADD_FAILURE() << "no disc " << name.toStdString();
        return {};
    }
    // The disc's tags by name, read whole from the library.
    QStringList TagsOf(const QString& disc) const
    {
        const DiscTagList::Ids ids = DiscTagList::Read(Engine(), Disc(disc));
        EXPECT_TRUE(ids.whole);
        std::vector<TagRecord> tags;
        EXPECT_EQ(S_OK, TagRecords::Read(Engine(), &tags));
        return TagText::SplitNames(DiscTagList::Names(tags, ids.text));
    }
    int TagId(const QString& name) const
    {
        LONG id = 0, visible = 0;
        Engine()->FindTag(&id, &visible, TagRecords::Utf16(name.toLower()));
        return id;
    }
    int RowOf(const QString& disc) const
    {
        const QAbstractItemModel* model = m_view->List()->Model();
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->data(model->index(row, 0), Qt::DisplayRole).toString() == disc) return row;
        return -1;
    }
    QString TagsColumn(const QString& disc) const
    {
        const QAbstractItemModel* model = m_view->List()->Model();
        return model->data(model->index(RowOf(disc), 1), Qt::DisplayRole).toString();
    }
    // Opens the disc's information as its context menu does; `act` works
    // the dialog and gives its result.
    void DiscInformation(const QString& disc, std::function<int(CDiscInfoDlg*)> act)
    {
        m_view->ShowAllDiscs();
        const int row = RowOf(disc);
        ASSERT_GE(row, 0) << disc.toStdString();
        m_view->List()->SelectRow(row);
        ModalSeam::QueueAction([act](QDialog* window) {
            auto* info = qobject_cast<CDiscInfoDlg*>(window);
            return info ? act(info) : int(IDCANCEL);
        });
        m_view->OnCommand(kDiscInformation);
        EXPECT_EQ(ModalSeam::PendingAnswers(), 0u) << "every queued answer was used";
    }
    // Runs the add-tag dialog from the information dialog's tags button.
    static void EditTags(CDiscInfoDlg* info, std::function<int(CAddTagDlg*)> act)
    {
        ModalSeam::QueueAction([act](QDialog* window) {
            auto* tags = qobject_cast<CAddTagDlg*>(window);
            return tags ? act(tags) : int(IDCANCEL);
        });
        QTest::mouseClick(info->TagsButton(), Qt::LeftButton);
    }
    static int RowNamed(CAddTagDlg* tags, const QString& name)
    {
        for (int row = 0; row < tags->TagList()->GetRowCount(); ++row)
            if (tags->TagList()->GetRowText(row) == name) return row;
        return -1;
    }
    static void DeleteTag(CAddTagDlg* tags, const QString& name)
    {
        const int row = RowNamed(tags, name);
        ASSERT_GE(row, 0) << name.toStdString();
        ModalSeam::QueueAnswer(IDYES); // the delete question
        SendMessage(tags, CGScrollCheckBox::kDeleteMessage, WPARAM(row), 0);
    }
    static QList<UINT> MessagesShown()
    {
        QList<UINT> ids;
        for (const ModalRecord& record : ModalSeam::Shown())
            if (record.kind == QLatin1String("MessageBox")) ids << record.textId;
        return ids;
    }

    std::unique_ptr<CAlbireoApp> m_app;
    CMainFrame* m_frame = nullptr;
    CFileListView* m_view = nullptr;
};

} // namespace

TEST_F(DiscDetailsWindowTest, TagsPastTheRecordsLengthAreFilteredKeptByTheDialogAndNeverCut)
{
    // The tag pane filters by the last of the long names.
    CFilterListCtrl* userTags = m_frame->TagView()->TagList();
    int last = -1;
    for (int row = 0; row < userTags->GetItemCount(); ++row)
        if (userTags->GetItemText(row) == LongTag(14)) last = row;
    ASSERT_GE(last, 0);
    QTest::mouseClick(userTags->viewport(), Qt::LeftButton, Qt::NoModifier, userTags->StateRect(last).center());
    EXPECT_EQ(m_view->List()->Model()->rowCount(), 1);
    EXPECT_EQ(RowOf("Travel Album"), 0) << "a tag past 259 characters of names still filters";
    QTest::mouseClick(m_frame->TagView()->AllButton(), Qt::LeftButton);

    // The information dialog shows all fourteen, the tag dialog ticks them
    // all, and OK keeps them all.
    DiscInformation("Travel Album", [](CDiscInfoDlg* info) {
        EXPECT_TRUE(info->TagsValue()->toolTip().endsWith(LongTag(14))) << info->TagsValue()->toolTip().toStdString();
        EditTags(info, [](CAddTagDlg* tags) {
            for (int i = 1; i <= 14; ++i) EXPECT_TRUE(tags->TagList()->GetCheck(RowNamed(tags, LongTag(i)))) << i;
            return int(IDOK);
        });
        return int(IDOK);
    });
    EXPECT_EQ(TagsOf("Travel Album"), Tags(LongTag, 14));

    // A tag deleted from another disc's dialog is purged from every disc:
    // the disc whose ids are longer than its record keeps all the others.
    ASSERT_GT(QString::fromUtf16(Disc("Many Tags").tagIds).size(), 250) << "the record holds a cut id list";
    DiscInformation("Travel Album", [](CDiscInfoDlg* info) {
        EditTags(info, [](CAddTagDlg* tags) {
            DeleteTag(tags, ShortTag(100));
            return int(IDOK);
        });
        return int(IDOK);
    });
    QList<int> kept;
    for (const QString& name : Tags(ShortTag, 99)) kept << TagId(name);
    const DiscTagList::Ids ids = DiscTagList::Read(Engine(), Disc("Many Tags"));
    EXPECT_TRUE(ids.whole);
    EXPECT_EQ(TagText::SplitIds(ids.text), kept) << "the deleted tag is purged, and only it";
    EXPECT_EQ(TagsOf("Travel Album"), Tags(LongTag, 14));
}

TEST_F(DiscDetailsWindowTest, ATagDeletedInAnEarlierRunOfTheTagDialogLeavesEveryDisc)
{
    const int holiday = TagId("Holiday");
    ASSERT_GT(holiday, 0);
    // Deleted and OK, then the tag dialog opened again and cancelled.
    DiscInformation("Plain Disc", [](CDiscInfoDlg* info) {
        EditTags(info, [](CAddTagDlg* tags) {
            DeleteTag(tags, "Holiday");
            return int(IDOK);
        });
        EditTags(info, [](CAddTagDlg*) { return int(IDCANCEL); });
        EXPECT_TRUE(info->TagsDeleted());
        return int(IDOK);
    });
    EXPECT_FALSE(TagText::SplitIds(DiscTagList::Read(Engine(), Disc("Backup Disc")).text).contains(holiday));

    // Adding the name again shows the old tag again, on no other disc.
    DiscInformation("Plain Disc", [](CDiscInfoDlg* info) {
        EditTags(info, [](CAddTagDlg* tags) {
            tags->NameEdit()->setText("Holiday");
            QTest::mouseClick(tags->AddButton(), Qt::LeftButton);
            return int(IDOK);
        });
        return int(IDOK);
    });
    EXPECT_EQ(TagId("Holiday"), holiday);
    EXPECT_EQ(TagsOf("Plain Disc"), QStringList{"Holiday"});
    EXPECT_TRUE(TagsOf("Backup Disc").isEmpty());
    EXPECT_FALSE(TagsColumn("Backup Disc").contains("Holiday"));
}

TEST_F(DiscDetailsWindowTest, EnterInTheNameAddsTheTagAndAPastedNameTooLongIsSaid)
{
    DiscInformation("Backup Disc", [](CDiscInfoDlg* info) {
        EditTags(info, [](CAddTagDlg* tags) {
            CAlphaEditEx* name = tags->NameEdit();
            name->setFocus();
            QTest::keyClicks(name, "Road trip");
            QTest::keyClick(name, Qt::Key_Return);
            EXPECT_TRUE(tags->isVisible()) << "Enter adds, the dialog stays";
            const int added = RowNamed(tags, "Road trip");
            EXPECT_GE(added, 0);
            EXPECT_TRUE(added >= 0 && tags->TagList()->GetCheck(added));
            EXPECT_TRUE(name->text().isEmpty());
            ScreenshotDir::Save(tags, "add-tag-after-enter");

            ModalSeam::TakeShown();
            QGuiApplication::clipboard()->setText(QString(300, QLatin1Char('x')));
            QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(name->text().size(), CAddTagDlg::kNameLimit);
            EXPECT_EQ(MessagesShown(), QList<UINT>{IDS_MSG_TAG_TOO_LONG}) << "as when typed to the limit";
            name->clear();
            return int(IDOK);
        });
        return int(IDOK);
    });
    EXPECT_TRUE(TagsOf("Backup Disc").contains("Road trip"));
}

TEST_F(DiscDetailsWindowTest, WithoutACameraAPictureFileIsOfferedInAnyCaseAndItsLimitsAreTheRealOnes)
{
    const QString folder = TestEnvironment::MakeFolder("camera-pictures");
    const QString photo =
        PictureFiles::Write(folder + "/IMG_0001.JPG", PictureFiles::Encoded(PictureFiles::Banded(640, 480), "jpg"));
    const QString huge = PictureFiles::Write(folder + "/huge.png", PictureFiles::PngAnnouncing(30000, 30000));
    const QString bulky = PictureFiles::Write(folder + "/bulky.png", PictureFiles::Encoded(PictureFiles::Banded(8, 8), "png"));
    QFile(bulky).resize(300LL * 1024 * 1024); // sparse: more bytes than a picture file may have
    QStringList offered;
    DiscInformation("Plain Disc", [&](CDiscInfoDlg* info) {
        ModalSeam::QueueAnswer(IDOK); // message 3256, the first time only
        for (const QString& picture : {huge, bulky}) {
            ModalSeam::QueueAction([picture](QDialog* window) {
                auto* snapshot = qobject_cast<CSnapshotDlg*>(window);
                if (snapshot) snapshot->UsePictureFile(picture);
                return int(IDCANCEL);
            });
            QTest::mouseClick(info->AddLabelButton(), Qt::LeftButton);
        }
        // The picture source asks for the file; a dialog that matches
        // patterns by case (as the desktop's own may) offers camera names.
        ModalSeam::QueueAction([&](QDialog* window) {
            auto* snapshot = qobject_cast<CSnapshotDlg*>(window);
            if (!snapshot) return int(IDCANCEL);
            ModalSeam::QueueAction([&](QDialog* chooser) {
                auto* files = qobject_cast<QFileDialog*>(chooser);
                if (!files) return int(IDCANCEL);
                files->setFilter(files->filter() | QDir::CaseSensitive);
                files->setDirectory(folder);
                auto* list = files->findChild<QAbstractItemView*>("listView");
                EXPECT_TRUE(QTest::qWaitFor([list] { return list && list->model()->rowCount(list->rootIndex()) > 0; }));
                if (!list) return int(IDCANCEL);
                for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
                    offered << list->model()->index(row, 0, list->rootIndex()).data().toString();
                // Ended as accepted directly: accept() checks the name
                // against the folder model, which fills in the background.
                auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (!name) return int(IDCANCEL);
                name->setText(photo);
                static_cast<QDialog*>(files)->done(QDialog::Accepted);
                return ModalSeam::kWindowDecides;
            });
            snapshot->DeviceCombo()->SetCurSel(snapshot->DeviceEntries().size() - 1);
            SendCommandToParent(snapshot->DeviceCombo(), CBN_SELCHANGE);
            snapshot->Capture();
            return int(IDOK);
        });
        QTest::mouseClick(info->AddLabelButton(), Qt::LeftButton);
        EXPECT_FALSE(info->LabelBitmap().isNull()) << "the photo became the label";
        return int(IDCANCEL);
    });
    EXPECT_TRUE(offered.contains("IMG_0001.JPG")) << offered.join(", ").toStdString();

    QStringList tooLarge; // the messages formatted with numbers
    int noCamera = 0;
    for (const ModalRecord& record : ModalSeam::Shown()) {
        if (record.textId == IDS_MSG_NO_CAPTURE_DEVICE) ++noCamera;
        if (record.kind == QLatin1String("MessageBox") && record.textId == 0) tooLarge << record.text;
    }
    EXPECT_EQ(noCamera, 1) << "told once in a run, the picture file works without a camera";
    ASSERT_EQ(tooLarge.size(), 2);
    for (const QString& text : tooLarge) {
        EXPECT_TRUE(text.contains("12000") && text.contains("50") && text.contains("256"))
            << "the real limits: " << text.toStdString();
        EXPECT_FALSE(text.contains("-1")) << text.toStdString();
    }
}

TEST_F(DiscDetailsWindowTest, AFailedSecondCaptureKeepsTheFirstAndAnUnpluggedCameraIsToldFromTheEventLoop)
{
    FakeVideoCapture* camera = nullptr;
    CSnapshotDlg::SetCaptureFactory([&camera] {
        auto fake = std::make_unique<FakeVideoCapture>();
        fake->devices = {QStringLiteral("USB camera")};
        camera = fake.get();
        return fake;
    });
    QImage noise(800, 800, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, QRandomGenerator::global()->generate() | 0xFF000000u);
    const auto take = [&](const QImage& frame, bool unplug) {
        return [&camera, frame, unplug](QDialog* window) {
            auto* snapshot = qobject_cast<CSnapshotDlg*>(window);
            if (!snapshot || !camera) return int(IDCANCEL);
            camera->Feed(frame);
            snapshot->Capture();
            if (unplug) {
                // The camera leaves: the dialog hears of it inside the
                // facility's signal and must not answer there.
                camera->devices.clear();
                emit camera->previewFailed();
                EXPECT_FALSE(MessagesShown().contains(IDS_MSG_PREVIEW_FAILED)) << "told from the event loop";
                QTest::qWait(0);
                EXPECT_TRUE(MessagesShown().contains(IDS_MSG_PREVIEW_FAILED));
                return int(IDOK);
            }
            // Room for the small label files only: the 360 pixel one fails.
            signal(SIGXFSZ, SIG_IGN);
            const rlimit small = {150 * 1024, RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &small);
            return int(IDOK);
        };
    };
    QImage shownFirst, firstLarge;
    DiscInformation("Backup Disc", [&](CDiscInfoDlg* info) {
        ModalSeam::QueueAction(take(PictureFiles::Banded(640, 480), true));
        QTest::mouseClick(info->AddLabelButton(), Qt::LeftButton);
        shownFirst = info->LabelBitmap();
        const QString first = info->LargeLabelPath();
        firstLarge = QImage(first);
        EXPECT_FALSE(firstLarge.isNull());

        ModalSeam::QueueAction(take(noise, false));
        QTest::mouseClick(info->AddLabelButton(), Qt::LeftButton);
        const rlimit unlimited = {RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &unlimited);
        signal(SIGXFSZ, SIG_DFL);
        EXPECT_TRUE(MessagesShown().contains(IDS_MSG_LABEL_NOT_SAVED));
        EXPECT_EQ(info->LabelBitmap(), shownFirst) << "the first capture is still shown";
        EXPECT_EQ(info->LargeLabelPath(), first);
        EXPECT_EQ(QImage(first), firstLarge) << "and its files are untouched";
        for (const QString& path : {info->SmallLabelPath(), info->MediumLabelPath()})
            EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
        return int(IDOK);
    });
    QImage* stored = nullptr;
    ASSERT_EQ(S_OK, Engine()->GetLabelImage(Disc("Backup Disc").labelId, &stored));
    const std::unique_ptr<QImage> label(stored);
    EXPECT_TRUE(SamePicture(*label, firstLarge)) << "the first capture is the disc's label";
}
