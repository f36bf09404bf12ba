// Living in the notification area: the tray icon against a fake tray service, the
// window placement, the start entry, the Options dialog and the web commands; the update
// reminder, F1 help and the About box.
#include "AutoStartEntry.h"
#include "Boxes.h"
#include "Dlg_About.h"
#include "Dlg_Options.h"
#include "Dlg_Update.h"
#include "Dm_Common.h"
#include "Fm_Main.h"
#include "HelpContext.h"
#include "IniFile.h"
#include "Messages.h"
#include "OleDateTime.h"
#include "TQZHHComp.h"
#include "TQzFormState.h"
#include "TQzTrayIcon.h"
#include "TrayBackend.h"
#include "WindowPlacement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <QWindow>

namespace {

struct Balloon
{
    QString title, text;
    int kind, ms;
};

// The tray service, recording what it is handed; it refuses on request.
class FakeTray : public TrayBackend
{
public:
    bool available = true, refuseAdd = false, refuseModify = false;
    QString tip;
    QList<Balloon> balloons;

    bool isAvailable() const override { return available; }
    bool add(const QIcon &, const QString &t) override { return !refuseAdd && take(t); }
    bool modify(const QIcon &, const QString &t) override { return !refuseModify && take(t); }
    void remove() override {}
    void setMenu(QMenu *) override {}
    void showBalloon(const QString &title, const QString &text, int kind, int ms) override
    {
        balloons.append({title, text, kind, ms});
    }

private:
    bool take(const QString &t)
    {
        tip = t;
        return true;
    }
};

// A window that counts the closes reaching it, with its tray icon over a fake service.
struct TrayFixture
{
    struct Window : QWidget
    {
        int closes = 0;
        void closeEvent(QCloseEvent *event) override { ++closes, QWidget::closeEvent(event); }
    } window;
    FakeTray *fake = new FakeTray;
    TQzTrayIcon tray{&window, std::unique_ptr<TrayBackend>(fake)};
};

// A window whose placement is kept in a temporary configuration file.
struct PlacedWindow
{
    QTemporaryDir folder;
    QWidget window;
    TQzFormState state{&window};
    explicit PlacedWindow(const QString &ini = QString())
    {
        state.Section = QStringLiteral("form");
        state.IniPath = ini.isEmpty() ? folder.filePath(QStringLiteral("qzConf.ini")) : ini;
    }
};

struct HideCounter : QObject
{
    int count = 0;
    explicit HideCounter(QWidget &window) { window.installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Hide;
        return false;
    }
};

// The common commands over a temporary configuration file and start entry; pages and
// mail addresses are recorded instead of opened.
struct CommonFixture
{
    QTemporaryDir folder;
    XdgAutoStartEntry entry{QStringLiteral("example.id"), QStringLiteral("Brivel Jotterly"), QStringLiteral("/j"),
                            folder.path()};
    bool runMinimized = false, addOpen = true, visitWebEn = true;
    double visitWeb = 0;
    QList<QUrl> opened;
    CommonDmContext context;
    std::unique_ptr<TcommonDm> common;
    CommonFixture()
    {
        context.iniPath = folder.filePath(QStringLiteral("qzConf.ini"));
        context.runMinimizedEn = &runMinimized;
        context.addOpenEn = &addOpen;
        context.visitWebEn = &visitWebEn;
        context.visitWeb = &visitWeb;
        context.autoStart = &entry;
        context.openUrl = [this](const QUrl &url) { opened << url; };
        common = std::make_unique<TcommonDm>(context);
    }
};

// A close as the window manager's close button asks for it: a close event at the
// native window that did not come from QWindow::close().
void closeButton(QWidget &window)
{
    QCloseEvent close;
    QCoreApplication::sendEvent(window.windowHandle(), &close);
}

// Counts the update reminders posted to it and the keys that reach it.
struct Receiver : QWidget
{
    int reminders = 0, keys = 0;
    bool event(QEvent *event) override
    {
        reminders += event->type() == Msg::UpdateReminder;
        return QWidget::event(event);
    }
    void keyPressEvent(QKeyEvent *event) override { keys += event->key() == Qt::Key_F1; }
};

QIcon colourIcon(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

class TstDesktop : public QObject
{
    Q_OBJECT
    QStringList boxes;

private slots:
    void init()
    {
        boxes.clear();
        Boxes::setPresenter([this](const QString &caption, const QString &text, Boxes::Buttons, Boxes::Icon) {
            boxes << caption + QStringLiteral(": ") + text;
            return static_cast<int>(Boxes::IdOk);
        });
    }

    // --- tray icon -----------------------------------------------------------------------

    void closeAndMinimizeGoToTheTray_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("toTray"); // CloseToTray or MinimizeToTray, as the action asks
        QTest::addColumn<bool>("host");
        QTest::addColumn<bool>("hiddenToTray");
        QTest::newRow("close button hides") << "close" << true << true << true << true;
        QTest::newRow("close without a tray host closes") << "close" << true << true << false << false;
        QTest::newRow("close while not active closes") << "close" << false << true << true << false;
        QTest::newRow("close with CloseToTray off closes") << "close" << true << false << true << false;
        QTest::newRow("the program's own close is no tray close") << "close()" << true << true << true << false;
        QTest::newRow("minimize hides") << "minimize" << true << true << true << true;
        QTest::newRow("minimize without a tray host minimizes") << "minimize" << true << true << false << false;
        QTest::newRow("minimize with MinimizeToTray off minimizes") << "minimize" << true << false << true << false;
        QTest::newRow("first seen minimized goes to the tray") << "start minimized" << true << false << true << true;
    }
    void closeAndMinimizeGoToTheTray()
    {
        QFETCH(QString, action);
        QFETCH(bool, active);
        QFETCH(bool, toTray);
        QFETCH(bool, host);
        QFETCH(bool, hiddenToTray);
        TrayFixture f;
        auto &[window, fake, tray] = f;
        fake->available = host;
        tray.CloseToTray = toTray;
        tray.MinimizeToTray = toTray;
        int minimizes = 0;
        tray.OnMinimize = [&] { ++minimizes; };
        tray.Loaded();
        tray.setActive(active);
        if (action == QLatin1String("start minimized")) {
            window.showMinimized();
        } else {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        if (action == QLatin1String("close"))
            closeButton(window);
        else if (action == QLatin1String("close()"))
            window.close();
        else if (action == QLatin1String("minimize"))
            window.showMinimized();
        QCoreApplication::processEvents();

        const bool closing = action.startsWith(QLatin1String("close"));
        QCOMPARE(window.closes, closing && !hiddenToTray ? 1 : 0);
        if (hiddenToTray) {
            QVERIFY(!window.isVisible());
            QVERIFY(tray.isInTray());
            tray.Restore(); // comes back in its normal state
            QVERIFY(window.isVisible());
            QVERIFY(!window.isMinimized());
        } else if (!closing) {
            QVERIFY(window.isMinimized());
        }
        QCOMPARE(minimizes, action == QLatin1String("minimize") ? 1 : 0);
    }

    void textsAreCut()
    {
        TrayFixture f;
        auto &[window, fake, tray] = f;
        tray.Loaded();
        tray.setHint(QString(200, QLatin1Char('h')));
        QCOMPARE(fake->tip, QString(127, QLatin1Char('h')));
        tray.setShowHint(false);
        QCOMPARE(fake->tip, QString());
        tray.ShowBalloonHint(QString(80, QLatin1Char('t')), QString(300, QLatin1Char('x')), 1, 10);
        QCOMPARE(fake->balloons.size(), 1);
        QCOMPARE(fake->balloons[0].title.size(), 63);
        QCOMPARE(fake->balloons[0].text.size(), 255);
        QCOMPARE(fake->balloons[0].ms, 10000);
    }

    void serviceFailuresAreShown_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("expected");
        QTest::newRow("add refused") << "add"
                                     << "AddToTray can not add icon to the tray";
        QTest::newRow("icon refresh refused") << "icon"
                                              << "ResetIcon Error";
        QTest::newRow("tip refused") << "hint"
                                     << "SetHint Error";
        QTest::newRow("no image list") << "index"
                                       << "SetImageIndex: No image list assigned";
    }
    void serviceFailuresAreShown()
    {
        QFETCH(QString, failure);
        QFETCH(QString, expected);
        TrayFixture f;
        auto &[window, fake, tray] = f;
        fake->refuseAdd = failure == QLatin1String("add");
        tray.Loaded();
        QCOMPARE(tray.isInTray(), failure != QLatin1String("add"));
        fake->refuseModify = true;
        if (failure == QLatin1String("icon"))
            tray.setIcon(colourIcon(Qt::red));
        else if (failure == QLatin1String("hint"))
            tray.setHint(QStringLiteral("new tip"));
        else if (failure == QLatin1String("index"))
            tray.setImageIndex(1);
        QCOMPARE(boxes, QStringList{QStringLiteral("Brivel TrayIcon Error: ") + expected});
    }

    // The main window: one balloon an hour, none at exit, the placement written.
    void mainWindowBalloonAndExit()
    {
        QTemporaryDir folder;
        const QString dir = folder.path() + QLatin1Char('/');
        auto *fake = new FakeTray;
        TmainFm window(AppPaths{dir, dir}, nullptr, std::unique_ptr<TrayBackend>(fake));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(fake->tip, QStringLiteral("Brivel Jotterly"));
        for (int hide = 0; hide < 2; ++hide) {
            closeButton(window);
            QCoreApplication::processEvents();
            QVERIFY(!window.isVisible());
            window.QzTrayIcon1->Restore();
        }
        QCOMPARE(fake->balloons.size(), 1); // twice within the hour
        QCOMPARE(fake->balloons[0].title, QStringLiteral("Brivel Jotterly"));
        QCOMPARE(fake->balloons[0].text, QStringLiteral("Click here to open!"));
        QCOMPARE(fake->balloons[0].kind, 1);
        window.Timer_balloon.stop(); // as if the hour had passed
        closeButton(window);
        QCOMPARE(fake->balloons.size(), 2);
        window.QzTrayIcon1->Restore();
        window.Action_ExitExecute();
        QCOMPARE(fake->balloons.size(), 2);
        QCOMPARE(IniFile::ReadInteger(dir + QStringLiteral("qzConf.ini"), QStringLiteral("form"),
                                      QStringLiteral("Saved"), 0),
                 1);
        QVERIFY2(boxes.filter(QStringLiteral("TrayIcon")).isEmpty(), qPrintable(boxes.join(QLatin1Char('\n'))));
        // The first start wrote the moment of the visit the reminder counts from.
        QVERIFY(!IniFile::ReadString(dir + QStringLiteral("qzConf.ini"), QStringLiteral("option"),
                                     QStringLiteral("visitWeb"), {})
                     .isEmpty());
    }

    // --- window placement ----------------------------------------------------------------

    void restoredNormalRect_data()
    {
        QTest::addColumn<QList<int>>("stored"); // left, top, right, bottom; -1 for missing
        QTest::addColumn<bool>("sizeable");
        QTest::addColumn<bool>("onScreen");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("all keys") << QList<int>{10, 20, 410, 520} << true << true << QRect(10, 20, 400, 500);
        QTest::newRow("no right and bottom: current size")
            << QList<int>{10, 20, -1, -1} << true << true << QRect(10, 20, 371, 480);
        QTest::newRow("fixed border keeps its size")
            << QList<int>{10, 20, 410, 520} << false << true << QRect(10, 20, 371, 480);
        QTest::newRow("on no screen: to the corner")
            << QList<int>{3000, 2000, 3400, 2500} << true << false << QRect(0, 0, 400, 500);
        QTest::newRow("edges in the wrong order keep the size")
            << QList<int>{500, 500, 100, 100} << true << true << QRect(500, 500, 371, 480);
        QTest::newRow("nothing stored") << QList<int>{-1, -1, -1, -1} << true << true << QRect(648, 252, 371, 480);
    }
    void restoredNormalRect()
    {
        QFETCH(QList<int>, stored);
        QFETCH(bool, sizeable);
        QFETCH(bool, onScreen);
        QFETCH(QRect, expected);
        const auto key = [&](int i) { return stored[i] < 0 ? std::nullopt : std::optional<int>(stored[i]); };
        const WindowPlacement::StoredPlacement placement{key(0), key(1), key(2), key(3)};
        QCOMPARE(WindowPlacement::restoredNormalRect(placement, QRect(648, 252, 371, 480), sizeable,
                                                     [onScreen](const QPoint &) { return onScreen; }),
                 expected);
    }

    void placementKeys_data()
    {
        QTest::addColumn<bool>("sizeable");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("sizeable") << true << QStringList{"Maximized", "Left", "Top", "Right", "Bottom", "Saved"};
        QTest::newRow("fixed border") << false << QStringList{"Maximized", "Left", "Top", "Saved"};
    }
    void placementKeys()
    {
        QFETCH(bool, sizeable);
        QFETCH(QStringList, keys);
        PlacedWindow f;
        f.window.setGeometry(100, 120, 300, 200);
        if (!sizeable)
            f.window.setFixedSize(300, 200);
        int saves = 0;
        f.state.OnSaveState = [&] { ++saves; };
        f.window.show();
        f.state.SaveState();
        QFile file(f.state.IniPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList written;
        for (const QByteArray &line : file.readAll().split('\n'))
            if (line.contains('='))
                written << QString::fromUtf8(line.left(line.indexOf('=')));
        QCOMPARE(written, keys);
        QCOMPARE(saves, 1);
        // Restored on the next show, wherever the window has gone meanwhile.
        f.window.hide();
        f.window.move(10, 10);
        f.window.show();
        QCOMPARE(f.window.geometry().topLeft(), QPoint(100, 120));
    }

    void maximizedComesBackOverItsNormalRect()
    {
        PlacedWindow first;
        first.window.setGeometry(100, 120, 300, 200);
        first.window.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&first.window));
        first.window.close();
        PlacedWindow again(first.state.IniPath);
        again.window.show();
        QVERIFY(again.window.isMaximized());
        QCOMPARE(again.window.normalGeometry(), QRect(100, 120, 300, 200));
    }

    void unwritableFileStopsTheSaveOnce()
    {
        PlacedWindow f;
        QVERIFY(QDir(f.folder.path()).mkdir(QStringLiteral("qzConf.ini"))); // no file can go there
        int saves = 0;
        f.state.OnSaveState = [&] { ++saves; };
        f.state.SaveState();
        QCOMPARE(boxes.size(), 1); // the keys after the failing one are not tried
        QVERIFY(boxes[0].contains(QStringLiteral("Unable to write to")));
        QCOMPARE(saves, 1);
    }

    // --- start entry, options, web commands ----------------------------------------------

    void autoStartEntryIsMadeOnlyWhenMissing()
    {
        QTemporaryDir home;
        // Blanks call for quotes, a $ for a backslash that the file's own escaping doubles.
        XdgAutoStartEntry entry(QStringLiteral("example.id"), QStringLiteral("Brivel Jotterly"),
                                QStringLiteral("/a b/$jotterly"), home.path());
        QVERIFY(entry.filePath().endsWith(QStringLiteral("/autostart/example.id.desktop")));
        entry.make();
        QVERIFY(entry.exists());
        QFile file(entry.filePath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.readAll().contains("Icon=example.id\nExec=\"/a b/\\\\$jotterly\"\n"));
        file.resize(0);
        file.write("[Desktop Entry]\nExec=/elsewhere/jotterly\n");
        file.close();
        entry.make(); // an existing entry stays as it is
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[Desktop Entry]\nExec=/elsewhere/jotterly\n"));
        file.close();
        entry.remove();
        QVERIFY(!entry.exists());
        // The entry of an earlier version, named after the program, is the entry too.
        QFile earlier(home.filePath(QStringLiteral("autostart/Brivel Jotterly.desktop")));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.close();
        QVERIFY(entry.exists());
        entry.remove();
        QVERIFY(!entry.exists() && !earlier.exists());
        // A folder that cannot be made: nothing happens, nothing is said.
        QFile blocker(home.filePath(QStringLiteral("blocked")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        XdgAutoStartEntry blocked(QStringLiteral("example.id"), QStringLiteral("Brivel Jotterly"), QStringLiteral("/j"),
                                  blocker.fileName());
        blocked.make();
        QVERIFY(!blocked.exists());
    }

    void optionsDialog_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK stores and puts in force") << true;
        QTest::newRow("Cancel changes nothing") << false;
    }
    void optionsDialog()
    {
        QFETCH(bool, ok);
        CommonFixture f;
        TOptionsDlg dialog(*f.common);
        QVERIFY(!dialog.cb_AutoStart->isChecked() && !dialog.cb_AutoMinimized->isChecked());
        QVERIFY(dialog.cb_AddOpen->isChecked());
        for (QCheckBox *box : {dialog.cb_AutoStart, dialog.cb_AutoMinimized, dialog.cb_AddOpen})
            box->toggle();
        dialog.show();
        QTest::mouseClick(ok ? dialog.Btn_Ok : dialog.Btn_Cancel, Qt::LeftButton);
        QCOMPARE(f.runMinimized, ok);
        QCOMPARE(f.addOpen, !ok);
        QCOMPARE(f.entry.exists(), ok);
        const QString ini = f.context.iniPath, option = QStringLiteral("option");
        QCOMPARE(IniFile::ReadString(ini, option, QStringLiteral("runMinimizedEn"), {}), ok ? "1" : "");
        QCOMPARE(IniFile::ReadString(ini, option, QStringLiteral("addOpenEn"), {}), ok ? "0" : "");
    }

    void webCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("recordsVisit");
        QTest::newRow("visit web site") << "Action_Website"
                                        << "https://www.brivel.example/index.htm" << true;
        QTest::newRow("check for update") << "Action_Update"
                                          << "https://www.brivel.example/index.htm" << true;
        QTest::newRow("contact support") << "Action_Contact"
                                         << "mailto:support@brivel.example" << false;
        QTest::newRow("suggestion") << "Action_Suggestion"
                                    << "mailto:support@brivel.example" << false;
    }
    void webCommands()
    {
        QFETCH(QString, command);
        QFETCH(QString, url);
        QFETCH(bool, recordsVisit);
        CommonFixture f;
        f.common->findChild<QAction *>(command)->trigger();
        QCOMPARE(f.opened, QList<QUrl>{QUrl(url)});
        const QString visit = IniFile::ReadString(f.context.iniPath, QStringLiteral("option"),
                                                  QStringLiteral("visitWeb"), {});
        QCOMPARE(!visit.isEmpty(), recordsVisit);
    }

    // Stay on top twice: back to the normal style, at the same place and size, never
    // hidden meanwhile.
    void stayOnTopTwice()
    {
        CommonFixture f;
        PlacedWindow placed(f.context.iniPath);
        f.context.mainWindow = &placed.window;
        f.context.formState = &placed.state;
        TcommonDm common(f.context);
        placed.window.setGeometry(100, 120, 300, 200);
        placed.window.show();
        HideCounter hides(placed.window); // a hide and show would add a memo to the main window
        for (bool onTop : {true, false}) {
            common.Action_UiStayOnTop->trigger();
            QCOMPARE(hides.count, 0);
            QCOMPARE(placed.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
            QVERIFY(placed.window.isVisible());
            QCOMPARE(placed.window.geometry(), QRect(100, 120, 300, 200));
        }
    }

    // --- update reminder, help, About ----------------------------------------------------

    void updateReminderAtFirstShow_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<double>("daysAgo");
        QTest::addColumn<bool>("reminds");
        QTest::newRow("90 days 23 hours") << true << 90 + 23 / 24.0 << false;
        QTest::newRow("91 days") << true << 91.0 << true;
        QTest::newRow("91 days ahead") << true << -91.01 << true; // the test takes a moment itself
        QTest::newRow("switched off") << false << 400.0 << false;
    }
    void updateReminderAtFirstShow()
    {
        QFETCH(bool, enabled);
        QFETCH(double, daysAgo);
        QFETCH(bool, reminds);
        CommonFixture f;
        Receiver window;
        f.context.mainWindow = &window;
        f.runMinimized = true;
        f.visitWebEn = enabled;
        f.visitWeb = OleDateTime::now() - daysAgo;
        TcommonDm common(f.context);
        common.FirstShowSteps();
        QCoreApplication::sendPostedEvents(&window);
        QCOMPARE(window.reminders, reminds ? 1 : 0);
        QCOMPARE(f.runMinimized, !reminds); // a reminded start stays in sight
        // ... but the option stays on: Options shows it checked, so OK keeps it.
        TOptionsDlg options(common);
        QVERIFY(options.cb_AutoMinimized->isChecked());
    }

    // The box writes visitWebEn at every change; the dialog answers No after its time
    // whatever the box does, and records no visit.
    void updateDialog()
    {
        CommonFixture f;
        const auto stored = [&](const char *key) {
            return IniFile::ReadString(f.context.iniPath, QStringLiteral("option"), QLatin1String(key), {});
        };
        TupdateDlg dialog(*f.common);
        dialog.Timer1.setInterval(200);
        dialog.cb_ask->click();
        QCOMPARE(stored("visitWebEn"), QStringLiteral("0"));
        QVERIFY(!f.visitWebEn);
        dialog.cb_ask->click();
        QCOMPARE(stored("visitWebEn"), QStringLiteral("1"));
        QVERIFY(f.visitWebEn);
        QSignalSpy finished(&dialog, &QDialog::finished);
        QVERIFY(finished.wait(2000));
        QCOMPARE(finished.at(0).at(0).toInt(), int(QDialog::Rejected));
        QVERIFY(stored("visitWeb").isEmpty());
    }

    // F1 with no modifier opens the topic of the focused control, else of its holder, else
    // of the window; it goes no further, also without a help file.
    void contextHelp_data()
    {
        QTest::addColumn<QVector<int>>("contexts"); // focused, holder, window
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("helpFile");
        QTest::addColumn<QString>("opened"); // the topic's anchor; "-" when F1 reaches the control
        QTest::newRow("focused control") << QVector<int>{9, 7, 5} << 0 << true << "context-9";
        QTest::newRow("its holder") << QVector<int>{0, 7, 5} << 0 << true << "context-7";
        QTest::newRow("the window") << QVector<int>{0, 0, 5} << 0 << true << "context-5";
        QTest::newRow("none: start page") << QVector<int>{0, 0, 0} << 0 << true << "";
        QTest::newRow("Shift") << QVector<int>{9, 7, 5} << int(Qt::ShiftModifier) << true << "-";
        QTest::newRow("Ctrl+Alt") << QVector<int>{9, 7, 5} << int(Qt::ControlModifier | Qt::AltModifier) << true << "-";
        QTest::newRow("no help file") << QVector<int>{9, 7, 5} << 0 << false << "";
    }
    void contextHelp()
    {
        QFETCH(QVector<int>, contexts);
        QFETCH(int, modifiers);
        QFETCH(bool, helpFile);
        QFETCH(QString, opened);
        QTemporaryDir folder;
        QWidget form;
        auto *holder = new QWidget(&form);
        auto *focused = new Receiver;
        focused->setParent(holder);
        focused->setFocusPolicy(Qt::StrongFocus);
        HelpContext::set(focused, contexts[0]);
        HelpContext::set(holder, contexts[1]);
        HelpContext::set(&form, contexts[2]);
        TQZHHComp help(&form);
        if (helpFile) {
            help.HelpFile = folder.filePath(QStringLiteral("index.html"));
            QFile page(help.HelpFile);
            QVERIFY(page.open(QIODevice::WriteOnly));
            page.write("<p><a name=\"context-9\"></a><a name=\"context-7\"></a><a name=\"context-5\"></a>Help</p>");
        }
        help.Loaded();
        form.show();
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_F1, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(focused->keys, opened == QLatin1String("-") ? 1 : 0);
        QCOMPARE(help.helpWindow() != nullptr, helpFile && opened != QLatin1String("-"));
        if (help.helpWindow())
            QCOMPARE(help.helpWindow()->source().fragment(), opened);
    }

    void aboutPicture_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("images") << "images";
        QTest::newRow("Images") << "Images";
        QTest::newRow("missing") << "";
    }
    // The picture is found in either spelling of its folder; a missing one is reported and
    // the box still opens. Its web link records the visit and leaves the box open.
    void aboutPicture()
    {
        QFETCH(QString, folder);
        CommonFixture f;
        const QString exeDir = f.folder.path() + QLatin1Char('/');
        if (!folder.isEmpty()) {
            QDir(exeDir).mkdir(folder);
            QImage(8, 8, QImage::Format_RGB32).save(exeDir + folder + QStringLiteral("/appIcon.png"));
        }
        f.context.exeDir = exeDir;
        f.context.fileVersion = QStringLiteral("1.2.3.4");
        TcommonDm common(f.context);
        TAboutDlg about(common);
        QCOMPARE(boxes.filter(QStringLiteral("appIcon.png")).size(), folder.isEmpty() ? 1 : 0);
        QCOMPARE(!about.Image_App->pixmap().isNull(), !folder.isEmpty());
        QCOMPARE(about.lbl_version->text(), f.context.fileVersion);
        about.show();
        emit about.lbl_web->linkActivated(QStringLiteral("#"));
        QVERIFY(about.isVisible());
        QCOMPARE(f.opened, QList<QUrl>{QUrl(QStringLiteral("https://www.brivel.example/index.htm"))});
    }
};

QTEST_MAIN(TstDesktop)
#include "tst_desktop.moc"
