#include "TipPanel.h"

#include "ImageLists.h"
#include "TipLabel.h"

#include <QHBoxLayout>
#include <QLabel>

const std::array<const char *, 4> TipPanel::tipTexts = {
    "",
    "Click here to finish Edit. Press Esc cancel.",
    "Click here to Add a new Item.",
    "Search no result",
};

const std::array<int, 4> TipPanel::tipImages = {-1, 14, 13, 17};

TipPanel::TipPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel_tip"));
    setAutoFillBackground(true);
    QPalette tipPalette = palette();
    tipPalette.setColor(QPalette::Window, QColor(255, 255, 225));
    setPalette(tipPalette);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(6);
    Image_Tip = new QLabel(this);
    Image_Tip->setObjectName(QStringLiteral("Image_Tip"));
    Image_Tip->setFixedSize(16, 16);
    layout->addWidget(Image_Tip, 0, Qt::AlignTop);
    label_tip = new TipLabel(this);
    label_tip->setObjectName(QStringLiteral("label_tip"));
    layout->addWidget(label_tip, 1);
    hide();
    connect(label_tip, &TipLabel::clicked, this, &TipPanel::clicked);
}

void TipPanel::showTip(int newMode)
{
    mode = newMode >= 0 && newMode < static_cast<int>(tipTexts.size()) ? newMode : 0;
    if (mode == 0) {
        hide();
        label_tip->clear();
        return;
    }
    const auto index = static_cast<size_t>(mode);
    label_tip->setText(QString::fromLatin1(tipTexts[index]));
    Image_Tip->setPixmap(ImageLists::icon16(tipImages[index]).pixmap(16, 16));
    show();
    Panel_tipResize();
}

void TipPanel::showNotice(const QString &text)
{
    mode = kNoticeMode;
    label_tip->setText(text);
    Image_Tip->setPixmap(ImageLists::icon16(imageIndex()).pixmap(16, 16));
    show();
    Panel_tipResize();
}

QString TipPanel::text() const
{
    return label_tip->text();
}

int TipPanel::imageIndex() const
{
    return mode == kNoticeMode ? 17 : tipImages[static_cast<size_t>(mode)];
}

void TipPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Panel_tipResize();
}

void TipPanel::Panel_tipResize()
{
    if (mode == 0)
        return;
    const QMargins margins = layout()->contentsMargins();
    const int textWidth = qMax(20,
                               width() - margins.left() - margins.right() - Image_Tip->width() - layout()->spacing());
    setFixedHeight(label_tip->heightForWidth(textWidth) + 8);
}
