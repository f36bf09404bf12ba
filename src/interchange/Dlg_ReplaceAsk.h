// TReplaceAskDlg: the "Confirm Replace" dialog of the restore, which shows a stored record
// and the record from the file and asks whether to replace the one by the other. Restore
// asks through ReplaceAsker, whose answers tests script without showing the dialog.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;

enum class ReplaceAnswer { Yes, YesToAll, No, Abort, Cancel };

// What the dialog shows for one record: the caption label, and the title (content on one
// line) and time label of the stored record and of the record from the file.
struct ReplaceAskTexts
{
    QString caption;
    QString oldTitle;
    QString oldTime;
    QString newTitle;
    QString newTime;
};

class TReplaceAskDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TReplaceAskDlg(QWidget *parent = nullptr);

    // Fills the labels; titles longer than their 360 pixels are cut off at the edge.
    void setTexts(const ReplaceAskTexts &texts);

    // Shows the dialog modally, centred on the screen. Closing it by its title bar gives
    // Cancel; Enter and Esc pick nothing.
    ReplaceAnswer ask();

    QLabel *Label_Caption = nullptr;
    QLabel *Label_oldTitle = nullptr;
    QLabel *Label_oldTime = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label_newTitle = nullptr;
    QLabel *Label_newTime = nullptr;
    QPushButton *Button1 = nullptr; // Yes
    QPushButton *Button4 = nullptr; // All
    QPushButton *Button2 = nullptr; // No
    QPushButton *Button3 = nullptr; // Abort

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *addButton(const QString &caption, int left, ReplaceAnswer answer);
    QLabel *addLabel(int left, int top, bool titleLabel);

    ReplaceAnswer answer = ReplaceAnswer::Cancel;
};

// Asks about one record at a time during one restore. The real dialog is made at the first
// question and used for every further one; an installed ask function replaces it.
class ReplaceAsker
{
public:
    using AskFunction = std::function<ReplaceAnswer(const ReplaceAskTexts &texts)>;

    explicit ReplaceAsker(QWidget *dialogParent);
    ~ReplaceAsker();
    ReplaceAsker(const ReplaceAsker &) = delete;
    ReplaceAsker &operator=(const ReplaceAsker &) = delete;

    ReplaceAnswer ask(const ReplaceAskTexts &texts);

    // Installs the function that answers instead of the dialog (tests); an empty one brings
    // the dialog back. Returns the previous function.
    static AskFunction setAskFunction(AskFunction function);

private:
    QWidget *parent;
    std::unique_ptr<TReplaceAskDlg> dialog;
};
