// Tests of the single-instance guard without a screen: where its lock and socket live
// (never in TMPDIR), and that a guard that cannot be set up is reported and lets the
// program start instead of passing for a running copy.
#include "Boxes.h"
#include "SingleInstance.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

enum class Guard { RuntimeFolder, CacheFallback, CacheUnderAFile, SocketPathTooLong };
Q_DECLARE_METATYPE(Guard)

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    // Every row points XDG_RUNTIME_DIR and XDG_CACHE_HOME at folders of its own; the test
    // folders of QStandardPaths would ignore them.
    void initTestCase() { QStandardPaths::setTestModeEnabled(false); }

    void secondStart_data()
    {
        QTest::addColumn<Guard>("guard");
        QTest::addColumn<bool>("secondFindsFirst");
        QTest::addColumn<QString>("reported"); // part of every box of the first start; empty: none
        QTest::newRow("another TMPDIR still finds the running copy") << Guard::RuntimeFolder << true << "";
        QTest::newRow("without XDG_RUNTIME_DIR: the user's cache, not TMPDIR") << Guard::CacheFallback << true << "";
        QTest::newRow("a lock that cannot be made is reported, not a running copy")
            << Guard::CacheUnderAFile << false << "Brivel-Jotterly-Mutex.lock";
        QTest::newRow("a socket that cannot listen is reported; the lock still guards")
            << Guard::SocketPathTooLong << true << "Cannot listen";
    }
    void secondStart()
    {
        QFETCH(Guard, guard);
        QFETCH(bool, secondFindsFirst);
        QFETCH(QString, reported);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QDir dir(tmp.path());
        QVERIFY(dir.mkdir("tmp1") && dir.mkdir("tmp2"));
        const QString runtime = tmp.filePath(guard == Guard::SocketPathTooLong ? QString(120, 'r') : "run");
        QVERIFY(dir.mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QFile plain(tmp.filePath("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        if (guard == Guard::CacheFallback || guard == Guard::CacheUnderAFile)
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(tmp.filePath(guard == Guard::CacheUnderAFile ? "plain/c" : "c")));

        QStringList boxes;
        Boxes::setPresenter([&boxes](const QString &, const QString &text, Boxes::Buttons, Boxes::Icon) {
            boxes << text;
            return int(Boxes::IdOk);
        });
        qputenv("TMPDIR", QFile::encodeName(tmp.filePath("tmp1")));
        SingleInstance first(QStringLiteral("Brivel Jotterly Lite"));
        QVERIFY(!first.ActivateRunningInstance());
        QCOMPARE(boxes.size(), reported.isEmpty() ? 0 : 1);
        for (const QString &box : boxes)
            QVERIFY2(box.contains(reported), qPrintable(box));

        QSignalSpy raised(&first, &SingleInstance::activationRequested);
        qputenv("TMPDIR", QFile::encodeName(tmp.filePath("tmp2")));
        SingleInstance second(QStringLiteral("Brivel Jotterly Lite"));
        QCOMPARE(second.ActivateRunningInstance(), secondFindsFirst);
        if (guard != Guard::SocketPathTooLong)
            QTRY_COMPARE(raised.size(), secondFindsFirst ? 1 : 0);
        Boxes::setPresenter({});
        for (const char *tmpdir : {"tmp1", "tmp2"})
            QCOMPARE(QDir(tmp.filePath(tmpdir)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
