// Diagnostic output: one line, formatted printf-style into 520 characters,
// prefixed "[Component] ", written to standard error only when the
// machine-wide setting "DumpMsg" is true (or ALBIREO_DUMPMSG=1).
#pragma once

void DumpMsg(const char* component, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The same line, written whatever the setting: for damage that the user's
// administrator must hear about (a damaged settings store).
void DiagWriteAlways(const char* component, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Formats the line as DumpMsg would write it (without the newline).
void FormatDiagLine(char (&buffer)[520], const char* component, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Whether DumpMsg writes; the setting is read once per process.
bool IsDumpMsgEnabled();
void ResetDumpMsgSetting();
