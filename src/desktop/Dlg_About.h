// The About box: the product's name and picture, the file version, and links to the web
// site and to the support and sales addresses. The links leave the box open.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TcommonDm;

class TAboutDlg : public QDialog
{
    Q_OBJECT
public:
    // A missing picture is reported through the general error handler; the box still opens.
    explicit TAboutDlg(TcommonDm &common, QWidget *parent = nullptr);

    QLabel *Image_App = nullptr;
    QLabel *Label_AppName = nullptr;
    QLabel *lbl_version = nullptr;
    QLabel *lbl_web = nullptr;
    QLabel *lbl_support = nullptr;
    QLabel *lbl_Sales = nullptr;
    QPushButton *btn_Close = nullptr;

    void lbl_webClick();
    void lbl_supportClick();
    void lbl_SalesClick();

    // The application picture of an installation: "images/appIcon.png" in the executable's
    // folder, or "Images/appIcon.png" where the file system tells the two apart. Empty when
    // neither exists.
    static QString appPicturePath(const QString &exeDir);

private:
    void FormCreate();
    void loadAppPicture();

    TcommonDm &common;
};
