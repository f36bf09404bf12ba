#include "RecordIds.h"

#include <QRandomGenerator>
#include <QUuid>

QByteArray NewRecordId()
{
    quint64 bits[2];
    QRandomGenerator::global()->fillRange(bits);
    QUuid id = QUuid::fromRfc4122(QByteArrayView(reinterpret_cast<const char *>(bits), sizeof bits));
    id.data3 = (id.data3 & 0x0fff) | 0x4000;   // version 4
    id.data4[0] = (id.data4[0] & 0x3f) | 0x80; // RFC 4122 variant
    return id.toString(QUuid::WithBraces).toUpper().toLatin1();
}
