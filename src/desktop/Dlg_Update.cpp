#include "Dlg_Update.h"

#include "Dm_Common.h"
#include "FixedDialog.h"
#include "GeneralErrorHandler.h"
#include "ImageLists.h"
#include "IniFile.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kAnswerAfterMs = 5000;
const QSize kClientSize(577, 181);
} // namespace

TupdateDlg::TupdateDlg(TcommonDm &common, QWidget *parent)
    : QDialog(parent)
    , common(common)
{
    setObjectName(QStringLiteral("updateDlg"));
    setWindowTitle(QStringLiteral("Brivel Update"));
    FixedDialog::setStyle(*this);

    Image1 = new QLabel(this);
    Image1->setPixmap(ImageLists::appIcon().pixmap(32, 32)); // sharp at any scale: the icon picks its size
    Image1->setFixedSize(32, 32);
    Label1 = new QLabel(QStringLiteral("Updates are published on the Brivel website."), this);
    Label2 = new QLabel(
        QStringLiteral("Would you like to see more information about these updates and how to obtain them? "), this);
    Label2->setWordWrap(true);

    btn_Yes = new QPushButton(QStringLiteral("&Yes"), this);
    btn_Yes->setObjectName(QStringLiteral("btn_Yes"));
    QFont bold = btn_Yes->font();
    bold.setBold(true);
    btn_Yes->setFont(bold);
    btn_Yes->setDefault(true);
    btn_No = new QPushButton(QStringLiteral("&No"), this);
    btn_No->setObjectName(QStringLiteral("btn_No"));
    cb_ask = new QCheckBox(QStringLiteral("Do not ask me again."), this);
    cb_ask->setObjectName(QStringLiteral("cb_ask"));
    QPalette blue = cb_ask->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    cb_ask->setPalette(blue);

    connect(btn_Yes, &QPushButton::clicked, this, [this] {
        GeneralErrorHandler::guarded([this] { btn_YesClick(); });
        accept();
    });
    connect(btn_No, &QPushButton::clicked, this, &QDialog::reject);
    GeneralErrorHandler::connectGuarded(cb_ask, &QCheckBox::toggled, this, &TupdateDlg::cb_askClick);
    Timer1.setSingleShot(true);
    Timer1.setInterval(kAnswerAfterMs);
    connect(&Timer1, &QTimer::timeout, this, &TupdateDlg::Timer1Timer);

    auto *texts = new QGridLayout;
    texts->setHorizontalSpacing(16);
    texts->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    texts->addWidget(Label1, 0, 1);
    texts->addWidget(Label2, 1, 1);
    texts->setColumnStretch(1, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(cb_ask);
    bottom->addStretch();
    bottom->addWidget(btn_Yes);
    bottom->addWidget(btn_No);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(texts);
    layout->addStretch();
    layout->addLayout(bottom);
    setFixedSize(kClientSize);
    FixedDialog::centreOnScreen(*this);
    Timer1.start();
}

void TupdateDlg::btn_YesClick()
{
    common.OpenWebSite();
}

void TupdateDlg::cb_askClick()
{
    const bool ask = !cb_ask->isChecked();
    const CommonDmContext &context = common.context();
    if (context.visitWebEn)
        *context.visitWebEn = ask;
    IniFile::WriteBool(context.iniPath, QStringLiteral("option"), QStringLiteral("visitWebEn"), ask);
}

void TupdateDlg::Timer1Timer()
{
    reject();
}
