// The add-tag dialog over a real library: ticks in and out, the checks on a
// new name with their messages, deleting (hiding) and showing again.
#include "CAddTagDlg.h"
#include "CAlphaEditEx.h"
#include "CGButton.h"
#include "CGScrollCheckBox.h"
#include "ModalSeam.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "TagTestSupport.h"
#include "WinMessage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class AddTagDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ModalSeam::Reset();
        library.AddTags({QStringLiteral("Holiday"), QStringLiteral("Work"), QStringLiteral("Family")});
    }
    void TearDown() override { ModalSeam::Reset(); }

    // The dialog initialised (not shown) with the disc's names string.
    std::unique_ptr<CAddTagDlg> Open(const QString& names)
    {
        auto dialog = std::make_unique<CAddTagDlg>(library.get());
        dialog->setNames(names);
        EXPECT_TRUE(dialog->CreateModeless());
        return dialog;
    }
    // Types (or pastes) a name and presses the add button; returns the
    // messages shown.
    std::vector<UINT> Add(CAddTagDlg& dialog, const QString& name)
    {
        dialog.NameEdit()->setText(name);
        QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
        std::vector<UINT> shown;
        for (const ModalRecord& record : ModalSeam::TakeShown()) shown.push_back(record.textId);
        return shown;
    }
    static QStringList Rows(const CAddTagDlg& dialog)
    {
        QStringList rows;
        for (int row = 0; row < dialog.TagList()->GetRowCount(); ++row) rows << dialog.TagList()->GetRowText(row);
        return rows;
    }
    static QList<int> Ticked(const CAddTagDlg& dialog)
    {
        QList<int> rows;
        for (int row = 0; row < dialog.TagList()->GetRowCount(); ++row)
            if (dialog.TagList()->GetCheck(row)) rows << row;
        return rows;
    }
    static int Finish(CAddTagDlg& dialog, UINT command)
    {
        SendMessage(&dialog, WM_COMMAND, command, 0);
        return dialog.result();
    }
    QString Ids(const QStringList& names) const
    {
        QStringList ids;
        for (const QString& name : names) ids << QString::number(library.TagId(name));
        return ids.join(QStringLiteral("::"));
    }

    LanguageScope english{QStringLiteral("Enu")};
    FreshLibrary library;
};

} // namespace

TEST_F(AddTagDlgTest, ShowsEveryTagTicksTheDiscsTagsAndHandsThemBackInEngineOrder)
{
    auto dialog = Open(QStringLiteral("Holiday, Music, Family"));
    EXPECT_EQ(Rows(*dialog), (QStringList{"Video", "Photo", "Music", "Document", "Holiday", "Work", "Family"}));
    EXPECT_EQ(Ticked(*dialog), (QList<int>{2, 4, 6}));
    for (int row = 0; row < 4; ++row) EXPECT_EQ(dialog->TagList()->DeleteButton(row), nullptr) << row;
    for (int row = 4; row < 7; ++row) EXPECT_NE(dialog->TagList()->DeleteButton(row), nullptr) << row;
    EXPECT_FALSE(dialog->isModified());

    dialog->TagList()->SetCheck(6, false);
    dialog->TagList()->SetCheck(0, true);
    EXPECT_EQ(Finish(*dialog, CAddTagDlg::kOkCommand), IDOK);
    EXPECT_EQ(dialog->namesString(), QStringLiteral("Video, Music, Holiday"));
    EXPECT_EQ(dialog->idsString(), Ids({"Video", "Music", "Holiday"}));
    EXPECT_TRUE(dialog->isModified());
}

TEST_F(AddTagDlgTest, RefusesNamesWithTheMessageOfEachRule)
{
    auto dialog = Open(QString());
    // Typed refused characters never reach the edit; the tooltip says why.
    dialog->NameEdit()->setFocus();
    for (QChar typed : QStringLiteral("a,b;c\uFF0Cd\uFF40")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(typed));
        QApplication::sendEvent(dialog->NameEdit(), &press);
    }
    EXPECT_EQ(dialog->NameEdit()->text(), QStringLiteral("abcd"));
    EXPECT_EQ(dialog->NameEdit()->LastRefusal(), LoadString(IDS_MSG_TAG_CHARACTERS));

    EXPECT_EQ(Add(*dialog, QStringLiteral("Rock & Roll")), std::vector<UINT>{IDS_MSG_TAG_CHARACTERS});
    EXPECT_EQ(dialog->NameEdit()->text(), QStringLiteral("Rock & Roll")); // kept for correcting
    EXPECT_EQ(Add(*dialog, QStringLiteral("   ")), std::vector<UINT>{IDS_MSG_TAG_BLANK});
    EXPECT_TRUE(dialog->NameEdit()->text().isEmpty());
    EXPECT_EQ(Add(*dialog, QStringLiteral("video")), std::vector<UINT>{IDS_MSG_TAG_EXISTS});
    EXPECT_TRUE(dialog->NameEdit()->text().isEmpty());
    EXPECT_EQ(Add(*dialog, QStringLiteral("Musik")), std::vector<UINT>{IDS_MSG_TAG_RESERVED});
    EXPECT_EQ(Add(*dialog, QStringLiteral("写真")), std::vector<UINT>{IDS_MSG_TAG_RESERVED});
    EXPECT_EQ(Add(*dialog, QStringLiteral("hOLIDAY")), std::vector<UINT>{IDS_MSG_TAG_EXISTS});
    EXPECT_TRUE(Add(*dialog, QString()).empty());
    EXPECT_EQ(library.TagNames().size(), 7);
    EXPECT_FALSE(dialog->wasTagAdded());
}

TEST_F(AddTagDlgTest, ReachingTheLengthLimitByTypingWarns)
{
    auto dialog = Open(QString());
    dialog->NameEdit()->setText(QString(CAddTagDlg::kNameLimit, QLatin1Char('x')));
    QTest::keyClick(dialog->NameEdit(), Qt::Key_Y);
    EXPECT_EQ(dialog->NameEdit()->text().size(), CAddTagDlg::kNameLimit);
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    EXPECT_EQ(ModalSeam::Shown().back().textId, IDS_MSG_TAG_TOO_LONG);
}

TEST_F(AddTagDlgTest, ANewTagIsCreatedAsTypedAndTickedBesideTheEarlierTicks)
{
    auto dialog = Open(QStringLiteral("Photo, Work"));
    dialog->TagList()->SetCheck(5, false);
    dialog->TagList()->SetCheck(4, true);
    EXPECT_TRUE(Add(*dialog, QStringLiteral("Road Trip")).empty());
    EXPECT_EQ(library.TagNames().last(), QStringLiteral("Road Trip"));
    EXPECT_EQ(Rows(*dialog).last(), QStringLiteral("Road Trip"));
    EXPECT_EQ(Ticked(*dialog), (QList<int>{1, 4, 7}));
    EXPECT_TRUE(dialog->NameEdit()->text().isEmpty());
    EXPECT_TRUE(dialog->wasTagAdded());
    Finish(*dialog, IDOK);
    EXPECT_EQ(dialog->namesString(), QStringLiteral("Photo, Holiday, Road Trip"));
}

TEST_F(AddTagDlgTest, DeletingHidesTheTagAndAddingItAgainShowsTheSameTag)
{
    auto dialog = Open(QStringLiteral("Work"));
    const int holiday = library.TagId(QStringLiteral("Holiday"));
    ModalSeam::QueueAnswer(IDNO);
    QTest::mouseClick(dialog->TagList()->DeleteButton(4), Qt::LeftButton);
    EXPECT_EQ(ModalSeam::Shown().back().textId, IDS_MSG_DELETE_TAG);
    EXPECT_TRUE(library.IsVisible(QStringLiteral("Holiday")));
    EXPECT_EQ(Rows(*dialog).size(), 7);

    ModalSeam::QueueAnswer(IDYES);
    QTest::mouseClick(dialog->TagList()->DeleteButton(4), Qt::LeftButton);
    EXPECT_FALSE(library.IsVisible(QStringLiteral("Holiday")));
    EXPECT_EQ(Rows(*dialog), (QStringList{"Video", "Photo", "Music", "Document", "Work", "Family"}));
    EXPECT_EQ(Ticked(*dialog), QList<int>{4}); // the tick moved up with its row
    EXPECT_TRUE(dialog->wasTagDeleted());

    ModalSeam::TakeShown();
    EXPECT_TRUE(Add(*dialog, QStringLiteral("holiday")).empty());
    EXPECT_EQ(library.TagId(QStringLiteral("Holiday")), holiday);
    EXPECT_TRUE(Rows(*dialog).contains(QStringLiteral("Holiday")));
    EXPECT_EQ(library.TagNames().size(), 7);
}

TEST_F(AddTagDlgTest, CancelAfterDeletingATickedTagHandsBackTheReducedStrings)
{
    auto dialog = Open(QStringLiteral("Music, Holiday, Family"));
    ModalSeam::QueueAnswer(IDYES);
    SendMessage(dialog.get(), CGScrollCheckBox::kDeleteMessage, 4, 0);
    EXPECT_EQ(Finish(*dialog, CAddTagDlg::kCancelCommand), IDCANCEL);
    EXPECT_EQ(dialog->namesString(), QStringLiteral("Music, Family"));
    EXPECT_EQ(dialog->idsString(), Ids({"Music", "Family"}));
    EXPECT_TRUE(dialog->isModified());

    auto untouched = Open(QStringLiteral("Music, Holiday"));
    untouched->TagList()->SetCheck(2, false);
    EXPECT_EQ(Finish(*untouched, IDCANCEL), IDCANCEL);
    EXPECT_EQ(untouched->namesString(), QStringLiteral("Music, Holiday"));
    EXPECT_TRUE(untouched->idsString().isEmpty());
}

TEST_F(AddTagDlgTest, CategoryTagsCannotBeDeleted)
{
    auto dialog = Open(QString());
    ModalSeam::QueueAnswer(IDYES);
    EXPECT_EQ(SendMessage(dialog.get(), CGScrollCheckBox::kDeleteMessage, 2, 0), E_INVALIDARG);
    ModalSeam::QueueAnswer(IDYES);
    EXPECT_EQ(SendMessage(dialog.get(), CGScrollCheckBox::kDeleteMessage, 7, 0), E_INVALIDARG);
    EXPECT_EQ(library.TagNames().size(), 7);
    EXPECT_FALSE(dialog->wasTagDeleted());
}

TEST(AddTagDlgGerman, CategoryNamesAreCheckedInTheLanguageShown)
{
    LanguageScope german(QStringLiteral("Deu"));
    FreshLibrary library;
    library.AddTags({});
    CAddTagDlg dialog(library.get());
    dialog.setNames(QStringLiteral("Photo"));
    ASSERT_TRUE(dialog.CreateModeless());
    EXPECT_EQ(dialog.TagList()->GetRowText(1), QStringLiteral("Foto"));
    EXPECT_TRUE(dialog.TagList()->GetCheck(1));
    ModalSeam::Reset();
    for (const auto& [name, message] : {std::pair{"musik", IDS_MSG_TAG_EXISTS}, std::pair{"Music", IDS_MSG_TAG_RESERVED}}) {
        dialog.NameEdit()->setText(QString::fromUtf8(name));
        QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
        ASSERT_FALSE(ModalSeam::Shown().empty()) << name;
        EXPECT_EQ(ModalSeam::TakeShown().back().textId, message) << name;
    }
    SendMessage(&dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(dialog.namesString(), QStringLiteral("Photo")); // stored keys, never display names
}
