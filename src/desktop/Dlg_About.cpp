#include "Dlg_About.h"

#include "Dm_Common.h"
#include "FixedDialog.h"
#include "GeneralErrorHandler.h"
#include "JotterlyError.h"
#include "ProductAddresses.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kPictureSize = 65;

QFrame *separatorLine(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// A link label: blue and underlined by the style, the hand over it, reachable by Tab.
QLabel *linkLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()), parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

TAboutDlg::TAboutDlg(TcommonDm &common, QWidget *parent)
    : QDialog(parent)
    , common(common)
{
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QStringLiteral("About..."));
    FixedDialog::setStyle(*this);

    Image_App = new QLabel(this);
    Image_App->setFixedSize(kPictureSize, kPictureSize);
    Label_AppName = new QLabel(this);
    QFont large = Label_AppName->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.6);
    Label_AppName->setFont(large);
    lbl_version = new QLabel(this);
    lbl_version->setObjectName(QStringLiteral("lbl_version"));
    lbl_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbl_web = linkLabel("lbl_web", ProductAddresses::kWebSite, this);
    lbl_support = linkLabel("lbl_support", ProductAddresses::kSupportMail, this);
    lbl_Sales = linkLabel("lbl_Sales", ProductAddresses::kSalesMail, this);
    GeneralErrorHandler::connectGuarded(lbl_web, &QLabel::linkActivated, this, &TAboutDlg::lbl_webClick);
    GeneralErrorHandler::connectGuarded(lbl_support, &QLabel::linkActivated, this, &TAboutDlg::lbl_supportClick);
    GeneralErrorHandler::connectGuarded(lbl_Sales, &QLabel::linkActivated, this, &TAboutDlg::lbl_SalesClick);
    btn_Close = new QPushButton(QStringLiteral("Close"), this);
    btn_Close->setDefault(true);
    connect(btn_Close, &QPushButton::clicked, this, &QDialog::accept);

    auto *head = new QGridLayout;
    head->setHorizontalSpacing(16);
    head->addWidget(Image_App, 0, 0, 2, 1);
    head->addWidget(Label_AppName, 0, 1, Qt::AlignBottom);
    head->addWidget(lbl_version, 1, 1, Qt::AlignTop);
    head->setColumnStretch(1, 1);
    auto *links = new QGridLayout;
    links->setHorizontalSpacing(12);
    const QList<QPair<QString, QLabel *>> rows{{QStringLiteral("Website:"), lbl_web},
                                               {QStringLiteral("Support:"), lbl_support},
                                               {QStringLiteral("Sales:"), lbl_Sales}};
    for (int row = 0; row < rows.size(); ++row) {
        links->addWidget(new QLabel(rows[row].first, this), row, 0);
        links->addWidget(rows[row].second, row, 1);
    }
    links->setColumnStretch(1, 1);
    auto *notice = new QLabel(QStringLiteral("Copyright \u00A9 2026 Brivel Software. All rights reserved."), this);
    auto *closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(btn_Close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->addLayout(head);
    layout->addWidget(separatorLine(this));
    layout->addLayout(links);
    layout->addWidget(separatorLine(this));
    layout->addWidget(notice);
    layout->addWidget(separatorLine(this));
    layout->addLayout(closeRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
    FixedDialog::centreOnScreen(*this);
}

void TAboutDlg::FormCreate()
{
    Label_AppName->setText(QStringLiteral("Brivel Jotterly"));
    GeneralErrorHandler::guarded([this] { loadAppPicture(); });
    lbl_version->setText(common.context().fileVersion);
}

QString TAboutDlg::appPicturePath(const QString &exeDir)
{
    for (const char *folder : {"images/", "Images/"}) {
        const QString path = exeDir + QLatin1String(folder) + QStringLiteral("appIcon.png");
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

void TAboutDlg::loadAppPicture()
{
    const QString exeDir = common.context().exeDir;
    const QString path = appPicturePath(exeDir);
    QPixmap picture;
    if (path.isEmpty() || !picture.load(path))
        throw JotterlyError(QStringLiteral("Cannot load the picture %1")
                                .arg(path.isEmpty() ? exeDir + QStringLiteral("images/appIcon.png") : path));
    // Stretched to the box's size in device pixels, so a large picture stays sharp on
    // a high-DPI screen.
    const qreal ratio = devicePixelRatioF();
    QPixmap shown = picture.scaled(QSize(kPictureSize, kPictureSize) * ratio, Qt::IgnoreAspectRatio,
                                   Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    Image_App->setPixmap(shown);
}

void TAboutDlg::lbl_webClick()
{
    common.OpenWebSite();
}

void TAboutDlg::lbl_supportClick()
{
    common.OpenSupportMail();
}

void TAboutDlg::lbl_SalesClick()
{
    common.OpenSalesMail();
}
