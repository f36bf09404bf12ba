#include "Dlg_Options.h"

#include "Dm_Common.h"
#include "FixedDialog.h"
#include "GeneralErrorHandler.h"
#include "IniFile.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

TOptionsDlg::TOptionsDlg(TcommonDm &common, QWidget *parent)
    : QDialog(parent)
    , common(common)
{
    setWindowTitle(QStringLiteral("Options"));
    FixedDialog::setStyle(*this);
    const CommonDmContext &context = common.context();
    cb_AutoStart = new QCheckBox(QStringLiteral("Start with Windows"), this);
    cb_AutoStart->setObjectName(QStringLiteral("cb_AutoStart"));
    cb_AutoStart->setChecked(common.IsAutoStartOn());
    cb_AutoMinimized = new QCheckBox(QStringLiteral("Run program minimized"), this);
    cb_AutoMinimized->setObjectName(QStringLiteral("cb_AutoMinimized"));
    cb_AutoMinimized->setChecked(common.RunMinimizedOption());
    cb_AddOpen = new QCheckBox(QStringLiteral("Add new item while open"), this);
    cb_AddOpen->setObjectName(QStringLiteral("cb_AddOpen"));
    cb_AddOpen->setChecked(context.addOpenEn && *context.addOpenEn);

    auto *buttons = new QDialogButtonBox(this);
    Btn_Ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    Btn_Ok->setObjectName(QStringLiteral("Btn_Ok"));
    Btn_Ok->setDefault(true);
    Btn_Cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    // The dialog closes with OK even when the handler failed; its error has been shown.
    connect(Btn_Ok, &QPushButton::clicked, this, [this] {
        GeneralErrorHandler::guarded([this] { Btn_OkClick(); });
        accept();
    });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    for (QCheckBox *box : {cb_AutoStart, cb_AutoMinimized, cb_AddOpen})
        layout->addWidget(box);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FixedDialog::centreOnScreen(*this);
}

void TOptionsDlg::Btn_OkClick()
{
    const CommonDmContext &context = common.context();
    common.SetRunMinimizedOption(cb_AutoMinimized->isChecked());
    if (context.addOpenEn)
        *context.addOpenEn = cb_AddOpen->isChecked();
    IniFile::WriteBool(context.iniPath, QStringLiteral("option"), QStringLiteral("runMinimizedEn"),
                       cb_AutoMinimized->isChecked());
    IniFile::WriteBool(context.iniPath, QStringLiteral("option"), QStringLiteral("addOpenEn"), cb_AddOpen->isChecked());
    common.SetAutoStart(cb_AutoStart->isChecked());
}
