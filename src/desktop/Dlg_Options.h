// The Options dialog: start at login, run minimized and add a new memo whenever the
// window opens. It opens with the values in force; OK puts them in force, stores the two
// options and makes or removes the start entry; Cancel changes nothing.
#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;
class TcommonDm;

class TOptionsDlg : public QDialog
{
    Q_OBJECT
public:
    TOptionsDlg(TcommonDm &common, QWidget *parent = nullptr);

    QCheckBox *cb_AutoStart = nullptr;
    QCheckBox *cb_AutoMinimized = nullptr;
    QCheckBox *cb_AddOpen = nullptr;
    QPushButton *Btn_Ok = nullptr;
    QPushButton *Btn_Cancel = nullptr;

    // The OK button's handler: the values in force first, then [option] runMinimizedEn and
    // addOpenEn, then the start entry. A configuration write that fails stops there.
    void Btn_OkClick();

private:
    TcommonDm &common;
};
