// The import through the real window: the import command, the drive
// dialog, the waiting and loading dialogs, the details dialog, the scan with
// its progress window and its end, over the real engines and a generated
// disc image; and a disc image handed over by a second start of the program.
#include "EventualAssert.h"
#include "CAlphaEditEx.h"
#include "CDiscInfoDlg.h"
#include "CAlbireoApp.h"
#include "CDiscAccess.h"
#include "CDriveSelectDlg.h"
#include "CFileListView.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGComboBox.h"
#include "CImportCommand.h"
#include "CLoadingDiscDlg.h"
#include "CMainFrame.h"
#include "DesktopOpener.h"
#include "CProgressDlg.h"
#include "CWaitingDiscDlg.h"
#include "CatalogueFixture.h"
#include "ILibraryEngineStatus.h"
#include "ImageDriveSlots.h"
#include "LanguageOption.h"
#include "LayoutScale.h"
#include "LibraryReader.h"
#include "ModalSeam.h"
#include "PowerNotices.h"
#include "PrivateTempFolder.h"
#include "CAlbDataItem.h"
#include "CArcEditWrapper.h"
#include "CGEdit.h"
#include "CAlbListCtrl.h"
#include "ScreenshotDir.h"
#include "TestEnvironment.h"
#include "TextFit.h"

#include <QDeadlineTimer>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <memory>
#include <optional>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Lets the window run until `done` holds or the time is up.
bool WaitFor(const std::function<bool()>& done, int milliseconds = 60000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired()) QTest::qWait(20);
    return done();
}

// A modal run left to end itself (the loading dialog ends when the read does).
ModalSeam::Action LetItFinish(const QString& screenshot = QString())
{
    return [screenshot](QDialog* window) {
        if (!screenshot.isEmpty()) ScreenshotDir::Save(window, screenshot);
        WaitFor([window] { return !window->isVisible(); });
        return ModalSeam::kWindowDecides;
    };
}

// The drive dialog: chooses the drive at `position` and presses OK.
ModalSeam::Action ChooseDrive(int position, const QString& screenshot = QString())
{
    return [position, screenshot](QDialog* window) {
        auto* dialog = qobject_cast<CDriveSelectDlg*>(window);
        if (!dialog) return IDCANCEL;
        dialog->DriveList()->SetCurSel(position);
        if (!screenshot.isEmpty()) ScreenshotDir::Save(dialog, screenshot);
        return IDOK;
    };
}

QStringList Kinds(const std::vector<ModalRecord>& shown)
{
    QStringList kinds;
    for (const ModalRecord& record : shown)
        kinds << (record.kind == "MessageBox" ? QStringLiteral("MessageBox %1").arg(record.textId) : record.kind);
    return kinds;
}

class ImportWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_catalogue = new CatalogueFixture;
        const QString folder = TestEnvironment::MakeFolder("import-window");
        const QString tree = TestImages::MakeTree(folder, {{"photos/beach.jpg", 3000}, {"photos/dunes.jpg", 5000},
                                                           {"readme.txt", 700}});
        g_image = TestImages::MakeIso(tree, folder + "/summer.iso", "SUMMER_2025");
        g_tree = tree;
    }
    static void TearDownTestSuite()
    {
        delete g_catalogue;
        g_catalogue = nullptr;
    }

    void SetUp() override { StartProgram(); }
    void TearDown() override
    {
        if (!m_app) StartProgram(); // the test ended the program: the next start cleans up
        m_discs->WaitForScan();
        for (const char* name : {"SUMMER_2025", "Summer by the Sea"})
            for (const DiscRecord& disc : DiscsNamed(name)) m_library->DeleteDisc(disc.discId, 0);
        ImageDriveSlots(*m_discs).At(m_position)->EjectImage();
        m_app.reset();
    }

    // `settings` runs on the fresh settings before the start; the language
    // option is applied as the program's main() does.
    void StartProgram(QStringList arguments = {"albireo"}, const std::function<void()>& settings = {})
    {
        CatalogueFixture::ResetProgramState();
        if (settings) settings();
        EXPECT_NE(LanguageOption::Apply(&arguments, nullptr), LanguageOption::Result::Refused);
        m_app = std::make_unique<CAlbireoApp>(arguments);
        m_app->SetPowerNotices(std::make_unique<PowerNotices>());
        ASSERT_TRUE(m_app->InitInstance());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_app->MainFrame()));
        m_frame = m_app->MainFrame();
        m_discs = CAlbireoApp::GetDiscAccess();
        m_library = m_frame->FileListView()->Engine();
        m_position = ImageDriveSlots(*m_discs).ChooseFor(g_image);
        ASSERT_GE(m_position, 0) << "the engine lists an image drive";
    }
    // The program ends as main() ends it once the event loop has ended.
    void EndProgram()
    {
        EXPECT_EQ(m_app->ExitInstance(), 0);
        m_app.reset();
        m_frame = nullptr;
        m_discs = nullptr;
        m_library = nullptr;
    }

    void InsertImage(const QString& image)
    {
        QString reason;
        ASSERT_EQ(ImageDriveSlots(*m_discs).Insert(m_position, image, &reason), S_OK) << reason.toStdString();
    }

    // Queues the answers of a whole new import and runs the command.
    // `name`: typed over the suggested name in the details.
    void ImportThroughTheWindow(const QString& screenshots = QString(), const QString& name = QString())
    {
        const auto shot = [&](const QString& name) { return screenshots.isEmpty() ? QString() : screenshots + name; };
        ModalSeam::QueueAction(ChooseDrive(m_position, shot("drive")));
        ModalSeam::QueueAction(LetItFinish(shot("loading")));
        m_detailsTexts.clear();
        ModalSeam::QueueAction([this, shot, name](QDialog* details) {
            for (const QLabel* label : details->findChildren<QLabel*>()) m_detailsTexts << label->text();
            if (!shot("details").isEmpty()) ScreenshotDir::Save(details, shot("details"));
            if (name.isEmpty()) return IDOK;
            auto* info = qobject_cast<CDiscInfoDlg*>(details);
            if (!info) return IDCANCEL;
            EXPECT_EQ(info->NameEdit()->text(), "SUMMER_2025") << "the volume's name is suggested";
            info->NameEdit()->setText(name);
            QTest::keyClick(info->NameEdit(), Qt::Key_Return);
            return int(ModalSeam::kWindowDecides);
        });
        ModalSeam::QueueAnswer(IDYES); // 3017: add it now
        m_frame->OnCmdMsg(ID_ALB_IMPORT);
    }

    bool WaitForScanEnd()
    {
        return WaitFor([this] { return !m_discs->IsBusy() && m_frame->ClientArea()->isEnabled(); });
    }

    std::vector<DiscRecord> DiscsNamed(const QString& name) const
    {
        std::vector<DiscRecord> named;
        for (const DiscRecord& disc : LibraryReader(m_library).Discs())
            if (LibraryReader::Text(disc.name) == name) named.push_back(disc);
        return named;
    }

    // The row the list shows for the disc of that name, column by column.
    QStringList RowTexts(const QString& name) const
    {
        const QAbstractItemModel* model = m_frame->FileListView()->List()->Model();
        const auto text = [model](int row, int column) { return model->data(model->index(row, column)).toString(); };
        QStringList texts;
        for (int row = 0; row < model->rowCount() && texts.isEmpty(); ++row)
            if (text(row, 0) == name)
                for (int column = 0; column < model->columnCount(); ++column) texts << text(row, column);
        return texts;
    }

    static CatalogueFixture* g_catalogue;
    static QString g_image;
    static QString g_tree;
    std::unique_ptr<CAlbireoApp> m_app;
    CMainFrame* m_frame = nullptr;
    CDiscAccess* m_discs = nullptr;
    ILibraryEngine* m_library = nullptr;
    int m_position = -1;
    QStringList m_detailsTexts; // the texts of the last import's details dialog
};

CatalogueFixture* ImportWindowTest::g_catalogue = nullptr;
QString ImportWindowTest::g_image;
QString ImportWindowTest::g_tree;

TEST_F(ImportWindowTest, AnImageIsImportedEndToEndAndASecondImportOffersTheReplacement)
{
    InsertImage(g_image);
    const int discsBefore = m_frame->FileListView()->DiscCount();
    ImportThroughTheWindow("import-offscreen-", " Summer by the Sea ");

    // The command returns while the worker scans; the window shows it.
    EXPECT_TRUE(m_frame->ProgressDlg()->isVisible());
    EXPECT_TRUE(m_frame->ProgressDlg()->Title().contains("Summer by the Sea"));
    EXPECT_FALSE(m_frame->ClientArea()->isEnabled());
    ScreenshotDir::Save(m_frame->ProgressDlg(), "import-offscreen-progress");
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_FALSE(m_frame->ProgressDlg()->isVisible());
    EXPECT_FALSE(m_discs->IsMediaLocked());

    EXPECT_EQ(Kinds(ModalSeam::Shown()), QStringList({"CDriveSelectDlg", "CLoadingDiscDlg", "CDiscInfoDlg",
                                                       "MessageBox 3017", "MessageBox 3015"}));
    EXPECT_EQ(m_frame->FileListView()->DiscCount(), discsBefore + 1) << "the list was reloaded";
    const std::vector<DiscRecord> imported = DiscsNamed("Summer by the Sea");
    ASSERT_EQ(imported.size(), 1u);
    EXPECT_EQ(imported[0].folderCount, 1);
    EXPECT_EQ(imported[0].fileCount, 3);
    // The details named the disc's type and date as its row does now.
    const QStringList row = RowTexts("Summer by the Sea");
    ASSERT_EQ(row.size(), 5);
    EXPECT_TRUE(m_detailsTexts.contains(row[2].trimmed())) << row[2].toStdString() << " not in the details";
    EXPECT_TRUE(m_detailsTexts.contains(row[3].trimmed())) << row[3].toStdString() << " not in the details";
    QStringList paths;
    LibraryReader(m_library).ListFolder(imported[0].discId, 0, QString(), true,
                                        [&](const LibraryReader::Entry& entry) {
                                            paths << entry.path;
                                            return true;
                                        });
    paths.sort();
    EXPECT_EQ(paths, QStringList({"\\photos\\", "\\photos\\beach.jpg", "\\photos\\dunes.jpg", "\\readme.txt"}));

    // The same disc again: the window offers to catalogue it again; No
    // leaves it as it is.
    ModalSeam::Reset();
    ModalSeam::QueueAction(ChooseDrive(m_position));
    ModalSeam::QueueAction(LetItFinish());
    ModalSeam::QueueAnswer(IDNO);
    m_frame->OnCmdMsg(ID_ALB_IMPORT);
    EXPECT_EQ(Kinds(ModalSeam::Shown()), QStringList({"CDriveSelectDlg", "CLoadingDiscDlg", "MessageBox 0"}));
    EXPECT_TRUE(ModalSeam::Shown().back().text.contains("\"Summer by the Sea\"")) << ModalSeam::Shown().back().text.toStdString();
    EXPECT_FALSE(m_discs->IsMediaLocked());
    EXPECT_FALSE(m_frame->ProgressDlg()->isVisible());
    ASSERT_EQ(DiscsNamed("Summer by the Sea").size(), 1u);
    EXPECT_EQ(DiscsNamed("Summer by the Sea")[0].discId, imported[0].discId);

    // Yes replaces it: one disc of that name, read again, without details asked.
    m_library->SetDiscTags(imported[0].discId, u"1");
    ModalSeam::Reset();
    ModalSeam::QueueAction(ChooseDrive(m_position));
    ModalSeam::QueueAction(LetItFinish());
    ModalSeam::QueueAnswer(IDYES);
    m_frame->OnCmdMsg(ID_ALB_IMPORT);
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(Kinds(ModalSeam::Shown()),
              QStringList({"CDriveSelectDlg", "CLoadingDiscDlg", "MessageBox 0", "MessageBox 3403"}))
        << "the end says replaced, not added";
    EXPECT_EQ(ModalSeam::Shown().back().iconPath, QString::fromLatin1(CFlwMessageBox::kInformationIcon));
    const std::vector<DiscRecord> replaced = DiscsNamed("Summer by the Sea");
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_NE(replaced[0].discId, imported[0].discId);
    EXPECT_EQ(LibraryReader::Text(replaced[0].tagIds), "1") << "the replaced disc's tags are kept";
    EXPECT_EQ(replaced[0].labelId, imported[0].labelId);
    EXPECT_EQ(replaced[0].fileCount, 3);
}

TEST_F(ImportWindowTest, CancellingTheWaitLeavesTheDriveUnlockedAndTheLibraryAsItWas)
{
    ImageDriveSlots(*m_discs).At(m_position)->EjectImage();
    const size_t discsBefore = LibraryReader(m_library).Discs().size();
    ModalSeam::QueueAction(ChooseDrive(m_position));
    ModalSeam::QueueAction([](QDialog* window) {
        auto* waiting = qobject_cast<CWaitingDiscDlg*>(window);
        if (!waiting) return IDOK;
        EXPECT_TRUE(waiting->IsPolling());
        ScreenshotDir::Save(waiting, "import-offscreen-waiting");
        // Escape acts at once, not at the next look at the drive: what is
        // typed next reaches the window.
        QTest::keyClick(waiting, Qt::Key_Escape);
        EXPECT_FALSE(waiting->isVisible());
        EXPECT_FALSE(waiting->IsPolling());
        return ModalSeam::kWindowDecides;
    });
    m_frame->OnCmdMsg(ID_ALB_IMPORT);
    const std::vector<ModalRecord> shown = ModalSeam::TakeShown();
    ASSERT_EQ(Kinds(shown), QStringList({"CDriveSelectDlg", "CWaitingDiscDlg"}));
    EXPECT_TRUE(shown[1].text.startsWith("Please insert the disc into drive ")) << shown[1].text.toStdString();
    EXPECT_EQ(shown[1].result, IDCANCEL);
    EXPECT_FALSE(m_discs->IsMediaLocked());
    EXPECT_FALSE(m_frame->ProgressDlg()->isVisible());
    EXPECT_EQ(LibraryReader(m_library).Discs().size(), discsBefore);
}

TEST_F(ImportWindowTest, TheWaitEndsOnItsOwnOnceTheDiscIsInTheDrive)
{
    ImageDriveSlots(*m_discs).At(m_position)->EjectImage();
    ModalSeam::QueueAction(ChooseDrive(m_position));
    ModalSeam::QueueAction([this](QDialog* window) {
        InsertImage(g_image);
        WaitFor([window] { return !window->isVisible(); });
        return ModalSeam::kWindowDecides;
    });
    ModalSeam::QueueAction(LetItFinish());
    ModalSeam::QueueAnswer(IDCANCEL); // the details: not now
    m_frame->OnCmdMsg(ID_ALB_IMPORT);
    const std::vector<ModalRecord> shown = ModalSeam::TakeShown();
    ASSERT_EQ(Kinds(shown), QStringList({"CDriveSelectDlg", "CWaitingDiscDlg", "CLoadingDiscDlg", "CDiscInfoDlg"}));
    EXPECT_EQ(shown[1].result, IDOK);
    EXPECT_EQ(shown[2].result, IDOK);
    EXPECT_FALSE(m_discs->IsMediaLocked());
}

TEST_F(ImportWindowTest, CancellingTheScanKeepsNothingOfTheDisc)
{
    const QString image = TestImages::MakeManyFilesIso(TestEnvironment::MakeFolder("many"), 40000, 400);
    InsertImage(image);
    const size_t discsBefore = LibraryReader(m_library).Discs().size();
    ImportThroughTheWindow();
    ASSERT_TRUE(m_frame->ProgressDlg()->isVisible());
    m_frame->ProgressDlg()->CancelButton()->Click();
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(ModalSeam::Shown().back().textId, 3007u);
    EXPECT_EQ(LibraryReader(m_library).Discs().size(), discsBefore);
    EXPECT_FALSE(m_discs->IsMediaLocked());
}

// The caption's close button, its system menu and the window manager close
// the frame while the scan runs (only the client area rests): the program
// ends, the scan is cancelled before the engines it reads go, and the
// library keeps nothing of the disc and stays sound. Another import holds
// the library meanwhile, so the scan is sure to run when the window closes.
TEST_F(ImportWindowTest, ClosingTheWindowDuringTheScanEndsTheProgramWithoutTheDisc)
{
    InsertImage(TestImages::MakeManyFilesIso(TestEnvironment::MakeFolder("many-closed"), 40000, 400));
    const QStringList discsBefore = g_catalogue->Cli().Run({"discs"}).Lines();
    LibraryImportHandle other = nullptr; // undone when the program's library goes
    ASSERT_EQ(m_library->OpenImportHandle(&other), S_OK);
    ImportThroughTheWindow();
    ASSERT_TRUE(m_frame->ProgressDlg()->isVisible());
    ImportSlotHolder holder{};
    ASSERT_TRUE(WaitFor([&] { return m_discs->GetImportWait(&holder); })) << "the worker waits for the library";
    EXPECT_TRUE(m_frame->close());
    EndProgram();

    EXPECT_EQ(g_catalogue->Cli().Run({"discs"}).Lines(), discsBefore);
    const CliResult check = g_catalogue->Cli().Run({"check", "--full"});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
}

TEST_F(ImportWindowTest, APathThatIsNoDiscImageIsRefusedInWords)
{
    const QString folder = TestEnvironment::MakeFolder("not-an-image");
    QFile text(folder + "/notes.iso");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("these are notes, not a disc\n");
    text.close();
    m_frame->ImportCommand()->ImportImage(text.fileName());
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    EXPECT_TRUE(ModalSeam::Shown()[0].text.contains("notes.iso")) << ModalSeam::Shown()[0].text.toStdString();
    EXPECT_TRUE(ModalSeam::Shown()[0].text.contains("cannot be put into an image drive"));
}

TEST_F(ImportWindowTest, AnImageGivenToASecondStartIsImportedInTheRunningWindow)
{
    ImageDriveSlots(*m_discs).At(m_position)->EjectImage();
    ModalSeam::QueueAction(LetItFinish());
    ModalSeam::QueueAnswer(IDOK);  // the details
    ModalSeam::QueueAnswer(IDYES); // 3017
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ALBIREO_UNATTENDED", "1");
    second.setProcessEnvironment(environment);
    second.start(TestEnvironment::ProgramFolder() + "/albireo", {g_image});
    ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    ASSERT_TRUE(WaitFor([this] { return ModalSeam::PendingAnswers() == 0; }));
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(Kinds(ModalSeam::Shown()),
              QStringList({"CLoadingDiscDlg", "CDiscInfoDlg", "MessageBox 3017", "MessageBox 3015"}));
    EXPECT_EQ(DiscsNamed("SUMMER_2025").size(), 1u);
    EXPECT_EQ(ImageDriveSlots(*m_discs).ImageAt(m_position), QFileInfo(g_image).absoluteFilePath());
}

TEST_F(ImportWindowTest, AnImageDroppedFromAFileManagerIsImportedAndOtherDropsAreRefused)
{
    ImageDriveSlots(*m_discs).At(m_position)->EjectImage();
    // What a file manager's drag carries, aimed at the middle of the window.
    const auto dragOf = [](const QList<QUrl>& urls) {
        auto* data = new QMimeData;
        data->setUrls(urls);
        return data;
    };
    const QPoint middle = m_frame->rect().center();
    const auto accepted = [&](QMimeData* data) {
        QDragEnterEvent enter(middle, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_frame, &enter);
        return enter.isAccepted();
    };
    const QString folder = QFileInfo(g_image).absolutePath();
    std::unique_ptr<QMimeData> two(dragOf({QUrl::fromLocalFile(g_image), QUrl::fromLocalFile(g_image)}));
    std::unique_ptr<QMimeData> aFolder(dragOf({QUrl::fromLocalFile(folder)}));
    std::unique_ptr<QMimeData> web(dragOf({QUrl("https://example.org/disc.iso")}));
    EXPECT_FALSE(accepted(two.get())) << "two files";
    EXPECT_FALSE(accepted(aFolder.get())) << "a folder";
    EXPECT_FALSE(accepted(web.get())) << "a web address";

    std::unique_ptr<QMimeData> image(dragOf({QUrl::fromLocalFile(g_image)}));
    ASSERT_TRUE(accepted(image.get()));
    ModalSeam::QueueAction(LetItFinish());
    ModalSeam::QueueAnswer(IDOK);  // the details
    ModalSeam::QueueAnswer(IDYES); // 3017
    QDropEvent drop(middle, Qt::CopyAction, image.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_frame, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(WaitFor([this] { return ModalSeam::PendingAnswers() == 0; }));
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(Kinds(ModalSeam::Shown()),
              QStringList({"CLoadingDiscDlg", "CDiscInfoDlg", "MessageBox 3017", "MessageBox 3015"}));
    EXPECT_EQ(DiscsNamed("SUMMER_2025").size(), 1u);
}

TEST_F(ImportWindowTest, ACataloguedFileIsAskedForAndOpenedOutOfTheImageOncePutBack)
{
    InsertImage(g_image);
    ImportThroughTheWindow();
    ASSERT_TRUE(WaitForScanEnd());
    ImageDriveSlots(*m_discs).At(m_position)->EjectImage();
    QList<QUrl> opened;
    DesktopOpener::Set([&](const QUrl& url) {
        opened << url;
        return true;
    });
    ModalSeam::Reset();
    ModalSeam::QueueAction([this](QDialog* window) {
        ScreenshotDir::Save(window, "import-offscreen-ask-for-disc");
        InsertImage(g_image);
        WaitFor([window] { return !window->isVisible(); });
        return ModalSeam::kWindowDecides;
    });
    CFileListView* view = m_frame->FileListView();
    ASSERT_TRUE(CatalogueFixture::OpenRowNamed(view, "SUMMER_2025"));
    ASSERT_TRUE(CatalogueFixture::OpenRowNamed(view, "photos"));
    ASSERT_TRUE(CatalogueFixture::OpenRowNamed(view, "dunes.jpg"));
    DesktopOpener::Set([](const QUrl&) { return false; });

    ASSERT_EQ(Kinds(ModalSeam::Shown()), QStringList({"CWaitingDiscDlg"}));
    EXPECT_TRUE(ModalSeam::Shown()[0].text.startsWith("Please insert the disc into drive "));
    EXPECT_EQ(ModalSeam::Shown()[0].result, IDOK);
    ASSERT_EQ(opened.size(), 1);
    ASSERT_TRUE(opened[0].isLocalFile());
    const QString file = opened[0].toLocalFile();
    EXPECT_EQ(QFileInfo(file).fileName(), "dunes.jpg");
    EXPECT_TRUE(PrivateTempFolder::IsPrivateFolder(QFileInfo(QFileInfo(file).path()).path())) << file.toStdString();
    QFile copy(file), source(g_tree + "/photos/dunes.jpg");
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), source.readAll());

    // From the search results: the row carries the file's folder path.
    DesktopOpener::Set([&](const QUrl& url) {
        opened << url;
        return true;
    });
    m_frame->SearchBox()->Edit()->setText("beach");
    ASSERT_EVENTUALLY(m_frame->IsSearchPending() == false);
    ASSERT_EQ(view->List()->Model()->rowCount(), 2) << "a header and the file";
    view->List()->SelectRow(1);
    view->List()->setFocus();
    QTest::keyClick(view->List(), Qt::Key_Return);
    DesktopOpener::Set([](const QUrl&) { return false; });
    ASSERT_EQ(opened.size(), 2);
    QFile found(opened[1].toLocalFile()), beach(g_tree + "/photos/beach.jpg");
    ASSERT_TRUE(found.open(QIODevice::ReadOnly));
    ASSERT_TRUE(beach.open(QIODevice::ReadOnly));
    EXPECT_EQ(found.readAll(), beach.readAll());

    // No application for it: the message names the file as the list showed
    // it, not the copy read out of the image.
    ModalSeam::Reset();
    m_frame->OpenCataloguedFile(DiscsNamed("SUMMER_2025")[0].discId, "\\photos", "beach.jpg");
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    EXPECT_EQ(ModalSeam::Shown()[0].text,
              "\\photos\\beach.jpg could not be opened. No application is set up to open files of this kind.");

    // A file the disc does not hold (the catalogue is older) is said so.
    ModalSeam::Reset();
    m_frame->OpenCataloguedFile(DiscsNamed("SUMMER_2025")[0].discId, "\\photos", "gone.jpg");
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    EXPECT_EQ(ModalSeam::Shown()[0].text, "The file \\photos\\gone.jpg is not on this disc.");
}

// Chooses the file in a file dialog and ends it as its Open button does
// (without the dialog's own check, which waits for its folder listing).
int Choose(QDialog* chooser, const QString& path)
{
    auto* files = qobject_cast<QFileDialog*>(chooser);
    if (!files) return IDCANCEL;
    auto* name = files->findChild<QLineEdit*>("fileNameEdit"); // what the user types
    if (!name) return IDCANCEL;
    name->setText(path);
    static_cast<QDialog*>(files)->done(QDialog::Accepted);
    return ModalSeam::kWindowDecides;
}

TEST_F(ImportWindowTest, InsertImageInTheDriveDialogPutsTheChosenImageInAndChoosesItsDrive)
{
    ImageDriveSlots(*m_discs).At(m_position)->EjectImage();
    const QString folder = TestEnvironment::MakeFolder("insert-image");
    QFile notes(folder + "/notes.iso");
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a disc");
    notes.close();
    ModalSeam::QueueAction([this, &notes](QDialog* window) {
        auto* dialog = qobject_cast<CDriveSelectDlg*>(window);
        if (!dialog) return IDCANCEL;
        // A file that is no image: refused in words, the drive stays empty.
        ModalSeam::QueueAction([&notes](QDialog* chooser) { return Choose(chooser, notes.fileName()); });
        ModalSeam::QueueAnswer(IDOK);
        dialog->InsertImageButton()->Click();
        EXPECT_TRUE(ImageDriveSlots(*m_discs).ImageAt(m_position).isEmpty());
        // An image: it goes in and its drive is chosen.
        ModalSeam::QueueAction([](QDialog* chooser) {
            auto* files = qobject_cast<QFileDialog*>(chooser);
            EXPECT_TRUE(files->nameFilters().join(' ').contains("*.iso")) << files->nameFilters().join(' ').toStdString();
            return Choose(chooser, g_image);
        });
        dialog->InsertImageButton()->Click();
        EXPECT_EQ(dialog->DriveList()->GetCurSel(), m_position);
        ScreenshotDir::Save(dialog, "import-offscreen-drive-after-insert");
        return IDCANCEL;
    });
    m_frame->OnCmdMsg(ID_ALB_IMPORT);
    EXPECT_EQ(Kinds(ModalSeam::Shown()), QStringList({"CDriveSelectDlg", "QFileDialog", "MessageBox 0", "QFileDialog"}));
    EXPECT_TRUE(ModalSeam::Shown()[2].text.contains("notes.iso cannot be put into an image drive"))
        << ModalSeam::Shown()[2].text.toStdString();
    EXPECT_EQ(ImageDriveSlots(*m_discs).ImageAt(m_position), QFileInfo(g_image).absoluteFilePath());
}

// The list row that shows the disc `name` in the disc list, or -1.
int DiscRow(CFileListView* view, const QString& name)
{
    const CAlbDataItem* root = view->Root();
    for (int row = 0; root && row < root->ChildCount(); ++row)
        if (root->Child(row)->m_strName == name) return row;
    return -1;
}

TEST_F(ImportWindowTest, AnIncompleteReadIsSaidAndMarkedUntilTheWholeImageReplacesIt)
{
    const QString folder = TestEnvironment::MakeFolder("cut");
    QList<QPair<QString, int>> files;
    for (int f = 0; f < 20; ++f)
        for (int i = 0; i < 10; ++i) files.append({QString("folder%1/file%2.txt").arg(f).arg(i), 3000 + i});
    const QString whole = TestImages::MakeIso(TestImages::MakeTree(folder, files), folder + "/whole.iso", "TRIP");
    QFile wholeFile(whole);
    ASSERT_TRUE(wholeFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = wholeFile.readAll();
    QFile cut(folder + "/cut.iso");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 3 / 2048 * 2048)); // an interrupted download
    cut.close();

    InsertImage(cut.fileName());
    ImportThroughTheWindow();
    ASSERT_TRUE(WaitForScanEnd());
    const ModalRecord end = ModalSeam::Shown().back();
    EXPECT_NE(end.textId, 3015u) << "an incomplete read is no plain success";
    EXPECT_TRUE(end.text.contains("not all of it could be read")) << end.text.toStdString();
    EXPECT_TRUE(end.text.contains("shorter than the disc it describes")) << end.text.toStdString();

    CFileListView* view = m_frame->FileListView();
    const int row = DiscRow(view, "TRIP");
    ASSERT_GE(row, 0);
    const QModelIndex name = view->List()->model()->index(row, 0);
    const QString tooltip = name.data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tooltip.contains("could not be read")) << tooltip.toStdString();
    const QImage marked = name.data(Qt::DecorationRole).value<QPixmap>().toImage();
    ASSERT_FALSE(marked.isNull());
    int orange = 0; // the warning badge in the picture's corner
    for (int y = marked.height() - 17; y < marked.height(); ++y)
        for (int x = marked.width() - 17; x < marked.width(); ++x) {
            const QColor colour = marked.pixelColor(x, y);
            if (colour.red() > 200 && colour.green() > 100 && colour.green() < 170 && colour.blue() < 60) ++orange;
        }
    EXPECT_GT(orange, 40);
    view->List()->SelectRow(row);
    ScreenshotDir::Save(m_frame, "import-offscreen-incomplete-mark");

    // The whole image catalogues the disc again; the mark goes.
    InsertImage(whole);
    ModalSeam::Reset();
    ModalSeam::QueueAction(ChooseDrive(m_position));
    ModalSeam::QueueAction(LetItFinish());
    ModalSeam::QueueAnswer(IDYES);
    m_frame->OnCmdMsg(ID_ALB_IMPORT);
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(ModalSeam::Shown().back().textId, 3403u);
    const int replaced = DiscRow(view, "TRIP");
    ASSERT_GE(replaced, 0);
    const QModelIndex again = view->List()->model()->index(replaced, 0);
    EXPECT_EQ(again.data(Qt::ToolTipRole).toString(), "TRIP");
    for (const DiscRecord& disc : DiscsNamed("TRIP")) m_library->DeleteDisc(disc.discId, 0);
}

// Each window of an import, and the window after it, in German at both
// layout scales: every text fits where it is shown (screenshots for review).
TEST_F(ImportWindowTest, TheImportRoadFitsItsTextsInGermanAtBothScales)
{
    for (const bool large : {false, true}) {
        EndProgram();
        std::optional<LayoutScale> scale;
        StartProgram({"albireo", "--language", "Deu"}, [&] { scale.emplace(large); });
        InsertImage(g_image);
        const QString suffix = large ? "-deu-150" : "-deu-100";
        std::map<QString, QStringList> clipped;
        const auto check = [&clipped, suffix](QWidget* window, const QString& name) {
            ScreenshotDir::Save(window, name + suffix);
            const QStringList texts = TextFit::ClippedTexts(*window);
            if (!texts.isEmpty()) clipped[name] = texts;
        };
        ModalSeam::Reset();
        ModalSeam::QueueAction([&](QDialog* dialog) {
            check(dialog, "fit-drive");
            return ChooseDrive(m_position)(dialog);
        });
        ModalSeam::QueueAction([&](QDialog* dialog) {
            check(dialog, "fit-loading");
            return LetItFinish()(dialog);
        });
        ModalSeam::QueueAction([&](QDialog* dialog) {
            check(dialog, "fit-details");
            return IDOK;
        });
        ModalSeam::QueueAnswer(IDYES);
        m_frame->OnCmdMsg(ID_ALB_IMPORT);
        if (m_frame->ProgressDlg()->isVisible()) check(m_frame->ProgressDlg(), "fit-progress");
        ASSERT_TRUE(WaitForScanEnd());
        check(m_frame, "fit-window");
        EXPECT_EQ(Kinds(ModalSeam::Shown()), QStringList({"CDriveSelectDlg", "CLoadingDiscDlg", "CDiscInfoDlg",
                                                           "MessageBox 3017", "MessageBox 3015"}));
        for (const auto& [window, texts] : clipped)
            ADD_FAILURE() << (window + suffix).toStdString() << ": " << texts.join(" | ").toStdString();
        for (const DiscRecord& disc : DiscsNamed("SUMMER_2025")) m_library->DeleteDisc(disc.discId, 0);
        ImageDriveSlots(*m_discs).At(m_position)->EjectImage();
    }
}

} // namespace
