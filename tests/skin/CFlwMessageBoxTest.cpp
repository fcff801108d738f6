#include "CFlwBaseDialog.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "ModalSeam.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Commands = std::vector<UINT>;
const QString kExclamation = QString::fromLatin1(CFlwMessageBox::kExclamationIcon);
const QString kError = QString::fromLatin1(CFlwMessageBox::kErrorIcon);
const QString kQuestion = QString::fromLatin1(CFlwMessageBox::kQuestionIcon);
const QString kWarning = QString::fromLatin1(CFlwMessageBox::kWarningIcon);
const QString kInformation = QString::fromLatin1(CFlwMessageBox::kInformationIcon);

class CFlwMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { ModalSeam::Reset(); }
    void TearDown() override { ModalSeam::Reset(); }
};

QString LongText(int words)
{
    QStringList text;
    for (int i = 0; i < words; ++i) text << QStringLiteral("catalogue");
    return text.join(QLatin1Char(' '));
}

} // namespace

TEST_F(CFlwMessageBoxTest, ButtonSetsAreLaidOutRightToLeft)
{
    EXPECT_EQ(CFlwMessageBox::ButtonCommands(0), Commands({8016}));
    EXPECT_EQ(CFlwMessageBox::ButtonCommands(1), Commands({6084, 8016}));
    EXPECT_EQ(CFlwMessageBox::ButtonCommands(2), Commands({902, 910, 903}));
    EXPECT_EQ(CFlwMessageBox::ButtonCommands(3), Commands({6084, 11320, 11323}));
    EXPECT_EQ(CFlwMessageBox::ButtonCommands(4 | 0x20), Commands({11320, 11323}));
    EXPECT_EQ(CFlwMessageBox::ButtonCommands(5), Commands({6084, 910}));
    EXPECT_TRUE(CFlwMessageBox::ButtonCommands(6).empty());
    for (UINT icon : {0x40u, 0x10u, 0x30u}) EXPECT_EQ(CFlwMessageBox::ButtonCommands(7 | icon), Commands({8016}));
}

TEST_F(CFlwMessageBoxTest, CommandsGiveThePlatformResults)
{
    EXPECT_EQ(CFlwMessageBox::ResultOfCommand(8016), IDOK);
    EXPECT_EQ(CFlwMessageBox::ResultOfCommand(6084), IDCANCEL);
    EXPECT_EQ(CFlwMessageBox::ResultOfCommand(2), IDCANCEL);
    EXPECT_EQ(CFlwMessageBox::ResultOfCommand(11323), IDYES);
    EXPECT_EQ(CFlwMessageBox::ResultOfCommand(11320), IDNO);
    EXPECT_EQ(CFlwMessageBox::ResultOfCommand(910), IDRETRY);
    EXPECT_EQ(CFlwMessageBox::ResultOfCommand(902), IDIGNORE);
    EXPECT_EQ(CFlwMessageBox::ResultOfCommand(903), IDABORT);
    EXPECT_EQ(CFlwMessageBox::ResultOfCommand(1), 0);
}

TEST_F(CFlwMessageBoxTest, IconFollowsTheButtonSetAndIconKind)
{
    const QString caller = QStringLiteral("Image\\icon\\icon_disk.png");
    struct Row {
        UINT set;
        QString k40, k10, k20, k30, none;
    };
    const Row table[] = {
        {0, kInformation, kError, kQuestion, kWarning, kWarning},
        {1, kInformation, kError, kQuestion, kWarning, kWarning},
        {3, kInformation, kError, kQuestion, kExclamation, kQuestion},
        {4, kInformation, kError, kQuestion, kExclamation, kQuestion},
        {2, kInformation, kError, kQuestion, kExclamation, QString()},
        {5, kInformation, kError, kQuestion, kExclamation, QString()},
        {9, kInformation, caller, caller, caller, caller},
    };
    for (const Row& row : table) {
        EXPECT_EQ(CFlwMessageBox::IconFor(row.set | 0x40, caller), row.k40) << row.set;
        EXPECT_EQ(CFlwMessageBox::IconFor(row.set | 0x10, caller), row.k10) << row.set;
        EXPECT_EQ(CFlwMessageBox::IconFor(row.set | 0x20, caller), row.k20) << row.set;
        EXPECT_EQ(CFlwMessageBox::IconFor(row.set | 0x30, caller), row.k30) << row.set;
        EXPECT_EQ(CFlwMessageBox::IconFor(row.set, caller), row.none) << row.set;
    }
}

TEST_F(CFlwMessageBoxTest, OneWordGivesTheSmallestBox)
{
    const auto layout = CFlwMessageBox::Measure(QStringLiteral("Done."), CFlwMessageBox::TextFont());
    EXPECT_EQ(layout.box, QSize(468, 208));
    EXPECT_EQ(layout.text, QRect(100, 60, 318, 88));
}

TEST_F(CFlwMessageBoxTest, LongTextWrapsAt874PixelsAndGrowsTo768)
{
    const QFont font = CFlwMessageBox::TextFont();
    // Up to the widest text the box aims at about five lines, so it keeps
    // the smallest height while it widens.
    const auto medium = CFlwMessageBox::Measure(LongText(60), font);
    EXPECT_GT(medium.textWidth, 318);
    EXPECT_LT(medium.textWidth, 874);
    EXPECT_EQ(medium.box, QSize(medium.textWidth + 150, 208));
    // Beyond it the box grows downwards.
    const auto large = CFlwMessageBox::Measure(LongText(180), font);
    EXPECT_LE(large.textWidth, 874);
    EXPECT_GT(large.box.height(), 208);
    EXPECT_LT(large.box.height(), 768);

    const auto huge = CFlwMessageBox::Measure(LongText(2000), font);
    EXPECT_LE(huge.textWidth, 874);
    EXPECT_GT(huge.textWidth, 874 - QFontMetrics(font).horizontalAdvance(QStringLiteral("catalogue ")));
    EXPECT_EQ(huge.box.height(), 768);
    EXPECT_EQ(huge.text.width(), huge.box.width() - 150);
}

TEST_F(CFlwMessageBoxTest, YesNoBoxShowsTheQuestionAndAnswersWithTheClickedButton)
{
    QSize size;
    std::vector<QRect> buttons;
    ModalSeam::QueueAction([&](QDialog* window) {
        auto* box = static_cast<CFlwMessageBox*>(window);
        size = box->size();
        for (CGButton* button : box->Buttons()) buttons.push_back(button->geometry());
        QTest::mouseClick(box->Buttons()[1], Qt::LeftButton, {}, QPoint(20, 10));
        return ModalSeam::kWindowDecides;
    });
    EXPECT_EQ(CFlwMessageBox::showMessage(3268, 4), IDYES);
    EXPECT_EQ(size, QSize(468, 208));
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0], QRect(468 - 146, 208 - 34, 136, 24));
    EXPECT_EQ(buttons[1], QRect(468 - 2 * 146, 208 - 34, 136, 24));
    const ModalRecord& shown = ModalSeam::Shown().at(0);
    EXPECT_EQ(shown.kind, QStringLiteral("MessageBox"));
    EXPECT_EQ(shown.textId, 3268u);
    EXPECT_EQ(shown.style, 4u);
    EXPECT_EQ(shown.captionId, 100u);
    EXPECT_EQ(shown.iconPath, kQuestion);
    EXPECT_EQ(shown.result, IDYES);
}

TEST_F(CFlwMessageBoxTest, TheCaptionCloseButtonCancels)
{
    ModalSeam::QueueAction([](QDialog* window) {
        QTest::mouseClick(static_cast<CFlwMessageBox*>(window)->CloseButton(), Qt::LeftButton, {}, QPoint(8, 8));
        return ModalSeam::kWindowDecides;
    });
    EXPECT_EQ(CFlwMessageBox::showMessage(3268, 4), IDCANCEL);
    ModalSeam::QueueAction([](QDialog* window) {
        QTest::keyClick(window, Qt::Key_Escape);
        return ModalSeam::kWindowDecides;
    });
    EXPECT_EQ(CFlwMessageBox::showMessage(3268, 4), IDCANCEL);
}

TEST_F(CFlwMessageBoxTest, QueuedAnswersPressTheButtons)
{
    ModalSeam::QueueAnswer(IDRETRY);
    EXPECT_EQ(CFlwMessageBox::showMessage(QStringLiteral("The disc cannot be read."), 5 | 0x10), IDRETRY);
    const ModalRecord& shown = ModalSeam::Shown().back();
    EXPECT_EQ(shown.textId, 0u);
    EXPECT_EQ(shown.text, QStringLiteral("The disc cannot be read."));
    EXPECT_EQ(shown.iconPath, kError);
}

TEST_F(CFlwMessageBoxTest, AStyleWithoutButtonsFailsWithoutShowing)
{
    EXPECT_EQ(CFlwMessageBox::showMessage(3014, 6), -1);
    EXPECT_TRUE(ModalSeam::Shown().empty());
}

TEST_F(CFlwMessageBoxTest, ABoxIsComposedToItsSizeAndShapedByIt)
{
    CFlwMessageBox box(LongText(300), 0, 0x30, 100, nullptr, QString());
    ModalSeam::QueueAction([&](QDialog*) {
        const QImage background = box.Background();
        EXPECT_EQ(background.size(), box.size());
        EXPECT_EQ(qAlpha(background.pixel(0, 0)), 0) << "rounded corner";
        EXPECT_EQ(qAlpha(background.pixel(box.width() / 2, box.height() / 2)), 255);
        EXPECT_FALSE(box.mask().contains(QPoint(0, 0)));
        EXPECT_TRUE(box.mask().contains(QPoint(box.width() / 2, box.height() / 2)));
        EXPECT_EQ(box.objectName(), QStringLiteral("Flintwell Message Box"));
        return IDOK;
    });
    EXPECT_EQ(box.DoModal(), IDOK);
    EXPECT_GT(box.width(), 468);
}

TEST_F(CFlwMessageBoxTest, EveryBoxOpensCentredOnItsOwnerAndWhollyOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QRect placed;
    const auto where = [&placed](QDialog* window) {
        placed = window->frameGeometry();
        return IDOK;
    };

    // An owner on the screen: the box's centre is the owner's.
    QWidget owner;
    owner.setGeometry(screen.left() + 40, screen.top() + 30, 600, 420);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    ModalSeam::QueueAction(where);
    CFlwMessageBox::showMessage(QStringLiteral("Centred"), 0, CFlwMessageBox::kCaptionId, &owner);
    EXPECT_LE((placed.center() - owner.frameGeometry().center()).manhattanLength(), 2);

    // An owner still being built (a dialog asking before it first shows,
    // as the snapshot dialog does without a camera): the box goes over the
    // window that is shown, never off the screen.
    QWidget building(&owner, Qt::Dialog);
    ModalSeam::QueueAction(where);
    CFlwMessageBox::showMessage(QStringLiteral("No video capture device"), 0, CFlwMessageBox::kCaptionId, &building);
    EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
    EXPECT_LE((placed.center() - owner.frameGeometry().center()).manhattanLength(), 2);

    // An owner hanging over the screen's corner: the box stays on the screen.
    owner.move(screen.left() - 500, screen.top() - 300);
    ModalSeam::QueueAction(where);
    CFlwMessageBox::showMessage(QStringLiteral("Corner"), 0, CFlwMessageBox::kCaptionId, &owner);
    EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
}
