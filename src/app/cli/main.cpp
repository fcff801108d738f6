// albireo-cli: the catalogue without the window, for scripts and terminals.
// It uses the same disc engine, library and settings as the program.
#include "CliCatalogCommands.h"
#include "CliContext.h"
#include "CliDriveCommands.h"
#include "CliImportCommand.h"
#include "CliLibraryCommands.h"
#include "CliResources.h"

#include <QCoreApplication>
#include <cstdio>
#include <functional>
#include <map>

namespace {

struct Command {
    std::function<int(CliContext&, const QStringList&)> run;
    const char* usage;
    const char* help;
};

const std::map<QString, Command>& Commands()
{
    static const std::map<QString, Command> commands = {
        {"drives", {CliDriveCommands::Drives, "drives", "Lists the drives: letter, name and disc, empty or busy."}},
        {"insert", {CliDriveCommands::Insert, "insert LETTER IMAGE", "Puts a disc image (ISO, CUE sheet, ...) into an image drive."}},
        {"eject", {CliDriveCommands::Eject, "eject LETTER", "Takes the image out of an image drive."}},
        {"identity", {CliDriveCommands::Identity, "identity LETTER", "Prints the 32-character identity of the disc in the drive."}},
        {"import", {CliImportCommand::Import, "import LETTER [--name NAME] [--tags T1,T2] [--replace]",
                    "Catalogues the disc in the drive. The volume label is the default name; tags that do not exist\n"
                    "are created. A disc already in the library is refused (exit code 3); with --replace it is\n"
                    "catalogued again and replaces the catalogued disc, keeping its name, tags and label unless\n"
                    "--name or --tags are given. The catalogued disc stays as it was until the new reading is\n"
                    "complete in the library. A disc that could not all be read is catalogued without what was\n"
                    "missed, with a message saying what and why (exit code 4). Ctrl-C cancels and keeps nothing\n"
                    "of the disc."}},
        {"discs", {CliCatalogCommands::Discs, "discs",
                   "Lists the catalogued discs: id, name, identity, folders, files, complete or incomplete."}},
        {"ls", {CliCatalogCommands::List, "ls DISC [PATH] [-R]",
                "Lists a folder of a catalogued disc (DISC is its id or name): path, size, time (UTC).\n"
                "-R lists the whole tree below PATH."}},
        {"search", {CliCatalogCommands::Search, "search TEXT", "Finds discs, folders and files whose names contain TEXT."}},
        {"check", {CliLibraryCommands::Check, "check [--full]",
                   "Checks the library file for damage (exit code 0 only when it is sound). --full also checks\n"
                   "every index against its rows; it takes longer."}},
        {"repair", {CliLibraryCommands::Repair, "repair",
                    "Rebuilds a damaged library from everything that can still be read and reports what was saved\n"
                    "and lost. A backup is taken first and the damaged file is kept aside untouched\n"
                    "(library.db.damaged-<time>). Close Albireo before."}},
    };
    return commands;
}

void PrintUsage(FILE* stream)
{
    std::fprintf(stream, "Usage: albireo-cli COMMAND [ARGUMENTS]\n       albireo-cli --help | --version\n\nCommands:\n");
    for (const auto& [name, command] : Commands()) std::fprintf(stream, "  %s\n", command.usage);
    std::fprintf(stream, "\n'albireo-cli COMMAND --help' describes a command.\n"
                         "Exit codes: 0 success, 1 failure, 2 wrong usage, 3 disc already catalogued,\n"
                         "4 disc catalogued incompletely.\n");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    if (arguments.isEmpty()) {
        PrintUsage(stderr);
        return CliContext::Usage;
    }
    const QString name = arguments.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        PrintUsage(stdout);
        return CliContext::Success;
    }
    if (name == QLatin1String("--version")) {
        std::printf("albireo-cli %s\n", ALBIREO_VERSION);
        return CliContext::Success;
    }
    const auto found = Commands().find(name);
    if (found == Commands().end()) {
        std::fprintf(stderr, "albireo-cli: unknown command '%s'\n", qPrintable(name));
        PrintUsage(stderr);
        return CliContext::Usage;
    }
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::printf("Usage: albireo-cli %s\n%s\n", found->second.usage, found->second.help);
        return CliContext::Success;
    }
    CliResources::Load();
    CliContext context;
    return found->second.run(context, arguments);
}
