// What the interchange suites share: a data file in a temporary folder, message boxes
// recorded instead of shown, scripted answers to the interchange questions, and small
// helpers to build times and to read documents and tables back.
#pragma once

#include "Boxes.h"
#include "OleDateTime.h"
#include "ScriptedQuestions.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "pU_XmlTry.h"

#include <QTemporaryDir>
#include <QtTest>

#include <ctime>
#include <memory>

inline const QString kVersion = QStringLiteral("1.0.0.1");

inline TDateTime at(int year, int month, int day, int hour, int minute, int second)
{
    return OleDateTime::encode(QDate(year, month, day), QTime(hour, minute, second));
}

inline void useZone(const QByteArray &zone)
{
    qputenv("TZ", zone);
    tzset();
}

// Every element under the path as "name: attr=value, ..." in document order.
inline QStringList elementsOf(Txmltry &xml, const QString &path)
{
    QStringList result;
    for (pugi::xml_node node : xml.FindNode(path).children()) {
        QStringList attributes;
        for (pugi::xml_attribute attribute : node.attributes())
            attributes << QString::fromUtf8(attribute.name()) + '=' + QString::fromUtf8(attribute.value());
        result << QString::fromUtf8(node.name()) + ": " + attributes.join(", ");
    }
    return result;
}

class InterchangeFixture
{
protected:
    // A fresh data file and box recording; call from each test's init().
    void openFixture()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        db = std::make_unique<SqlConnection>();
        db->open(path("qzData.qzb"));
        boxes.clear();
        scripted.clear();
        Boxes::setPresenter([this](const QString &caption, const QString &text, Boxes::Buttons, Boxes::Icon) {
            boxes << caption + ": " + text;
            return int(Boxes::IdOk);
        });
    }
    // Call from cleanup(): no bulk work may leave a transaction open.
    void closeFixture()
    {
        Boxes::setPresenter({});
        QVERIFY(!db->inTransaction());
        db.reset();
        dir.reset();
    }

    QString path(const QString &name) const { return dir->filePath(name); }

    // One column of a table in row order, as text.
    QStringList column(const QString &table, const QString &name)
    {
        QStringList values;
        SqlQuery query(*db);
        OpenSql(query, QStringLiteral("select %1 from %2 order by rowid").arg(name, table));
        for (; !query.eof(); query.next())
            values << QString::fromUtf8(query.textAt(0));
        return values;
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SqlConnection> db;
    QStringList boxes;
    ScriptedQuestions scripted; // file names, replace answers and what was asked
};
