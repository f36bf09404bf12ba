// Small text helpers shared by the memo tree, the interchange readers and the dialogs.
#pragma once

#include <QByteArray>
#include <QString>

// Every line feed and then every carriage return replaced by one blank each, so that a
// CR LF pair becomes two blanks: the form in which a memo's text shows on one line.
QString FlattenLineBreaks(const QString &text);
QByteArray FlattenLineBreaks(const QByteArray &text);

// The text without trailing white space and control characters (bytes up to 32 and 127);
// leading ones stay. Works on UTF-8 bytes without splitting a character.
QByteArray TrimRightWhiteAndControl(const QByteArray &text);

// The first maxBytes bytes of UTF-8 text, shortened to the start of a character so that
// none is cut in half; all of it for a negative maxBytes.
QByteArray Utf8Prefix(const QByteArray &text, qsizetype maxBytes);

// Every line feed that does not follow a carriage return becomes CR LF, so text from
// other programs gets the stored line breaks; lone CRs stay as they are.
QByteArray WithCrLfLineBreaks(const QByteArray &text);

// Conversions between stored memo text (UTF-8 with CR LF line breaks) and editor text
// (QString with LF line breaks).
QString MemoTextToEditor(const QByteArray &stored);
QByteArray EditorTextToMemo(const QString &edited);
