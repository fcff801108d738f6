#include "CAlphaStatic.h"
#include "CFlwBaseDialog.h"
#include "CGButton.h"
#include "ModalSeam.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A dialog as the program's dialogs use the base: skin set-up in
// OnInitDialog with up to two bottom buttons.
class SampleDialog : public CFlwBaseDialog {
    Q_OBJECT
public:
    SampleDialog(int text1, UINT command1, int text2, UINT command2,
                 QString background = QStringLiteral("Image\\Albireo\\bg_addtag.png"))
        : CFlwBaseDialog(3233), m_text1(text1), m_command1(command1), m_text2(text2), m_command2(command2),
          m_background(std::move(background))
    {
    }
    int oks = 0;

protected:
    BOOL OnInitDialog() override
    {
        return SetupSkin(QStringLiteral("Add tags"), m_background, m_text1, m_command1, m_text2, m_command2);
    }
    void OnOK() override
    {
        ++oks;
        CFlwBaseDialog::OnOK();
    }

private:
    int m_text1;
    UINT m_command1;
    int m_text2;
    UINT m_command2;
    QString m_background;
};

class CFlwBaseDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ModalSeam::Reset(); }
    void TearDown() override { ModalSeam::Reset(); }
};

} // namespace

TEST_F(CFlwBaseDialogTest, SkinSetUpBuildsTheFrameFromTheBackground)
{
    SampleDialog dialog(8016, IDOK, 0, 0);
    ASSERT_TRUE(dialog.CreateModeless());
    EXPECT_EQ(dialog.size(), dialog.Background().size());
    EXPECT_FALSE(dialog.Background().isNull());
    EXPECT_EQ(dialog.CaptionText()->text(), QStringLiteral("Add tags"));
    CGButton* close = dialog.CaptionButton(CFlwBaseDialog::kCloseCommand);
    CGButton* minimise = dialog.CaptionButton(CFlwBaseDialog::kMinimiseCommand);
    ASSERT_TRUE(close && minimise);
    EXPECT_EQ(close->geometry().right(), dialog.width() - 6);
    EXPECT_LT(minimise->geometry().right(), close->x());
    EXPECT_EQ(minimise->toolTip(), QStringLiteral("Minimize"));
    CGButton* ok = dialog.BottomButton(IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->geometry(), QRect(dialog.width() - 146, dialog.height() - 34, 136, 24));
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.BottomButton(IDCANCEL), nullptr);
    EXPECT_FALSE(dialog.mask().contains(QPoint(0, 0))) << "rounded corners are outside";
}

TEST_F(CFlwBaseDialogTest, TwoBottomButtonsStandSideBySideTheSecondRightmost)
{
    SampleDialog dialog(3278, IDOK, 0, IDCANCEL);
    ASSERT_TRUE(dialog.CreateModeless());
    EXPECT_EQ(dialog.BottomButton(IDCANCEL)->x(), dialog.width() - 146);
    EXPECT_EQ(dialog.BottomButton(IDOK)->x(), dialog.width() - 2 * 146);
    EXPECT_EQ(dialog.BottomButton(IDCANCEL)->text(), QStringLiteral("Cancel")) << "text 0 keeps the default";
}

TEST_F(CFlwBaseDialogTest, BottomButtonsAndCaptionButtonsEndTheRun)
{
    SampleDialog dialog(8016, IDOK, 6084, IDCANCEL);
    ModalSeam::QueueAction([&](QDialog*) {
        QTest::mouseClick(dialog.BottomButton(IDOK), Qt::LeftButton, {}, QPoint(10, 10));
        return ModalSeam::kWindowDecides;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.oks, 1);

    ModalSeam::QueueAction([&](QDialog*) {
        QTest::mouseClick(dialog.CaptionButton(CFlwBaseDialog::kCloseCommand), Qt::LeftButton, {}, QPoint(8, 8));
        return ModalSeam::kWindowDecides;
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    ModalSeam::QueueAnswer(IDOK);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.oks, 2) << "an answered OK runs the dialog's own OK";
    const ModalRecord& shown = ModalSeam::Shown().back();
    EXPECT_EQ(shown.kind, QStringLiteral("SampleDialog"));
    EXPECT_EQ(shown.textId, 3233u);
    EXPECT_EQ(shown.caption, QStringLiteral("Add tags"));
}

TEST_F(CFlwBaseDialogTest, MinimiseButtonMinimises)
{
    SampleDialog dialog(8016, IDOK, 0, 0);
    dialog.CreateModeless();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.CaptionButton(CFlwBaseDialog::kMinimiseCommand), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_TRUE(dialog.windowState() & Qt::WindowMinimized);
}

TEST_F(CFlwBaseDialogTest, EveryPointDragsTheWindowButAClickNeverMovesIt)
{
    SampleDialog dialog(8016, IDOK, 0, 0);
    dialog.CreateModeless();
    dialog.move(100, 100);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.OnNcHitTest(QPoint(150, 200)), HTCAPTION);
    EXPECT_EQ(dialog.OnNcHitTest(QPoint(2, 2)), HTCAPTION);
    const QPoint start = dialog.pos();

    // A quick click (a tap) on the background: the pointer then wanders
    // with no button held, and the window stays where it is.
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(150, 200));
    QTest::mouseMove(&dialog, QPoint(260, 280));
    EXPECT_EQ(dialog.pos(), start);
    EXPECT_FALSE(dialog.Drag().IsArmed());

    // A few pixels of jitter while pressing are still a click.
    QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(150, 200));
    QTest::mouseMove(&dialog, QPoint(152, 201));
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(152, 201));
    EXPECT_EQ(dialog.pos(), start);

    // A drag moves it, and the move ends with the release.
    QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(150, 200));
    QTest::mouseMove(&dialog, QPoint(190, 230));
    EXPECT_TRUE(dialog.Drag().IsMoving());
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(190, 230));
    EXPECT_EQ(dialog.pos(), start + QPoint(40, 30));
    EXPECT_FALSE(dialog.Drag().IsMoving());
    QTest::mouseMove(&dialog, QPoint(100, 100));
    EXPECT_EQ(dialog.pos(), start + QPoint(40, 30));

    // A release that went elsewhere: the first movement without the button ends the move.
    const QPoint placed = dialog.pos();
    QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(150, 200));
    QMouseEvent buttonUp(QEvent::MouseMove, QPointF(250, 250), dialog.mapToGlobal(QPointF(250, 250)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &buttonUp);
    EXPECT_EQ(dialog.pos(), placed);
    EXPECT_FALSE(dialog.Drag().IsArmed());
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(250, 250));
}

#include "CFlwBaseDialogTest.moc"

TEST_F(CFlwBaseDialogTest, MissingBackgroundLeavesTheDialogUnpaintedButItOpens)
{
    SampleDialog dialog(8016, IDOK, 0, 0, QStringLiteral("Image\\Albireo\\no_such_background.png"));
    dialog.resize(400, 200);
    ModalSeam::QueueAnswer(IDOK);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.oks, 1);
    EXPECT_TRUE(dialog.Background().isNull());
    EXPECT_EQ(dialog.CaptionText()->text(), QStringLiteral("Add tags"));
    ASSERT_NE(dialog.BottomButton(IDOK), nullptr);
}
