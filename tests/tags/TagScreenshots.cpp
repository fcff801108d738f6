// Screenshots of the tag pane and the add-tag dialog in English and German,
// written to build/screenshots/ for review.
#include "CAddTagDlg.h"
#include "CFilterListCtrl.h"
#include "CGScrollCheckBox.h"
#include "CTagView.h"
#include "TagTestSupport.h"

#include <QDir>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kFolder = QStringLiteral(ALBIREO_SCREENSHOT_DIR);
const QStringList kUserTags{QStringLiteral("Holiday"), QStringLiteral("Family"), QStringLiteral("Work projects"),
                            QStringLiteral("Archive 2019"), QStringLiteral("Concerts and live recordings")};

bool Save(QWidget& window, const QString& name)
{
    QDir().mkpath(kFolder);
    const QImage shot = window.grab().toImage();
    return !shot.isNull() && shot.save(kFolder + QLatin1Char('/') + name);
}

void TagPaneShot(const QString& language, const QString& name)
{
    LanguageScope strings(language);
    FreshLibrary library;
    library.AddTags(kUserTags);
    CTagView pane;
    pane.resize(210, 330);
    pane.CategoryList()->SetTicked(2, true);
    pane.TagList()->SetTicked(0, true);
    pane.TagList()->setCurrentIndex(pane.TagList()->model()->index(0, 0));
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    EXPECT_TRUE(Save(pane, name));
}

void AddTagShot(const QString& language, const QString& name)
{
    LanguageScope strings(language);
    FreshLibrary library;
    library.AddTags(kUserTags);
    CAddTagDlg dialog(library.get());
    dialog.setNames(QStringLiteral("Music, Holiday, Archive 2019"));
    ASSERT_TRUE(dialog.CreateModeless());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(Save(dialog, name));
}

} // namespace

TEST(TagScreenshots, TagPaneInEnglishAndGerman)
{
    TagPaneShot(QStringLiteral("Enu"), QStringLiteral("tagpane-enu.png"));
    TagPaneShot(QStringLiteral("Deu"), QStringLiteral("tagpane-deu.png"));
}

TEST(TagScreenshots, TagPaneWithTwoThousandTagsScrolled)
{
    LanguageScope strings(QStringLiteral("Enu"));
    FreshLibrary library;
    QStringList many;
    for (int i = 0; i < 2000; ++i) many << QStringLiteral("Tag %1").arg(i, 4, 10, QLatin1Char('0'));
    library.AddTags(many);
    CTagView pane;
    pane.resize(210, 330);
    pane.TagList()->scrollTo(pane.TagList()->model()->index(1000, 0), QAbstractItemView::PositionAtTop);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    EXPECT_TRUE(Save(pane, QStringLiteral("tagpane-2000.png")));
}

TEST(TagScreenshots, AddTagDialogInEnglishAndGerman)
{
    AddTagShot(QStringLiteral("Enu"), QStringLiteral("addtag-enu.png"));
    AddTagShot(QStringLiteral("Deu"), QStringLiteral("addtag-deu.png"));
}
