#include "Boxes.h"

#include <QDebug>

namespace Boxes {
namespace {
Presenter &currentPresenter()
{
    static Presenter presenter;
    return presenter;
}

BeforeBox &currentBeforeBox()
{
    static BeforeBox step;
    return step;
}
} // namespace

BeforeBox setBeforeBox(BeforeBox step)
{
    BeforeBox previous = std::move(currentBeforeBox());
    currentBeforeBox() = std::move(step);
    return previous;
}

Presenter setPresenter(Presenter presenter)
{
    Presenter previous = std::move(currentPresenter());
    currentPresenter() = std::move(presenter);
    return previous;
}

int CaptionedBox(const QString &caption, const QString &text, Buttons buttons, Icon icon)
{
    if (const BeforeBox &before = currentBeforeBox())
        before();
    if (const Presenter &presenter = currentPresenter())
        return presenter(caption, text, buttons, icon);
    qWarning().noquote() << caption + QStringLiteral(": ") + text;
    return buttons == OkCancel ? IdCancel : IdOk;
}

} // namespace Boxes

bool AskBox(const QString &text)
{
    return Boxes::CaptionedBox(QStringLiteral("Ask"), text, Boxes::OkCancel) == Boxes::IdOk;
}

void ErrorBox(const QString &text)
{
    Boxes::CaptionedBox(QStringLiteral("Error"), text, Boxes::Ok);
}

void WarningBox(const QString &text)
{
    Boxes::CaptionedBox(QStringLiteral("Warning"), text, Boxes::Ok);
}

void TipBox(const QString &text)
{
    Boxes::CaptionedBox(QStringLiteral("Tip"), text, Boxes::Ok);
}
