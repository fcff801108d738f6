// The simpler members of the control family: image buttons, check boxes
// and radio buttons, statics, the progress bar and the numeric edit.
#include "CAlphaButton.h"
#include "CAlphaButtonEx.h"
#include "CAlphaStatic.h"
#include "CApProgressCtrl.h"
#include "CGEdit.h"
#include "CGStatic.h"
#include "MessageRecorder.h"
#include "TestPictures.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class SmallControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    MessageRecorder parent;
};

} // namespace

TEST_F(SmallControlsTest, AutoCheckBoxFlipsAndDrawsTheCheckedHalf)
{
    auto* box = new CAlphaButtonEx(&parent);
    EXPECT_TRUE(box->Create(QStringLiteral("Show hidden drives"), QString(), WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                            QRect(10, 10, 200, 20), &parent, 41));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(box->FrameIndex() / 4, 1);
    EXPECT_EQ(parent.Commands(BN_CLICKED), 1);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_FALSE(box->isChecked());
    box->setEnabled(false);
    EXPECT_EQ(box->FrameIndex(), 3);
}

TEST_F(SmallControlsTest, PlainCheckBoxLeavesTheCheckToItsParent)
{
    auto* box = new CAlphaButtonEx(&parent);
    box->Create(QStringLiteral("Manual"), QString(), WS_CHILD | WS_VISIBLE | BS_CHECKBOX, QRect(10, 10, 200, 20),
                &parent, 42);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(parent.Commands(BN_CLICKED), 1);
}

TEST_F(SmallControlsTest, AutoRadioButtonsOfOneParentExcludeEachOther)
{
    auto* first = new CAlphaButtonEx(&parent);
    auto* second = new CAlphaButtonEx(&parent);
    EXPECT_TRUE(first->Create(QStringLiteral("CD"), QString(), WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON,
                              QRect(10, 10, 100, 20), &parent, 51));
    second->Create(QStringLiteral("DVD"), QString(), WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON,
                   QRect(10, 40, 100, 20), &parent, 52);
    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(8, 10));
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_FALSE(first->isChecked());
    EXPECT_TRUE(second->isChecked());
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_TRUE(second->isChecked()) << "a click on the chosen one keeps it";
}

TEST_F(SmallControlsTest, AlphaButtonReportsClicks)
{
    auto* button = new CAlphaButton(&parent);
    EXPECT_TRUE(button->Create(QStringLiteral("Image\\Albireo\\cover.png"), WS_CHILD | WS_VISIBLE, QRect(), &parent, 61));
    EXPECT_EQ(button->size(), QSize(116, 116));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(50, 50));
    ASSERT_EQ(parent.Commands(BN_CLICKED), 1);
    EXPECT_EQ(LOWORD(parent.messages[0].wParam), 61);
}

TEST_F(SmallControlsTest, StaticReportsClicksOnlyWithNotify)
{
    auto* quiet = new CGStatic(&parent);
    quiet->Create(QStringLiteral("Label"), WS_CHILD | WS_VISIBLE, QRect(10, 10, 100, 20), &parent, 71);
    auto* notifying = new CGStatic(&parent);
    notifying->Create(QStringLiteral("Tags"), WS_CHILD | WS_VISIBLE | SS_NOTIFY, QRect(10, 40, 100, 20), &parent, 72);
    QTest::mouseClick(quiet, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(parent.Commands(STN_CLICKED), 0);
    QTest::mouseClick(notifying, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(parent.Commands(STN_CLICKED), 1);
    EXPECT_EQ(LOWORD(parent.messages.back().wParam), 72);
}

TEST_F(SmallControlsTest, StaticDrawsItsPictureItsFillOrNothing)
{
    auto* label = new CGStatic(&parent);
    label->Create(QString(), WS_CHILD | WS_VISIBLE, QRect(0, 0, 10, 10), &parent, 0);
    label->SetImage(ColourStrip(1));
    EXPECT_EQ(FrameShown(*label, 1), 0);
    label->SetImage(QImage());
    label->SetFillColor(QColor(209, 211, 213));
    EXPECT_EQ(label->grab().toImage().pixelColor(5, 5), QColor(209, 211, 213));
    EXPECT_FALSE(label->SetPicture(QStringLiteral("Image\\missing.png")));
}

TEST_F(SmallControlsTest, ProgressBarFillsItsShareOfTheWidth)
{
    auto* bar = new CApProgressCtrl(&parent);
    EXPECT_TRUE(bar->Create(QString(), QString(), WS_CHILD | WS_VISIBLE, QRect(0, 0, 400, 12), &parent, 81))
        << "the default pictures exist";
    bar->SetRange(0, 200);
    bar->SetPos(50);
    EXPECT_EQ(bar->DoneWidth(), 100);
    bar->SetPos(500);
    EXPECT_EQ(bar->GetPos(), 50) << "positions outside the range are refused";
    bar->SetRange(10, 10);
    EXPECT_EQ(bar->DoneWidth(), 0);
}

TEST_F(SmallControlsTest, EditShowsNumbersInPlainDecimal)
{
    auto* edit = new CGEdit(&parent);
    edit->Create(QString(), WS_CHILD | WS_VISIBLE, QRect(0, 0, 200, 24), &parent, 91);
    edit->SetValue(-9007199254740993LL);
    EXPECT_EQ(edit->text(), QStringLiteral("-9007199254740993"));
    qint64 value = 0;
    EXPECT_TRUE(edit->GetValue(&value));
    EXPECT_EQ(value, -9007199254740993LL);
    edit->setText(QStringLiteral("12 MB"));
    EXPECT_FALSE(edit->GetValue(&value));
    QTest::keyClicks(edit, QStringLiteral("x"));
    EXPECT_EQ(parent.Commands(EN_CHANGE), 1);
}

TEST_F(SmallControlsTest, AlphaStaticKeepsItsColourAndFont)
{
    auto* text = new CAlphaStatic(&parent);
    text->Create(QStringLiteral("Location"), WS_CHILD | WS_VISIBLE, RectLTRB(254, 4, 854, 20), &parent, 0, Qt::white);
    EXPECT_EQ(text->TextColor(), QColor(Qt::white));
    EXPECT_EQ(text->font().family(), QStringLiteral("MS Shell Dlg 2"));
    EXPECT_EQ(text->geometry(), QRect(254, 4, 600, 16));
}

TEST_F(SmallControlsTest, StaticTextIsNeverMarkupAndCanBeShortened)
{
    auto* text = new CAlphaStatic(&parent);
    text->Create(QStringLiteral("<b>Backup</b>"), WS_CHILD | WS_VISIBLE, QRect(0, 0, 200, 20), &parent, 0);
    EXPECT_EQ(text->textFormat(), Qt::PlainText);
    auto* row = new CGStatic(&parent);
    row->Create(QStringLiteral("A tag name far too long for its row"), WS_CHILD | WS_VISIBLE, QRect(0, 40, 60, 20),
                &parent, 0);
    const auto inkRows = [&] {
        const QImage image = row->grab().toImage();
        int rows = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 0 && qGray(image.pixel(x, y)) < 160) {
                    ++rows;
                    break;
                }
        return rows;
    };
    const int wrapped = inkRows();
    row->SetSingleLine(true);
    EXPECT_LT(inkRows(), wrapped) << "one line instead of several";
}

TEST_F(SmallControlsTest, MissingPicturesFallBackToTheDefaultOnes)
{
    auto* named = new CAlphaButtonEx(&parent);
    auto* plain = new CAlphaButtonEx(&parent);
    EXPECT_TRUE(named->Create(QStringLiteral("Box"), QStringLiteral("Image\\no_such_checkbox.png"),
                              WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, QRect(10, 10, 120, 20), &parent, 41));
    EXPECT_TRUE(plain->Create(QStringLiteral("Box"), QString(), WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                              QRect(10, 40, 120, 20), &parent, 42));
    named->setEnabled(false); // the same frame whatever the mouse did before
    plain->setEnabled(false);
    EXPECT_EQ(named->grab().toImage(), plain->grab().toImage());

    auto* bar = new CApProgressCtrl(&parent);
    auto* defaultBar = new CApProgressCtrl(&parent);
    EXPECT_TRUE(bar->Create(QStringLiteral("Image\\gone_bg.png"), QStringLiteral("Image\\gone_unit.png"),
                            WS_CHILD | WS_VISIBLE, QRect(10, 70, 200, 14), &parent, 43));
    EXPECT_TRUE(defaultBar->Create(QString(), QString(), WS_CHILD | WS_VISIBLE, QRect(10, 90, 200, 14), &parent, 44));
    bar->SetPos(50);
    defaultBar->SetPos(50);
    EXPECT_EQ(bar->grab().toImage(), defaultBar->grab().toImage());
}
