#include "ImageLists.h"

#include <QFile>
#include <QHash>

namespace ImageLists {
namespace {

constexpr int kHighestIndex = 22;

// Icons are decoded once and shared afterwards: command updates ask for them often.
QIcon load(const QStringList &bases)
{
    static QHash<QStringList, QIcon> cache;
    const auto cached = cache.constFind(bases);
    if (cached != cache.constEnd())
        return *cached;
    QIcon &icon = cache[bases];
    for (const QString &base : bases) {
        for (const QString &suffix : {QStringLiteral(".png"), QStringLiteral("@2x.png")}) {
            const QString path = base + suffix;
            if (QFile::exists(path))
                icon.addFile(path);
        }
    }
    return icon;
}

QString indexedBase(int size, int index)
{
    return QStringLiteral(":/icons/%1/%2").arg(size).arg(index, 2, 10, QLatin1Char('0'));
}

QIcon indexed(int size, int index)
{
    return load({indexedBase(size, index)});
}

} // namespace

QIcon icon16(int index)
{
    return indexed(16, index);
}

QIcon icon22(int index)
{
    return indexed(22, index);
}

QIcon commandIcon(int index)
{
    return load({indexedBase(16, index), indexedBase(22, index)});
}

QVector<QIcon> list16()
{
    QVector<QIcon> list;
    for (int i = 0; i <= kHighestIndex; ++i)
        list.append(icon16(i));
    return list;
}

QIcon trayIcon()
{
    QIcon icon;
    // Tray hosts ask for 16 to 48 px, and twice that on high-DPI panels.
    for (int size : {16, 22, 32, 44, 48, 64, 96}) {
        const QString path = QStringLiteral(":/icons/tray/tray-%1.png").arg(size);
        if (QFile::exists(path))
            icon.addFile(path);
    }
    return icon;
}

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString path = QStringLiteral(":/icons/app/appIcon-%1.png").arg(size);
        if (QFile::exists(path))
            icon.addFile(path);
    }
    return icon;
}

QIcon statusImage()
{
    return load({QStringLiteral(":/icons/status/statusImage")});
}

} // namespace ImageLists
