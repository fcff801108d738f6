// A file's type name depends on its extension alone, whatever was asked before.
#include "ShellFileType.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(ShellFileType, TheNameFollowsTheExtensionInAnyOrderOfAsking)
{
    const QStringList names = {"a.txt", "b.png",    "c.TXT",  "d.txt", "e",
                               "f.png", ".hidden", "g.tar.gz", "h.html", "i.PNG"};
    QStringList forward, backward;
    for (const QString& name : names) forward.append(ShellFileType::TypeName(name));
    for (auto name = names.crbegin(); name != names.crend(); ++name) backward.prepend(ShellFileType::TypeName(*name));
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(forward[0], forward[2]); // case does not matter
    EXPECT_EQ(forward[1], forward[9]);
    EXPECT_EQ(QStringLiteral("File"), forward[4]);
    EXPECT_EQ(QStringLiteral("File"), forward[6]);
    EXPECT_NE(forward[0], forward[1]); // the MIME database tells text from pictures
    EXPECT_NE(forward[8], forward[1]);
}
