// albireo-cli: the catalogue without the window, for scripts and terminals.
// It uses the same disc engine, library and settings as the program.
#include "CliCatalogCommands.h"
#include "CliContext.h"
#include "CliCompareCommand.h"
#include "CliCopyCommand.h"
#include "CliDiscCommands.h"
#include "CliExportCommand.h"
#include "CliDriveCommands.h"
#include "CliImportCommand.h"
#include "CliLibraryCommands.h"
#include "CliResources.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <functional>
#include <map>
#include <unistd.h>

namespace {

struct Command {
    std::function<int(CliContext&, const QStringList&)> run;
    const char* usage;
    const char* help;
    bool json = false; // takes --json
};

const std::map<QString, Command>& Commands()
{
    static const std::map<QString, Command> commands = {
        {"drives", {CliDriveCommands::Drives, "drives [--json]", "Lists the drives: letter, name and state (disc, empty or busy).", true}},
        {"insert", {CliDriveCommands::Insert, "insert LETTER IMAGE", "Puts a disc image (ISO, CUE sheet, ...) into an image drive."}},
        {"eject", {CliDriveCommands::Eject, "eject LETTER", "Takes the image out of an image drive."}},
        {"identity", {CliDriveCommands::Identity, "identity LETTER [--json]", "Prints the 32-character identity of the disc in the drive.", true}},
        {"import", {CliImportCommand::Import, "import LETTER [--name NAME] [--tags T1,T2] [--replace]",
                    "Catalogues the disc in the drive. The volume label is the default name; tags that do not exist\n"
                    "are created. A disc already in the library is refused (exit code 3); with --replace it is\n"
                    "catalogued again and replaces the catalogued disc, keeping its name, tags and label unless\n"
                    "--name or --tags are given. The catalogued disc stays as it was until the new reading is\n"
                    "complete in the library. A disc that could not all be read is catalogued without what was\n"
                    "missed, with a message saying what and why (exit code 4). Ctrl-C cancels and keeps nothing\n"
                    "of the disc."}},
        {"discs", {CliCatalogCommands::Discs, "discs [--json]",
                   "Lists the catalogued discs: id, name, identity, folders, files, state (complete or incomplete).", true}},
        {"ls", {CliCatalogCommands::List, "ls DISC [PATH] [-R] [--json]",
                "Lists a folder of a catalogued disc: path, size, time (ISO 8601, UTC). -R lists the whole tree\n"
                "below PATH.", true}},
        {"search", {CliCatalogCommands::Search,
                    "search TEXT [--limit N] [--disc DISC] [--folders | --files] [--count] [--json]",
                    "Finds discs, folders and files whose names contain TEXT (ignoring case): kind (disc, folder or\n"
                    "file), disc name, path. Discs come first, then folders, then files, each printed as soon as\n"
                    "it is found; a reader that stops reading (| head -1) ends the search at once.\n"
                    "  --limit N       at most N lines\n"
                    "  --disc DISC     only what lies on that disc\n"
                    "  --folders       only folders;  --files  only files (either leaves out discs)\n"
                    "  --count         only the number of discs, folders and files found: kind, count", true}},
        {"rename", {CliDiscCommands::Rename, "rename DISC NEWNAME", "Gives a catalogued disc a new name."}},
        {"tags", {CliDiscCommands::Tags, "tags DISC [--set T1,T2 | --add T1,T2 | --remove T1,T2] [--json]",
                  "Without an option, lists the disc's tags (one a line). --set gives the disc exactly these\n"
                  "tags, --add adds them, --remove takes them off (each must be one of the disc's tags). Tags\n"
                  "that do not exist yet are created; names are matched ignoring case.", true}},
        {"delete", {CliDiscCommands::Delete, "delete DISC [--yes]",
                    "Removes a disc with its folders and files from the library, after asking on standard input\n"
                    "(y or yes) unless --yes is given. A disc that is being imported (or catalogued again) is\n"
                    "refused until its import has ended."}},
        {"label", {CliDiscCommands::Label, "label DISC PICTURE",
                   "Makes a picture file (JPEG, PNG, BMP, ...) the disc's label, as the window's snapshot of a\n"
                   "picture file does: its centred square in the shape of a disc. Pictures that are damaged, cut\n"
                   "short or too large are refused."}},
        {"export", {CliExportCommand::Export, "export [DISC...] [--format csv|json|html] [--output FILE]",
                    "Writes the whole catalogue, or the discs named, with every folder and file: disc, path, kind\n"
                    "(folder or file), size, time (ISO 8601, UTC).\n"
                    "  csv   RFC 4180: a header row, CRLF line ends, fields with a comma, quote or line break in\n"
                    "        double quotes (the default)\n"
                    "  json  one array of objects with those fields, one object a line\n"
                    "  html  one self-contained page with a table per disc; a click on a column title sorts it,\n"
                    "        and it prints cleanly\n"
                    "--output writes FILE (replaced only once the export is complete) instead of standard output."}},
        {"compare", {CliCompareCommand::Compare, "compare FOLDER [--disc DISC] [--json]",
                     "For every file below a local folder, whether a file of the same name (ignoring case) and size\n"
                     "is catalogued: state (catalogued or missing), path below FOLDER, size, and the discs that\n"
                     "hold it (#id,#id). --disc looks only on that disc. Exit code 0 when every file is\n"
                     "catalogued, 5 when some are not.", true}},
        {"check", {CliLibraryCommands::Check, "check [--full] [--json]",
                   "Checks the library file for damage (exit code 0 only when it is sound). --full also checks\n"
                   "every index against its rows; it takes longer. With --json: library, state (sound or\n"
                   "damaged), finding.", true}},
        {"copy-library", {CliCopyCommand::CopyLibrary, "copy-library FROM TO [--json]",
                          "Copies the whole library FROM into the empty library TO: a library file's path or a\n"
                          "library server's postgresql:// address each (a file that does not exist is created).\n"
                          "Tags, label pictures, discs with their tags, labels and read gaps, folders and files are\n"
                          "copied; hidden tags are not. All or nothing: a copy that fails leaves TO as it was. It\n"
                          "says on standard error which disc it copies, checks the copy's counts against FROM at\n"
                          "the end and prints them: kind (discs, folders or files), count.", true}},
        {"repair", {CliLibraryCommands::Repair, "repair",
                    "Rebuilds a damaged library from everything that can still be read and reports what was saved\n"
                    "and lost. A backup is taken first and the damaged file is kept aside untouched\n"
                    "(library.db.damaged-<time>). Close Albireo before."}},
    };
    return commands;
}

const char* const kOutputHelp =
    "Output: one record a line, fields separated by tabs. A tab, newline, carriage return or\n"
    "backslash inside a field is written as \\t, \\n, \\r, \\\\ (printf '%b' reads a field back), so\n"
    "every record is one line with a fixed number of fields. --json writes JSON Lines instead:\n"
    "one object per record, UTF-8, the same fields under their names.\n"
    "A DISC argument is a disc's name or #id (as 'discs' lists them); a name that several discs\n"
    "have is refused with the candidates listed.\n"
    "Exit codes: 0 success, 1 failure, 2 wrong usage, 3 disc already catalogued,\n"
    "4 disc catalogued incompletely, 5 (compare) not every file is catalogued.\n";

void PrintUsage(FILE* stream)
{
    std::fprintf(stream, "Usage: albireo-cli COMMAND [ARGUMENTS]\n       albireo-cli --help | --version\n\nCommands:\n");
    for (const auto& [name, command] : Commands()) std::fprintf(stream, "  %s\n", command.usage);
    std::fprintf(stream, "\n'albireo-cli COMMAND --help' describes a command.\n%s", kOutputHelp);
}

void PrintCommandHelp(const Command& command)
{
    std::printf("Usage: albireo-cli %s\n%s\n", command.usage, command.help);
    if (command.json) std::printf("\n%s", kOutputHelp);
}

// The reader stopping early (| head) ends the command quietly; output that
// could not be written otherwise is a failure.
int Finished(CliContext& context, int code)
{
    CliOutput& output = context.Output();
    output.Flush();
    if (output.ReaderGone()) return code;
    if (output.Broken()) return CliContext::Fail(QStringLiteral("the output cannot be written"));
    return code;
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
        PrintCommandHelp(found->second);
        return CliContext::Success;
    }
    const bool json = arguments.removeAll(QStringLiteral("--json")) > 0;
    if (json && !found->second.json) return CliContext::UsageError(name, "has no --json output");
    // A reader that closes the pipe is seen as a failed write, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    // Output to a pipe or file goes in blocks the size of a pipe's buffer,
    // not of a page: a search writes hundreds of megabytes.
    static char outputBuffer[1 << 16];
    if (!isatty(STDOUT_FILENO)) std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    CliResources::Load();
    CliContext context;
    context.SetJson(json);
    const int code = Finished(context, found->second.run(context, arguments));
    context.Output().End(); // before the library closes
    return code;
}
