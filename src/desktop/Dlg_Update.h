// The update reminder: asks whether to open the web site where updates are published,
// answers No by itself five seconds after it was made, and can switch itself off.
#pragma once

#include <QDialog>
#include <QTimer>

class QCheckBox;
class QLabel;
class QPushButton;
class TcommonDm;

class TupdateDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TupdateDlg(TcommonDm &common, QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *btn_Yes = nullptr;
    QPushButton *btn_No = nullptr;
    QCheckBox *cb_ask = nullptr;
    QTimer Timer1; // running from creation; the check box does not stop it

    void btn_YesClick();
    // On every change: the reminder in force and [option] visitWebEn follow the box.
    void cb_askClick();
    void Timer1Timer();

private:
    TcommonDm &common;
};
