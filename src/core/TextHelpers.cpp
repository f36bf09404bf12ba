#include "TextHelpers.h"

#include <cstring>

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

QByteArray Utf8Prefix(const QByteArray &text, qsizetype maxBytes)
{
    if (maxBytes < 0 || maxBytes >= text.size())
        return text;
    qsizetype end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text.at(end)) & 0xC0) == 0x80)
        --end; // a continuation byte: the character starts before it
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
    const QByteArray bytes = edited.toUtf8();
    QByteArray stored;
    stored.reserve(bytes.size() + bytes.count('\n') + bytes.count('\r'));
    // Lone CRs (from pasted text) and LFs both become the stored CR LF pair; runs between
    // them are copied whole.
    const char *run = bytes.constData();
    const char *const end = run + bytes.size();
    while (run < end) {
        const char *brk = run;
        while (brk < end && *brk != '\n' && *brk != '\r')
            ++brk;
        stored.append(run, brk - run);
        if (brk == end)
            break;
        stored.append("\r\n", 2);
        run = brk + (*brk == '\r' && brk + 1 < end && brk[1] == '\n' ? 2 : 1);
    }
    return stored;
}

QByteArray WithCrLfLineBreaks(const QByteArray &text)
{
    QByteArray result;
    result.reserve(text.size() + text.count('\n'));
    const char *run = text.constData();
    const char *const end = run + text.size();
    // Whole runs up to each LF are copied at once: a pasted text may be megabytes.
    for (const char *lf; (lf = static_cast<const char *>(std::memchr(run, '\n', size_t(end - run))));) {
        result.append(run, lf - run);
        if (lf == text.constData() || lf[-1] != '\r')
            result.append('\r');
        result.append('\n');
        run = lf + 1;
    }
    result.append(run, end - run);
    return result;
}
