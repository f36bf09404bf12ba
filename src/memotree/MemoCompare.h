// The order of memo texts: the letters a to z folded to upper case, then byte by byte
// by code value; a text that is a prefix of another is smaller. No locale rules apply,
// so "apple" equals "APPLE" and "_" sorts after every letter.
#pragma once

#include <QByteArray>

// Negative, zero or positive as a sorts before, with or after b.
int CompareMemoTexts(const QByteArray &a, const QByteArray &b);
