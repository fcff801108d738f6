// Walks a disc image of 100,000 files in 5,000 folders through the disc
// engine (parse, then every folder enumerated as the scan does) and prints
// the time as a ratio to xorriso listing the same image, measured in the
// same run: an ISO 9660 image with Rock Ridge and Joliet (xorriso), and a
// UDF bridge image (genisoimage -udf), which the engine reads through UDF.
// Usage: trellis_walk_bench [work folder]
#include "ComponentModule.h"
#include "ProgramPaths.h"
#include "TrellisInterfaces.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

// The program folder: ALBIREO_PROGRAM_DIR, else the one of this build.
QString ProgramFolder()
{
    const QString overridden = qEnvironmentVariable("ALBIREO_PROGRAM_DIR");
    return overridden.isEmpty() ? QStringLiteral(ALBIREO_BUILT_PROGRAM_DIR) : overridden;
}

constexpr int kFolders = 5000;
constexpr int kFilesPerFolder = 20;
constexpr int kRuns = 3;

bool MakeSource(const QString& root)
{
    for (int folder = 0; folder < kFolders; ++folder) {
        // 50 top folders of 99 subfolders each, plus the top folders themselves.
        const QString dir = folder < 50 ? QString("%1/group %2").arg(root).arg(folder)
                                        : QString("%1/group %2/sub folder %3").arg(root).arg(folder % 50).arg(folder);
        if (!QDir().mkpath(dir)) return false;
        for (int file = 0; file < kFilesPerFolder; ++file) {
            QFile out(QString("%1/document number %2.txt").arg(dir).arg(file));
            if (!out.open(QIODevice::WriteOnly)) return false;
        }
    }
    return true;
}

bool RunQuiet(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Parses the image in the drive and enumerates every folder; the count of entries seen.
long WalkWithEngine(ITrellisEngine* engine, ITrellisDevice* drive)
{
    IUnknown* object = nullptr;
    ITrellisReader* reader = nullptr;
    if (FAILED(engine->CreateObject(CLSID_TrellisCdReader, &object)) ||
        FAILED(object->QueryInterface(IID_ITrellisReader, reinterpret_cast<void**>(&reader))))
        return -1;
    object->Release();
    long entries = -1;
    if (SUCCEEDED(reader->Attach(drive)) && SUCCEEDED(reader->Open()) && SUCCEEDED(reader->StartParse(6, 0, 0))) {
        HRESULT hr;
        while ((hr = reader->WaitParse(10, nullptr, nullptr)) == TRELLIS_S_PARSE_RUNNING) {
        }
        if (SUCCEEDED(hr)) {
            entries = 0;
            std::vector<std::u16string> folders{u""};
            for (size_t next = 0; next < folders.size(); ++next) {
                TrellisFindEntry entry;
                const std::u16string folder = folders[next];
                for (HRESULT step = reader->FindFirst(folder.c_str(), &entry); step == S_OK; step = reader->FindNext(&entry)) {
                    ++entries;
                    if (entry.attributes & TRELLIS_ATTRIBUTE_DIRECTORY)
                        folders.push_back(folder.empty() ? std::u16string(entry.name) : folder + u"\\" + entry.name);
                }
                reader->FindClose();
            }
        }
        reader->Close();
        reader->Detach();
    }
    reader->Release();
    return entries;
}

// Best times of the peer's listing and of the engine's walk of one image;
// false when either fails.
bool Measure(ITrellisEngine* engine, ITrellisDevice* drive, ITrellisImageDrive* imageDrive, const QString& image,
             const char* label)
{
    if (FAILED(imageDrive->InsertImage(reinterpret_cast<LPCWSTR>(image.utf16())))) {
        std::fprintf(stderr, "cannot insert %s\n", qPrintable(image));
        return false;
    }
    qint64 peerBest = -1, engineBest = -1;
    long entries = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!RunQuiet("xorriso", {"-indev", image, "-find", "/"})) {
            std::fprintf(stderr, "xorriso failed\n");
            return false;
        }
        const qint64 peer = timer.nsecsElapsed();
        timer.restart();
        entries = WalkWithEngine(engine, drive);
        const qint64 ours = timer.nsecsElapsed();
        if (peerBest < 0 || peer < peerBest) peerBest = peer;
        if (engineBest < 0 || ours < engineBest) engineBest = ours;
    }
    std::printf("%s: %ld entries walked\n", label, entries);
    std::printf("  xorriso -indev IMAGE -find /: %.3f s (best of %d)\n", peerBest / 1e9, kRuns);
    std::printf("  disc engine parse and walk:   %.3f s (best of %d)\n", engineBest / 1e9, kRuns);
    std::printf("  ratio engine / xorriso: %.2f (goal: at most 1.5)\n", double(engineBest) / double(peerBest));
    return entries == kFolders * (kFilesPerFolder + 1);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const QString source = work + "/source";
    const QString isoImage = work + "/walk.iso";
    const QString udfImage = work + "/walk-udf.iso";
    qputenv("ALBIREO_REGISTRY_MACHINE", (work + "/machine.reg").toLocal8Bit());
    if (!QFile::exists(isoImage) || !QFile::exists(udfImage)) {
        std::printf("making %d folders with %d files...\n", kFolders, kFolders * kFilesPerFolder);
        if ((!QDir(source).exists() && !MakeSource(source)) ||
            !RunQuiet("xorriso", {"-as", "mkisofs", "-R", "-J", "-o", isoImage, source}) ||
            !RunQuiet("genisoimage", {"-quiet", "-udf", "-o", udfImage, source})) {
            std::fprintf(stderr, "cannot make the images in %s\n", qPrintable(work));
            return 1;
        }
    }

    ComponentModule module;
    ITrellisEngine* engine = nullptr;
    if (FAILED(module.Load(ProgramFolder() + "/libTrellis.so")) ||
        FAILED(module.CreateInstance(CLSID_TrellisEngine, IID_ITrellisEngineFactory, reinterpret_cast<void**>(&engine)))) {
        std::fprintf(stderr, "cannot load the disc engine\n");
        return 1;
    }
    LONG count = 0;
    engine->GetDriveCount(&count);
    ITrellisDevice* drive = nullptr;
    ITrellisImageDrive* imageDrive = nullptr;
    for (LONG i = 0; i < count && !imageDrive; ++i) {
        SafeRelease(drive);
        engine->GetDrive(i, &drive);
        if (drive) drive->QueryInterface(IID_ITrellisImageDrive, reinterpret_cast<void**>(&imageDrive));
    }
    if (!imageDrive) {
        std::fprintf(stderr, "no image drive\n");
        return 1;
    }
    const bool ok = Measure(engine, drive, imageDrive, isoImage, "ISO 9660 with Rock Ridge") &&
                    Measure(engine, drive, imageDrive, udfImage, "UDF bridge, read through UDF");
    imageDrive->EjectImage();
    imageDrive->Release();
    drive->Release();
    engine->Release();
    return ok ? 0 : 1;
}
