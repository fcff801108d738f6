// UTF-16 texts at the interface boundary: conversion, validation, case
// folding for search and tag names, and copying into fixed record fields.
#pragma once
#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace Utf16Text {

// The zero-terminated text, or an empty view for null.
std::u16string_view View(const char16_t* text);
QString ToQString(std::u16string_view text);
// The text as UTF-8 into `out` (replacing what it held), which keeps its
// memory from one call to the next; the text must be well formed.
void ToUtf8(std::u16string_view text, std::string& out);
// False when the text holds an unpaired surrogate (it could not be stored).
bool IsWellFormed(std::u16string_view text);
// Unicode case folding, as UTF-8: the form names are matched in.
QByteArray Folded(std::u16string_view text);
QByteArray Folded(const QString& text);
// Copies text into a field of `capacity` units, cut to capacity - 1 and
// zero-terminated.
void CopyToField(char16_t* field, int capacity, std::u16string_view text);
void CopyToField(char16_t* field, int capacity, const QString& text);
void CopyToField(char* field, int capacity, const QByteArray& text);

} // namespace Utf16Text
