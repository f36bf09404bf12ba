#include "IniFile.h"

#include "JotterlyError.h"

#include <QFile>
#include <QSaveFile>

#include <SimpleIni.h>

namespace IniFile {
namespace {

// Loads the file into a fresh parser; a missing or unreadable file gives an empty one.
void load(const QString &path, CSimpleIniA &ini)
{
    ini.SetUnicode(true);
    ini.SetSpaces(false);
    ini.SetMultiKey(false);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = file.readAll();
    ini.LoadData(data.constData(), static_cast<size_t>(data.size()));
}

bool readRaw(const QString &path, const QString &section, const QString &key, QString &value)
{
    CSimpleIniA ini;
    load(path, ini);
    const char *raw = ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
    if (!raw)
        return false;
    value = QString::fromUtf8(raw);
    return true;
}

void writeRaw(const QString &path, const QString &section, const std::vector<std::pair<QString, QString>> &values)
{
    CSimpleIniA ini;
    load(path, ini);
    const QByteArray sectionUtf8 = section.toUtf8();
    for (const auto &[key, value] : values) {
        if (ini.SetValue(sectionUtf8.constData(), key.toUtf8().constData(), value.toUtf8().constData()) < 0)
            throw JotterlyError(QStringLiteral("Unable to write to %1").arg(path));
    }
    std::string text;
    if (ini.Save(text) < 0)
        throw JotterlyError(QStringLiteral("Unable to write to %1").arg(path));

    // Write beside the file and rename over it, so a crash never leaves half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())
        || !file.commit())
        throw JotterlyError(QStringLiteral("Unable to write to %1").arg(path));
}

} // namespace

bool ParseInteger(const QString &text, int &value)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    int parsed = 0;
    if (trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        parsed = static_cast<int>(trimmed.mid(2).toUInt(&ok, 16));
    else
        parsed = trimmed.toInt(&ok, 10);
    if (ok)
        value = parsed;
    return ok;
}

bool ReadBool(const QString &path, const QString &section, const QString &key, bool defaultValue)
{
    return ReadInteger(path, section, key, defaultValue ? 1 : 0) != 0;
}

int ReadInteger(const QString &path, const QString &section, const QString &key, int defaultValue)
{
    QString raw;
    int value = defaultValue;
    if (readRaw(path, section, key, raw))
        ParseInteger(raw, value);
    return value;
}

QString ReadString(const QString &path, const QString &section, const QString &key, const QString &defaultValue)
{
    QString raw;
    if (!readRaw(path, section, key, raw))
        return defaultValue;
    return raw.left(kMaxTextLength);
}

void WriteBool(const QString &path, const QString &section, const QString &key, bool value)
{
    writeRaw(path, section, {{key, value ? QStringLiteral("1") : QStringLiteral("0")}});
}

void WriteInteger(const QString &path, const QString &section, const QString &key, int value)
{
    writeRaw(path, section, {{key, QString::number(value)}});
}

void WriteIntegers(const QString &path, const QString &section, const std::vector<std::pair<QString, int>> &values)
{
    std::vector<std::pair<QString, QString>> texts;
    texts.reserve(values.size());
    for (const auto &[key, value] : values)
        texts.emplace_back(key, QString::number(value));
    writeRaw(path, section, texts);
}

void WriteString(const QString &path, const QString &section, const QString &key, const QString &value)
{
    writeRaw(path, section, {{key, value}});
}

} // namespace IniFile
