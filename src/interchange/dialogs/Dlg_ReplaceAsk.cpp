#include "Dlg_ReplaceAsk.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kClientWidth = 463;
constexpr int kClientHeight = 250;
constexpr int kTitleWidth = 360;
constexpr int kButtonTop = 200;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

} // namespace

TReplaceAskDlg::TReplaceAskDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Confirm Replace"));
    setFixedSize(kClientWidth, kClientHeight);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(13);
    setFont(tahoma);

    Label_Caption = addLabel(56, 24, false);
    Label_oldTitle = addLabel(80, 56, true);
    Label_oldTime = addLabel(80, 80, false);
    Label2 = addLabel(56, 104, false);
    Label2->setText(QStringLiteral("with this one?"));
    Label2->adjustSize();
    Label_newTitle = addLabel(80, 144, true);
    Label_newTime = addLabel(80, 168, false);

    Button1 = addButton(QStringLiteral("&Yes"), 88, ReplaceAnswer::Yes);
    Button4 = addButton(QStringLiteral("&All"), 176, ReplaceAnswer::YesToAll);
    Button2 = addButton(QStringLiteral("&No"), 264, ReplaceAnswer::No);
    Button3 = addButton(QStringLiteral("A&bort"), 352, ReplaceAnswer::Abort);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);
}

QLabel *TReplaceAskDlg::addLabel(int left, int top, bool titleLabel)
{
    auto *label = new QLabel(this);
    // Memo text is shown as it is, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    if (titleLabel) {
        // Fixed width: a longer text is clipped at the label's edge.
        label->setFixedSize(kTitleWidth, label->fontMetrics().height());
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::blue);
        label->setPalette(palette);
    }
    return label;
}

QPushButton *TReplaceAskDlg::addButton(const QString &caption, int left, ReplaceAnswer result)
{
    auto *button = new QPushButton(caption, this);
    button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
    // No default button: Enter must not pick an answer for the user.
    button->setAutoDefault(false);
    button->setDefault(false);
    connect(button, &QPushButton::clicked, this, [this, result] {
        answer = result;
        accept();
    });
    return button;
}

void TReplaceAskDlg::setTexts(const ReplaceAskTexts &texts)
{
    Label_Caption->setText(texts.caption);
    Label_Caption->adjustSize();
    Label_oldTitle->setText(texts.oldTitle);
    Label_oldTime->setText(texts.oldTime);
    Label_oldTime->adjustSize();
    Label_newTitle->setText(texts.newTitle);
    Label_newTime->setText(texts.newTime);
    Label_newTime->adjustSize();
}

ReplaceAnswer TReplaceAskDlg::ask()
{
    answer = ReplaceAnswer::Cancel; // what closing by the title bar leaves
    Button1->setFocus();
    exec();
    return answer;
}

void TReplaceAskDlg::keyPressEvent(QKeyEvent *event)
{
    // There is no cancel button, so Esc does not close the dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TReplaceAskDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
