// Tags and label image sets through the loaded engine.
#include "EngineTestSupport.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <utility>

namespace {

class TagsAndLabelsTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped()) return;
        engine = std::make_unique<EngineInstance>();
        ASSERT_EQ(S_OK, engine->InitializeResult());
    }
    ILibraryEngine* e() const { return engine->get(); }

    QStringList TagNames()
    {
        QStringList names;
        for (const TagRecord& tag : Tags(e())) names.append(FromW(tag.name));
        return names;
    }

    std::unique_ptr<EngineInstance> engine;
};

INSTANTIATE_ENGINE_TESTS(TagsAndLabelsTest);

TEST_P(TagsAndLabelsTest, CategoryTagsComeFirstAndHiddenTagsAreNotListed)
{
    LONG holiday = 0, photo = 0;
    ASSERT_EQ(S_OK, e()->AddTag(u"Holiday", &holiday));
    ASSERT_EQ(S_OK, e()->AddTag(u"Music", nullptr));
    ASSERT_EQ(S_OK, e()->AddTag(u"Photo", &photo));
    ASSERT_EQ(S_OK, e()->AddTag(u"Zebra", nullptr));
    ASSERT_EQ(S_OK, e()->AddTag(u"Video", nullptr));
    ASSERT_EQ(S_OK, e()->AddTag(u"Document", nullptr));
    EXPECT_EQ((QStringList{"Video", "Photo", "Music", "Document", "Holiday", "Zebra"}), TagNames());

    ASSERT_EQ(S_OK, e()->SetTagVisible(u"zebra", 0));
    EXPECT_EQ((QStringList{"Video", "Photo", "Music", "Document", "Holiday"}), TagNames());
    LONG id = 0, visible = 1;
    ASSERT_EQ(S_OK, e()->FindTag(&id, &visible, u"ZEBRA"));
    EXPECT_GT(id, 0);
    EXPECT_EQ(0, visible);
    ASSERT_EQ(S_OK, e()->FindTag(&id, &visible, u"holiday"));
    EXPECT_EQ(holiday, id);
    EXPECT_EQ(1, visible);
    ASSERT_EQ(S_OK, e()->FindTag(&id, &visible, u"Nothing"));
    EXPECT_LE(id, 0);

    // Adding a name that exists (any case) shows it again under its id.
    LONG again = 0;
    EXPECT_EQ(S_FALSE, e()->AddTag(u"zEbRa", &again));
    EXPECT_EQ(6u, Tags(e()).size());
    EXPECT_EQ(E_INVALIDARG, e()->SetTagVisible(u"Nothing", 1));
    EXPECT_EQ(E_INVALIDARG, e()->AddTag(u"", nullptr));
    EXPECT_EQ(E_INVALIDARG, e()->AddTag(u"a, b", nullptr));

    char16_t names[260] = {};
    const QString ids = QStringLiteral("%1::%2::999::junk::%3").arg(photo).arg(holiday).arg(again);
    ASSERT_EQ(S_OK, e()->GetTagNames(W(ids), names));
    EXPECT_EQ(QStringLiteral("Photo, Holiday, Zebra"), FromW(names));
    ASSERT_EQ(S_OK, e()->SetTagVisible(u"Holiday", 0));
    ASSERT_EQ(S_OK, e()->GetTagNames(W(ids), names));
    EXPECT_EQ(QStringLiteral("Photo, Zebra"), FromW(names));
    // No id list (a disc without tags) names no tags, in both engines alike.
    ASSERT_EQ(S_OK, e()->GetTagNames(nullptr, names));
    EXPECT_EQ(QString(), FromW(names));
    EXPECT_EQ(E_POINTER, e()->GetTagNames(W(ids), nullptr));
}

TEST_P(TagsAndLabelsTest, TagNamesMatchAcrossUnicodeCase)
{
    ASSERT_EQ(S_OK, e()->AddTag(u"Ärger", nullptr));
    LONG id = 0, visible = 0;
    ASSERT_EQ(S_OK, e()->FindTag(&id, &visible, u"äRGER"));
    EXPECT_GT(id, 0);
    EXPECT_EQ(S_FALSE, e()->AddTag(u"ÄRGER", nullptr));
}

TEST_P(TagsAndLabelsTest, LabelPicturesAreKeptInsideTheLibrary)
{
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("pictures"));
    const QString p32 = WritePicture(folder, QStringLiteral("a.png"), 32, 0x112233);
    // Stored, not compressed: encoding it again would give other bytes.
    QImage(p32).save(p32, "PNG", 100);
    const QString p128 = WritePicture(folder, QStringLiteral("b.png"), 128, 0x445566);
    const QString p360 = WritePicture(folder, QStringLiteral("c.png"), 64, 0x778899); // scaled up
    LONG count = -1, last = -1;
    ASSERT_EQ(S_OK, e()->GetLabelCount(&count));
    EXPECT_EQ(0, count);
    ASSERT_EQ(S_OK, e()->GetLastLabelId(&last));
    EXPECT_EQ(0, last);
    QFile file32(p32);
    ASSERT_TRUE(file32.open(QIODevice::ReadOnly));
    const QByteArray kept32 = file32.readAll();
    const QString other32 = WritePicture(folder, QStringLiteral("d.png"), 32, 0x2468ac);
    ASSERT_EQ(S_OK, e()->AddLabel(W(p32), W(p128), W(p360)));
    ASSERT_EQ(S_OK, e()->AddLabel(W(other32), W(p128), W(p360)));
    QDir(folder).removeRecursively();

    ASSERT_EQ(S_OK, e()->GetLabelCount(&count));
    EXPECT_EQ(2, count);
    ASSERT_EQ(S_OK, e()->GetLastLabelId(&last));
    EXPECT_EQ(2, last);
    QImage* thumbnail = nullptr;
    QImage* image = nullptr;
    ASSERT_EQ(S_OK, e()->GetLabelThumbnail(last, &thumbnail));
    ASSERT_EQ(S_OK, e()->GetLabelImage(last, &image));
    EXPECT_EQ(QSize(32, 32), thumbnail->size());
    EXPECT_EQ(QColor(0x2468ac), thumbnail->pixelColor(16, 16));
    EXPECT_EQ(QSize(360, 360), image->size());
    EXPECT_EQ(QColor(0x778899), image->pixelColor(180, 180));
    delete thumbnail;
    delete image;
    // Read again, in any order, each set gives its own thumbnail.
    for (const auto& [id, colour] : {std::pair{1, 0x112233}, std::pair{2, 0x2468ac}, std::pair{1, 0x112233}}) {
        ASSERT_EQ(S_OK, e()->GetLabelThumbnail(id, &thumbnail));
        EXPECT_EQ(QColor(colour), thumbnail->pixelColor(16, 16)) << id;
        delete thumbnail;
    }
    if (!OnServer()) {
        // A PNG of the right size is stored as it is, not encoded again.
        sqlite3* raw = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(library.toUtf8().constData(), &raw));
        sqlite3_stmt* stored = nullptr;
        sqlite3_prepare_v2(raw, "SELECT picture32 FROM labels WHERE id = 1", -1, &stored, nullptr);
        ASSERT_EQ(SQLITE_ROW, sqlite3_step(stored));
        EXPECT_EQ(kept32, QByteArray(static_cast<const char*>(sqlite3_column_blob(stored, 0)), sqlite3_column_bytes(stored, 0)));
        sqlite3_finalize(stored);
        sqlite3_close(raw);
    }

    ASSERT_EQ(S_OK, e()->DeleteLabel(1, 0));
    EXPECT_EQ(E_INVALIDARG, e()->DeleteLabel(1, 0));
    QImage* gone = reinterpret_cast<QImage*>(0x1);
    EXPECT_EQ(E_INVALIDARG, e()->GetLabelThumbnail(1, &gone));
    EXPECT_EQ(nullptr, gone);
    // A deleted set's id is never handed out again.
    const QString again = TestEnvironment::MakeFolder(QStringLiteral("again"));
    ASSERT_EQ(S_OK, e()->DeleteLabel(2, 0));
    ASSERT_EQ(S_OK, e()->AddLabel(W(WritePicture(again, "a.png", 32, 1)), W(WritePicture(again, "b.png", 128, 1)),
                                  W(WritePicture(again, "c.png", 360, 1))));
    ASSERT_EQ(S_OK, e()->GetLastLabelId(&last));
    EXPECT_EQ(3, last);
}

TEST_P(TagsAndLabelsTest, FilesThatAreNoPicturesAreRefused)
{
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("bad"));
    const QString good = WritePicture(folder, QStringLiteral("g.png"), 32, 0);
    QFile text(folder + QStringLiteral("/t.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    EXPECT_EQ(E_INVALIDARG, e()->AddLabel(W(good), W(good), W(text.fileName())));
    EXPECT_TRUE(FAILED(e()->AddLabel(W(good), W(good), u"/no/such/file.png")));
    LONG count = -1;
    ASSERT_EQ(S_OK, e()->GetLabelCount(&count));
    EXPECT_EQ(0, count);
}

} // namespace
