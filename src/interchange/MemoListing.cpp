#include "MemoListing.h"

#include "Boxes.h"
#include "ProductAddresses.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

const QByteArray kRule(33, '-');
const QByteArray kCrLf = QByteArrayLiteral("\r\n");

class Lines
{
public:
    Lines &operator<<(const QByteArray &line)
    {
        bytes += line;
        bytes += kCrLf;
        return *this;
    }
    QByteArray bytes;
};

QByteArray indented(const QByteArray &content, const char *continuation)
{
    QByteArray text = content;
    return text.replace(kCrLf, kCrLf + continuation);
}

QByteArray htmlText(const QByteArray &content)
{
    QByteArray text = content;
    return text.replace(kCrLf, QByteArrayLiteral("<br> ")) + "</p></li>";
}

QByteArray countsText(int memos, int subMemos, const ListingFooter &footer)
{
    return "Memos " + QByteArray::number(memos) + ", Sub-Memos " + QByteArray::number(subMemos) + " - "
           + footer.timeText.toUtf8();
}

} // namespace

QByteArray TextListing(const std::vector<ListingEntry> &entries, const ListingFooter &footer)
{
    Lines lines;
    lines << "Memos" << kRule << "";
    int memos = 0, subMemos = 0;
    for (const ListingEntry &entry : entries) {
        lines << " * " + indented(entry.content, "   ");
        ++memos;
        if (!entry.topLevel)
            continue;
        for (const QByteArray &subMemo : entry.subMemos) {
            lines << "   - " + indented(subMemo, "     ");
            ++subMemos;
        }
    }
    lines << "" << kRule << " " + countsText(memos, subMemos, footer);
    lines << " By Brivel Jotterly " + footer.versionText.toUtf8();
    lines << " " + ProductAddresses::kWebSite.toUtf8();
    return lines.bytes;
}

QByteArray HtmlListing(const std::vector<ListingEntry> &entries, const ListingFooter &footer)
{
    static const QByteArray memoItem[] = {
        R"(<li><p style="margin: 4px 0 4px 0; padding: 0 0 0 10px; background: #F3F3FA;">)",
        R"(<li><p style="margin: 4px 0 4px 0; padding: 0 0 0 10px; background: #D1E9E9;">)"};
    // The sub-memo items' padding has no unit, as the listing has always been written.
    static const QByteArray subMemoItem[] = {
        R"(<li><p style="margin: 2px 0 2px 0; padding: 0 0 0 10; background: #fff;">)",
        R"(<li><p style="margin: 2px 0 2px 0; padding: 0 0 0 10; background: #F5FFE8;">)"};
    Lines lines;
    lines << "<html><body>"
          << "<h1>Memos</h1>"
          << R"(<hr style="background: #666;color: #666;height: 1px; margin: 0 5px 0 5px;"></>)"
          << R"(<ul style="list-style-type: disc; font-size: 105%;">)";
    int memos = 0, subMemos = 0;
    for (const ListingEntry &entry : entries) {
        lines << memoItem[memos % 2] << htmlText(entry.content);
        ++memos;
        if (!entry.topLevel)
            continue;
        lines << R"(<ul style="list-style-type: circle; margin: 0 0 5px 15px; font-size: 95%;">)";
        for (size_t i = 0; i < entry.subMemos.size(); ++i) {
            lines << subMemoItem[i % 2] << htmlText(entry.subMemos[i]);
            ++subMemos;
        }
        lines << "</ul>";
    }
    const QByteArray site = ProductAddresses::kWebSite.toUtf8();
    lines << "</ul>"
          << "<hr /><p>" + countsText(memos, subMemos, footer) + "</p>"
          << "<p>By Brivel Jotterly " + footer.versionText.toUtf8() + "</p>"
          << "<p><a href=\"" + site + "\">" + site + "</a></p>"
          << "</body></html>";
    return lines.bytes;
}

bool WriteListingFile(const QString &fileName, const QByteArray &listing)
{
    QSaveFile file(fileName);
    bool written = file.open(QIODevice::WriteOnly);
    if (written)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner); // memos are private
    written = written && file.write(listing) == listing.size() && file.commit();
    if (!written)
        ErrorBox(QStringLiteral("File write failure!"));
    return written;
}

QString WithExtension(const QString &fileName, const QString &extension)
{
    const QFileInfo info(fileName);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? name : name.left(dot);
    const QString folder = fileName.left(fileName.size() - name.size());
    return folder + stem + extension;
}
