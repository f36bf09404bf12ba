#include "TextHelpers.h"

QString FlattenLineBreaks(const QString &text)
{
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return flat;
}

QByteArray FlattenLineBreaks(const QByteArray &text)
{
    QByteArray flat = text;
    flat.replace('\n', ' ');
    flat.replace('\r', ' ');
    return flat;
}

QByteArray TrimRightWhiteAndControl(const QByteArray &text)
{
    qsizetype end = text.size();
    while (end > 0) {
        const auto c = static_cast<unsigned char>(text.at(end - 1));
        if (c > 32 && c != 127)
            break;
        --end;
    }
    return text.left(end);
}

QString MemoTextToEditor(const QByteArray &stored)
{
    QString text = QString::fromUtf8(stored);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QByteArray EditorTextToMemo(const QString &edited)
{
    QString text = edited;
    // Lone CRs (from pasted text) and LFs both become the stored CR LF pair.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toUtf8();
}

QByteArray WithCrLfLineBreaks(const QByteArray &text)
{
    QByteArray result;
    result.reserve(text.size() + text.count('\n'));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '\n' && (i == 0 || text.at(i - 1) != '\r'))
            result += '\r';
        result += text.at(i);
    }
    return result;
}
