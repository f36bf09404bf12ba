// The configuration file: an INI text file read and written by path for every access,
// with no cache, so that a change made by hand is seen at the next read. Section and key
// names are matched without regard to case.
//
// Encodings: Booleans are written "1"/"0" and read as integers (non-zero is true);
// integers are decimal, or hexadecimal after "0x"; texts are cut at 2047 characters.
// A missing file, section or key, or a value that is not an integer where one is
// expected, gives the default. Writes replace the file atomically and throw
// JotterlyError("Unable to write to <path>") when the system refuses them.
#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace IniFile {

constexpr int kMaxTextLength = 2047;

bool ReadBool(const QString &path, const QString &section, const QString &key, bool defaultValue);
int ReadInteger(const QString &path, const QString &section, const QString &key, int defaultValue);
QString ReadString(const QString &path, const QString &section, const QString &key, const QString &defaultValue);

void WriteBool(const QString &path, const QString &section, const QString &key, bool value);
void WriteInteger(const QString &path, const QString &section, const QString &key, int value);
void WriteString(const QString &path, const QString &section, const QString &key, const QString &value);
// Several keys of one section in one write of the file, in the order given (keys new to
// the section are added in that order); a refused write writes none of them.
void WriteIntegers(const QString &path, const QString &section, const std::vector<std::pair<QString, int>> &values);

// Parses an integer as the file stores it; false when the text is not one.
bool ParseInteger(const QString &text, int &value);

} // namespace IniFile
