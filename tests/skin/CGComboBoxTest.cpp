#include "CGComboBox.h"
#include "CGComboListBox.h"
#include "CGListBoxContainer.h"
#include "MessageRecorder.h"

#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

TEST(CGListBoxContainer, PopupOpensBelowOrAboveAndStaysInTheWorkArea)
{
    const QRect work(0, 0, 1024, 738); // a screen of 768 less a 30 pixel task bar
    const QSize popup(216, 194);
    // Room below: right under the box.
    EXPECT_EQ(CGListBoxContainer::Placement(QRect(100, 100, 216, 24), popup, work), QRect(100, 124, 216, 194));
    // No room below: above the box.
    EXPECT_EQ(CGListBoxContainer::Placement(QRect(100, 650, 216, 24), popup, work), QRect(100, 456, 216, 194));
    // Past the right edge: pulled back in.
    EXPECT_EQ(CGListBoxContainer::Placement(QRect(900, 100, 216, 24), popup, work).right(), 1023);
    // Left of the screen: pushed in.
    EXPECT_EQ(CGListBoxContainer::Placement(QRect(-50, 100, 216, 24), popup, work).left(), 0);
    // Little room either way: the larger side, shortened to fit.
    const QRect squeezed = CGListBoxContainer::Placement(QRect(0, 300, 216, 24), QSize(216, 600), work);
    EXPECT_EQ(squeezed.top(), 324);
    EXPECT_EQ(squeezed.bottom(), 737);
}

TEST(CGComboBox, ChoosingARowInThePopupSelectsItAndTellsTheParent)
{
    MessageRecorder parent;
    parent.show();
    auto* combo = new CGComboBox(&parent);
    combo->Create(QStringLiteral("Image\\Common\\combobox\\combo_216_24.png"),
                  QStringLiteral("Image\\Common\\combobox\\comboitembk.jpg"), WS_CHILD | WS_VISIBLE,
                  QRect(20, 20, 216, 24), &parent, 3251);
    for (const char* drive : {"D: Optical drive", "E: Disc image", "F: Backup drive"})
        combo->AddString(QString::fromLatin1(drive));
    combo->SetCurSel(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    EXPECT_EQ(parent.Commands(CBN_SELCHANGE), 0) << "a choice made in code is not reported";

    combo->showPopup();
    ASSERT_NE(combo->Popup(), nullptr);
    ASSERT_TRUE(combo->Popup()->isVisible());
    EXPECT_EQ(combo->FrameIndex(), 2);
    CGComboListBox* list = combo->Popup()->List();
    EXPECT_EQ(list->Count(), 3);
    EXPECT_EQ(list->ItemHeight(), 24);
    const QPoint third(30, 2 * list->ItemHeight() + 5);
    QTest::mouseMove(list, third);
    EXPECT_EQ(list->HotIndex(), 2);
    QTest::mouseClick(list, Qt::LeftButton, {}, third);
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_FALSE(combo->Popup()->isVisible());
    const auto changes = parent.With(WM_COMMAND);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(LOWORD(changes[0].wParam), 3251);
    EXPECT_EQ(HIWORD(changes[0].wParam), CBN_SELCHANGE);
    combo->setEnabled(false);
    EXPECT_EQ(combo->FrameIndex(), 3);
}

TEST(CGComboBox, PopupOfAShrunkenListShowsItsRows)
{
    QWidget parent;
    parent.resize(300, 100);
    parent.show();
    auto* combo = new CGComboBox(&parent);
    combo->Create(QStringLiteral("Image\\Common\\combobox\\combo_216_24.png"),
                  QStringLiteral("Image\\Common\\combobox\\comboitembk.jpg"), WS_CHILD | WS_VISIBLE,
                  QRect(20, 20, 216, 24), &parent, 3251);
    for (int i = 0; i < 40; ++i) combo->AddString(QStringLiteral("Row %1").arg(i));
    combo->SetCurSel(39);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    combo->showPopup();
    CGComboListBox* list = combo->Popup()->List();
    ASSERT_GT(list->TopIndex(), 20); // scrolled down to the chosen row
    combo->hidePopup();

    combo->clear();
    for (int i = 0; i < 3; ++i) combo->AddString(QStringLiteral("Row %1").arg(i));
    combo->SetCurSel(1);
    combo->showPopup();
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(list->IndexAt(QPoint(10, 5)), 0);
    // The first row is painted with its item picture, not left blank.
    const QImage shown = list->grab().toImage();
    QSet<QRgb> colours;
    for (int x = 0; x < shown.width(); x += 4) colours.insert(shown.pixel(x, list->ItemHeight() / 2));
    EXPECT_GT(colours.size(), 1);
    combo->hidePopup();
}
