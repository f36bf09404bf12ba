// TReplaceAskDlg: the "Confirm Replace" dialog of the restore, which shows a stored record
// and the record from the file and asks whether to replace the one by the other. The
// restore asks through InterchangeQuestions; DialogQuestions answers with this dialog.
#pragma once

#include "InterchangeQuestions.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

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
