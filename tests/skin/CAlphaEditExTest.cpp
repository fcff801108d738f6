#include "CAlphaEditEx.h"
#include "MessageRecorder.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kRefused = QStringLiteral(",;&'") + QChar(0xFF0C) + QChar(0xFF1B) + QChar(0xFF06) + QChar(0xFF07) +
                         QChar(0xFF40);

// Types each character as a key press carrying it, as a keyboard or an
// input method would.
void Type(QWidget* widget, const QString& text)
{
    for (QChar character : text) {
        if (character.unicode() < 0x80)
            QTest::keyClick(widget, character.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

class CAlphaEditExTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        other = new QLineEdit(&parent);
        other->setGeometry(10, 10, 100, 20);
        parent.show();
        edit = new CAlphaEditEx(&parent);
        edit->Create(QStringLiteral("Image\\common\\edit\\input_bg_231.png"), WS_CHILD | WS_VISIBLE,
                     RectLTRB(18, 290, 249, 314), &parent, 3231);
        edit->SetForbiddenChars(kRefused, QStringLiteral("These characters are not allowed"));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    // Pixels of the text area (right of where the cursor stands) that differ
    // from the picture alone.
    int InkPixels()
    {
        const QImage image = edit->grab().toImage();
        int ink = 0;
        for (int y = 4; y < image.height() - 4; ++y)
            for (int x = 24; x < image.width() - 8; ++x)
                if (qGray(image.pixel(x, y)) < 200) ++ink;
        return ink;
    }

    MessageRecorder parent;
    QLineEdit* other = nullptr;
    CAlphaEditEx* edit = nullptr;
};

} // namespace

TEST_F(CAlphaEditExTest, RefusesForbiddenCharactersAsTypedWithATooltip)
{
    Type(edit, QStringLiteral("a,b;c&d'e") + QChar(0xFF0C) + QStringLiteral("f") + QChar(0xFF40));
    EXPECT_EQ(edit->text(), QStringLiteral("abcdef"));
    EXPECT_EQ(edit->LastRefusal(), QStringLiteral("These characters are not allowed"));
    for (QChar refused : kRefused) EXPECT_TRUE(edit->IsForbidden(refused)) << int(refused.unicode());
    EXPECT_FALSE(edit->IsForbidden(QLatin1Char('-')));
}

TEST_F(CAlphaEditExTest, PastedTextIsNotFiltered)
{
    edit->insert(QStringLiteral("rock, pop"));
    EXPECT_EQ(edit->text(), QStringLiteral("rock, pop"));
    EXPECT_TRUE(edit->LastRefusal().isEmpty());
}

TEST_F(CAlphaEditExTest, ReportsEveryKeyToTheParent)
{
    QTest::keyClick(edit, Qt::Key_A);
    QTest::keyClick(edit, Qt::Key_Comma, {}, 10);
    QTest::keyClick(edit, Qt::Key_Return);
    const auto reports = parent.With(WM_USER + 1725);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].wParam, 3231u);
    EXPECT_EQ(reports[0].lParam, 0x41);
    EXPECT_EQ(reports[2].lParam, 0x0D);
}

TEST_F(CAlphaEditExTest, TypingPastTheLimitTellsTheParent)
{
    edit->SetLimitText(3);
    QTest::keyClicks(edit, QStringLiteral("abcd"));
    EXPECT_EQ(edit->text(), QStringLiteral("abc"));
    EXPECT_EQ(parent.Commands(EN_MAXTEXT), 1);
}

TEST_F(CAlphaEditExTest, CueTextShowsOnlyWhileEmptyAndUnfocused)
{
    parent.activateWindow();
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }));
    const int bare = InkPixels();
    edit->SetCueText(QStringLiteral("Type a new tag name"));
    EXPECT_GT(InkPixels(), bare + 20);
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
    EXPECT_LE(InkPixels(), bare + 2);
}
