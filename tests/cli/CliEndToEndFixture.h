// The fixture of the end-to-end tests of albireo-cli: a tool environment
// of its own with an image drive, imports through the real tool, and the
// tool's library opened in the test's process when the tool is not running.
#pragma once
#include "CDllCom.h"
#include "CliRunner.h"

#include <gtest/gtest.h>

class CliEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = m_cli.Folder();
        m_letter = m_cli.ImageDriveLetter();
        ASSERT_FALSE(m_letter.isEmpty()) << "no image drive";
    }

    // Inserts and imports an image; returns the import's result.
    CliResult Import(const QString& image, const QStringList& options = {})
    {
        const CliResult inserted = m_cli.Run({"insert", m_letter, image});
        EXPECT_EQ(inserted.exitCode, 0) << qPrintable(inserted.err);
        return m_cli.Run(QStringList{"import", m_letter} + options);
    }
    static QStringList WithoutTimes(const QStringList& lines)
    {
        QStringList stripped;
        for (const QString& line : lines) stripped << line.section('\t', 0, 1);
        stripped.sort();
        return stripped;
    }

    // Works on the tool's library in this process (the tool is not running).
    template <class Work>
    void WithLibrary(Work work)
    {
        const QByteArray previous = qgetenv("ALBIREO_LIBRARY_DB");
        qputenv("ALBIREO_LIBRARY_DB", (m_folder + "/data/Albireo/library.db").toLocal8Bit());
        CDllCom loader;
        ILibraryEngine* library = nullptr;
        ASSERT_EQ(loader.CreateLibraryEngine(&library), S_OK);
        EXPECT_EQ(library->Initialize(0, 0, 0), S_OK);
        work(library);
        library->Uninitialize();
        library->Release();
        qputenv("ALBIREO_LIBRARY_DB", previous);
    }
    DiscRecord OnlyDisc()
    {
        DiscRecord record{};
        WithLibrary([&](ILibraryEngine* library) {
            LONG count = 0;
            library->GetDiscCount(&count);
            ASSERT_EQ(count, 1);
            library->GetDiscs(&record, 1);
        });
        return record;
    }

    CliRunner m_cli;
    QString m_folder, m_letter;
};
