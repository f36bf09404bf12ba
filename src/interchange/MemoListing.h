// The listings meant for people: a plain-text and an HTML list of memos, each selected
// memo with, when it is a top-level memo, all its sub-memos. Lines end in CR LF (the last
// one too), the text is UTF-8 without a byte-order mark, and memo text goes in as it is:
// its own line breaks stay inside its line, and in the HTML nothing is escaped, so that
// markup users write into memos on purpose works.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

struct ListingEntry
{
    QByteArray content;
    bool topLevel = false;            // a memo at level 0 lists its sub-memos
    std::vector<QByteArray> subMemos; // all of them, in order
};

// What the footer says besides the counts.
struct ListingFooter
{
    QString timeText;    // when the listing was made, as users read it
    QString versionText; // the program's file version
};

QByteArray TextListing(const std::vector<ListingEntry> &entries, const ListingFooter &footer);
QByteArray HtmlListing(const std::vector<ListingEntry> &entries, const ListingFooter &footer);

// Writes the listing through a temporary file renamed over the target, so a failure never
// leaves half a listing in place of an older file. On a failure shows "File write
// failure!" and returns false.
bool WriteListingFile(const QString &fileName, const QByteArray &listing);

// The name with its extension (from the last "." of the file name on, if any) replaced.
QString WithExtension(const QString &fileName, const QString &extension);
