// Tests of the interchange dialogs, offscreen: the Confirm Replace dialog (TReplaceAskDlg),
// the real file dialogs, and DialogQuestions, which answers the engine's questions with
// them (one replace dialog per restore, the name chosen last offered again). The engine's
// own tests, without a screen, are in tst_dmio.
#include "Boxes.h"
#include "DialogQuestions.h"
#include "Dlg_ReplaceAsk.h"
#include "Dm_Io.h"
#include "FileDialogs.h"
#include "InterchangeFixture.h"
#include "InterchangeFormat.h"
#include "InterchangeQuestions.h"
#include "OleDateTime.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "pU_XmlTry.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestInterchangeDialogs : public QObject, private InterchangeFixture
{
    Q_OBJECT

    void addMemo(const QByteArray &mid, const QByteArray &content)
    {
        SqlQuery query(*db);
        OpenSql(query, QStringLiteral("select * from memos where 1=0"));
        query.insert();
        query.setText("mid", mid);
        query.setText("pid", "root");
        query.setText("content", content);
        query.setDateTime("assignTime", 39512.5);
        query.setDateTime("createTime", 39512.5);
        query.setDateTime("editTime", 39512.5);
        query.post();
    }

    // An interchange file with top-level memos of the given ids, each with the text "file".
    QString writeDocument(const QString &name, const QList<QByteArray> &mids)
    {
        Txmltry xml;
        Interchange::StartDocument(xml, kVersion);
        pugi::xml_node memos = xml.FindNode("brivel,memos");
        for (const QByteArray &mid : mids) {
            pugi::xml_node memo = memos.append_child("memo");
            for (const auto &[attribute, value] :
                 {std::pair{"mid", mid.constData()}, std::pair{"pid", "root"}, std::pair{"content", "file"},
                  std::pair{"assign-time", "2008-03-05T14:07:09.000Z"},
                  std::pair{"create-time", "2008-03-05T14:07:09.000Z"},
                  std::pair{"edit-time", "2008-03-05T14:07:09.000Z"}})
                memo.append_attribute(attribute).set_value(value);
        }
        const QString file = path(name);
        xml.SaveToFile(file);
        return file;
    }

    static QList<TReplaceAskDlg *> replaceDialogs()
    {
        QList<TReplaceAskDlg *> found;
        for (QWidget *widget : QApplication::allWidgets()) {
            if (auto *dialog = qobject_cast<TReplaceAskDlg *>(widget))
                found << dialog;
        }
        return found;
    }

private slots:
    void init() { openFixture(); }

    void cleanup()
    {
        FileDialogs::setPresenter({});
        closeFixture();
    }

    void dialogOffersTheNameChosenLast()
    {
        addMemo("{A}", "stored");
        const QString file = writeDocument("other.qzx", {"{N}"});
        QList<FileDialogs::Request> dialogs;
        QList<FileDialogs::Kind> dialogKinds;
        QString nextFile; // empty cancels
        FileDialogs::setPresenter([&](FileDialogs::Kind kind, const FileDialogs::Request &request, QWidget *parent) {
            dialogKinds << kind;
            dialogs << request;
            return parent ? nextFile : QStringLiteral("no parent");
        });
        QWidget window;
        DialogQuestions questions(&window);
        TIoDm io(*db, kVersion, questions);
        QVERIFY(!io.Backup());
        QVERIFY(!io.Restore());
        QVERIFY(!io.Import());
        QCOMPARE(dialogs.size(), 3);
        QCOMPARE(dialogKinds,
                 QList<FileDialogs::Kind>({FileDialogs::Kind::Save, FileDialogs::Kind::Open, FileDialogs::Kind::Open}));
        QCOMPARE(dialogs[0].filter, QStringLiteral("Brivel Database,  (*.qzx)|*.qzx"));
        QCOMPARE(dialogs[1].filter, QStringLiteral("Brivel Database, (*.qzx)|*.qzx"));
        QCOMPARE(boxes, QStringList());

        // A dialog offers the name chosen in it last, like a dialog component keeps it.
        nextFile = file;
        QVERIFY(io.Restore()); // {N} is not stored: nothing is asked
        nextFile.clear();
        QVERIFY(!io.Import());
        QCOMPARE(dialogs.last().startPath, file);
        QVERIFY(dialogs[0].startPath.isEmpty()); // nothing was ever chosen in ExportDialog
        QCOMPARE(boxes, QStringList());
    }

    void replaceDialogMadeOncePerRestore()
    {
        addMemo("{A}", "stored A");
        addMemo("{B}", "stored B");
        const QString file = writeDocument("restore.qzx", {"{A}", "{B}"});
        QWidget window;
        DialogQuestions questions(&window);
        TIoDm io(*db, kVersion, questions);
        QList<TReplaceAskDlg *> asking;
        QPointer<TReplaceAskDlg> first;
        QList<bool> firstAlive; // at each question: the dialog of the first one still exists
        QStringList titles;
        QTimer answerYes;
        connect(&answerYes, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<TReplaceAskDlg *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            if (asking.isEmpty())
                first = dialog;
            asking << dialog;
            firstAlive << !first.isNull();
            QCOMPARE(dialog->parentWidget(), &window);
            titles << dialog->Label_oldTitle->text();
            dialog->Button1->click();
        });
        answerYes.start(10);
        QVERIFY(io.RestoreFrom(file));
        answerYes.stop();
        QCOMPARE(boxes, QStringList());
        QCOMPARE(titles, QStringList({"stored A", "stored B"}));
        // Both questions came from one dialog, owned by the window while it lived, and the
        // restore freed it at its end.
        QCOMPARE(asking.size(), 2);
        QCOMPARE(asking[0], asking[1]);
        QCOMPARE(firstAlive, QList<bool>({true, true}));
        QVERIFY(first.isNull());
        QVERIFY(replaceDialogs().isEmpty());
    }

    void realFileDialogs_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("ExportDialog") << true;
        QTest::newRow("OpenDialog1") << false;
    }
    void realFileDialogs()
    {
        QFETCH(bool, save);
        FileDialogs::setPresenter({}); // the real dialogs
        DialogQuestions questions;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        QStringList filters;
        QString suffix;
        bool confirmsOverwrite = false;
        QFileDialog::FileMode fileMode = QFileDialog::ExistingFile;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            mode = dialog->acceptMode();
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            fileMode = dialog->fileMode();
            dialog->reject();
        });
        const QString chosen = save ? questions.saveFileName(Interchange::ExportDialog())
                                    : questions.openFileName(Interchange::OpenDialog1());
        QVERIFY(chosen.isEmpty()); // cancelled
        QCOMPARE(mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        QCOMPARE(filters, QStringList{"Brivel Database, (*.qzx)"}); // Qt shows runs of blanks as one
        QCOMPARE(suffix, QStringLiteral("qzx"));
        QVERIFY(confirmsOverwrite);
        QCOMPARE(fileMode, QFileDialog::AnyFile); // a missing name fails when it is read
    }

    void replaceDialogLayout()
    {
        TReplaceAskDlg dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Confirm Replace"));
        QCOMPARE(dialog.size(), QSize(463, 250));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.Label_Caption->pos(), QPoint(56, 24));
        QCOMPARE(dialog.Label_oldTitle->geometry().topLeft(), QPoint(80, 56));
        QCOMPARE(dialog.Label_oldTitle->width(), 360);
        QCOMPARE(dialog.Label_oldTime->pos(), QPoint(80, 80));
        QCOMPARE(dialog.Label2->pos(), QPoint(56, 104));
        QCOMPARE(dialog.Label2->text(), QStringLiteral("with this one?"));
        QCOMPARE(dialog.Label_newTitle->pos(), QPoint(80, 144));
        QCOMPARE(dialog.Label_newTitle->width(), 360);
        QCOMPARE(dialog.Label_newTime->pos(), QPoint(80, 168));
        QCOMPARE(dialog.Label_newTitle->palette().color(QPalette::WindowText), QColor(Qt::blue));
        const QList<QPair<QPushButton *, QString>> buttons{{dialog.Button1, "&Yes"},
                                                           {dialog.Button4, "&All"},
                                                           {dialog.Button2, "&No"},
                                                           {dialog.Button3, "A&bort"}};
        int left = 88;
        for (const auto &[button, text] : buttons) {
            QCOMPARE(button->text(), text);
            QCOMPARE(button->geometry(), QRect(left, 200, 75, 25));
            QVERIFY(!button->isDefault() && !button->autoDefault());
            left += 88;
        }
        // Long and markup-like texts stay plain and are cut at the label's edge.
        dialog.setTexts({"Would you like to replace the existing memo", QString(500, 'x'), "modified: now",
                         "<b>bold?</b>", "modified: then"});
        QCOMPARE(dialog.Label_oldTitle->width(), 360);
        QCOMPARE(dialog.Label_newTitle->textFormat(), Qt::PlainText);

        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.Button1->setFocus();
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            order << static_cast<QPushButton *>(QApplication::focusWidget())->text();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, QStringList({"&Yes", "&No", "A&bort", "&All"}));
        dialog.hide();
    }

    void replaceDialogAnswers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<ReplaceAnswer>("expected");
        QTest::newRow("Yes") << "Yes" << ReplaceAnswer::Yes;
        QTest::newRow("All") << "All" << ReplaceAnswer::YesToAll;
        QTest::newRow("No") << "No" << ReplaceAnswer::No;
        QTest::newRow("Abort") << "Abort" << ReplaceAnswer::Abort;
        QTest::newRow("closed by the title bar") << "close" << ReplaceAnswer::Cancel;
        QTest::newRow("Esc and Enter pick nothing, then No") << "keys" << ReplaceAnswer::No;
    }
    void replaceDialogAnswers()
    {
        QFETCH(QString, action);
        QFETCH(ReplaceAnswer, expected);
        const ReplaceAskTexts texts{"Would you like to replace the existing task", "old title", "modified: a",
                                    "new title", "modified: b"};
        QStringList shown;
        bool stillOpenAfterKeys = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<TReplaceAskDlg *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shown << dialog->Label_Caption->text() << dialog->Label_oldTitle->text() << dialog->Label_oldTime->text()
                  << dialog->Label_newTitle->text() << dialog->Label_newTime->text();
            if (action == "Yes")
                dialog->Button1->click();
            else if (action == "All")
                dialog->Button4->click();
            else if (action == "No")
                dialog->Button2->click();
            else if (action == "Abort")
                dialog->Button3->click();
            else if (action == "close")
                dialog->close();
            else {
                QTest::keyClick(dialog->Button1, Qt::Key_Return);
                QTest::keyClick(dialog, Qt::Key_Escape);
                stillOpenAfterKeys = dialog->isVisible();
                dialog->Button2->click();
            }
        });
        DialogQuestions questions;
        QCOMPARE(questions.confirmReplace(texts), expected);
        QCOMPARE(shown, QStringList({texts.caption, texts.oldTitle, texts.oldTime, texts.newTitle, texts.newTime}));
        if (action == "keys")
            QVERIFY(stillOpenAfterKeys);
    }
};

QTEST_MAIN(TestInterchangeDialogs)
#include "tst_interchangedialogs.moc"
