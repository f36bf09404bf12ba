#include "MemoCompare.h"

int CompareMemoTexts(const QByteArray &a, const QByteArray &b)
{
    const qsizetype common = qMin(a.size(), b.size());
    const auto *x = reinterpret_cast<const unsigned char *>(a.constData());
    const auto *y = reinterpret_cast<const unsigned char *>(b.constData());
    for (qsizetype i = 0; i < common; ++i) {
        unsigned char cx = x[i];
        unsigned char cy = y[i];
        if (cx >= 'a' && cx <= 'z')
            cx -= 'a' - 'A';
        if (cy >= 'a' && cy <= 'z')
            cy -= 'a' - 'A';
        if (cx != cy)
            return cx < cy ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
