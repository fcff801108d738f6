// Where the program's files live: the program folder (the executable's
// folder, or ALBIREO_PROGRAM_DIR), the temporary folder, and the one
// translation of "Image\..." picture paths into files.
#pragma once
#include <QString>

namespace ProgramPaths {

// Folder holding the executable and its components, without trailing slash.
QString ProgramFolder();
// Folder of the machine-wide settings. A build tree keeps them in the program
// folder. An installation (program folder "<prefix>/lib/albireo") keeps them
// where the system keeps configuration: "/etc/albireo" for the prefix "/usr",
// also below a staging root ("<root>/usr" -> "<root>/etc/albireo"), and
// "<prefix>/etc/albireo" for any other prefix.
QString MachineSettingsFolder(const QString& programFolder);
QString MachineSettingsFolder();
// The private temporary folder (PrivateTempFolder), without trailing slash.
QString TempFolder();
// A backslash path relative to the program folder ("Language\Enu\FlwRC.dll")
// as a native path under the program folder.
QString UnderProgramFolder(const QString& backslashPath);
// "Image\Dialogs\x.png" -> file under the program folder, else under the
// current directory when the program folder has no "Image" folder.
QString ImageFile(const QString& imagePath);
// Replaces backslashes by slashes; the only place separators are converted.
QString ToNativeSeparators(const QString& backslashPath);

} // namespace ProgramPaths
