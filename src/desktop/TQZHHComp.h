// Context help for a window. F1 without modifiers opens the help pages, in a help window
// of the program's own, at the topic of the focused control, else of the control that
// holds it, else of the window. It sees F1 only when no menu command holds that key, and
// it takes F1 also when there is no help file, so the key does nothing else. The help
// window goes when the component goes.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QTextBrowser;
class QWidget;

class TQZHHComp : public QObject
{
    Q_OBJECT
public:
    explicit TQZHHComp(QWidget *ownerForm);
    ~TQZHHComp() override;

    QString HelpFile; // a bare file name is taken from the executable's folder

    // Starts watching the owner's keys before its controls see them.
    void Loaded();
    QString helpFilePath() const;
    // The topic F1 would open in the owner now.
    int activeContext() const;
    // Opens the help window at a topic; 0 is the start page.
    void ShowContext(int context);
    QTextBrowser *helpWindow() const;

    // Where a topic is in a help file: the anchor "context-N" of the page.
    static QUrl contextUrl(const QString &helpFile, int context);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *owner;
    QPointer<QTextBrowser> window;
};
