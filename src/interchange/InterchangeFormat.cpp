#include "InterchangeFormat.h"

#include "InterchangeTime.h"
#include "pU_XmlTry.h"

#include <QStringList>

namespace Interchange {

int StartDocument(Txmltry &xml, const QString &appVersion, TDateTime writtenAt)
{
    const QString root = QLatin1String(kRootPath);
    const int utcBias = CurrentUtcBias();
    xml.LoadFromText(QByteArray(kTemplate));
    xml.SetAttr(root, QLatin1String(kAppAttr), QByteArray(kAppName));
    xml.SetAttr(root, QLatin1String(kAppVersionAttr), appVersion.toUtf8());
    xml.SetAttr(root, QLatin1String(kTimeAttr), FormatInterchangeTime(writtenAt, utcBias).toUtf8());
    return utcBias;
}

std::optional<QString> CheckApp(Txmltry &xml)
{
    const QByteArray found = xml.GetAttr(QLatin1String(kRootPath), QLatin1String(kAppAttr));
    if (found == kAppName)
        return std::nullopt;
    return QStringLiteral("Data mismatch: ") + QString::fromUtf8(found) + QLatin1String(kAppName);
}

namespace {

// The patterns of a mask such as "*.a;*.b" in the blank-separated form Qt reads.
QString patternsOf(const QString &mask)
{
    QStringList patterns = mask.split(u';', Qt::SkipEmptyParts);
    for (QString &pattern : patterns)
        pattern = pattern.trimmed();
    patterns.removeAll(QString());
    return patterns.isEmpty() ? QStringLiteral("*") : patterns.join(u' ');
}

} // namespace

QString ToQtFileDialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts[i];
        const QString patterns = patternsOf(i + 1 < parts.size() ? parts[i + 1] : QString());
        // Qt takes the patterns from the parentheses at the end of each entry, split at
        // blanks: a list of its own there ("(*.htm; *.html)") gives way to Qt's form.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (description.endsWith(QLatin1Char(')')) && open >= 0)
            description.truncate(open); // the blanks before it stay as written
        else
            description += QLatin1Char(' ');
        entries << description + QLatin1Char('(') + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString ToQtDefaultSuffix(const QString &defaultExt)
{
    QString suffix = defaultExt;
    if (suffix.startsWith(u'*'))
        suffix.remove(0, 1);
    if (suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    return suffix;
}

} // namespace Interchange
