#include "FileDialogs.h"

#include "InterchangeFormat.h"

#include <QFileDialog>
#include <QHash>

namespace FileDialogs {
namespace {

Presenter &currentPresenter()
{
    static Presenter presenter;
    return presenter;
}

// Like a dialog component that keeps its file name between runs, each named dialog offers
// the name chosen last.
QHash<QString, QString> &lastChosen()
{
    static QHash<QString, QString> names;
    return names;
}

QHash<QString, int> &lastType()
{
    static QHash<QString, int> types;
    return types;
}

QString showQtDialog(Kind kind, const Request &request, QWidget *parent)
{
    QFileDialog dialog(parent, request.caption, request.startPath);
    dialog.setAcceptMode(kind == Kind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // AnyFile in both modes: an open dialog accepts a name that does not exist, and
    // reading it then reports the failure.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(Interchange::ToQtFileDialogFilter(request.filter));
    dialog.setDefaultSuffix(Interchange::ToQtDefaultSuffix(request.defaultExt));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setSizeGripEnabled(true);
    const QStringList types = dialog.nameFilters();
    if (request.chosenType && *request.chosenType >= 0 && *request.chosenType < types.size())
        dialog.selectNameFilter(types[*request.chosenType]);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    if (request.chosenType)
        *request.chosenType = qMax(0, types.indexOf(dialog.selectedNameFilter()));
    return dialog.selectedFiles().value(0);
}

QString run(Kind kind, QWidget *parent, const Request &request)
{
    Request shown = request;
    if (shown.startPath.isEmpty())
        shown.startPath = lastChosen().value(shown.name);
    if (shown.chosenType)
        *shown.chosenType = lastType().value(shown.name, 0);
    const Presenter &presenter = currentPresenter();
    const QString chosen = presenter ? presenter(kind, shown, parent) : showQtDialog(kind, shown, parent);
    if (!chosen.isEmpty() && !shown.name.isEmpty()) {
        lastChosen().insert(shown.name, chosen);
        if (shown.chosenType)
            lastType().insert(shown.name, *shown.chosenType);
    }
    return chosen;
}

} // namespace

Presenter setPresenter(Presenter presenter)
{
    Presenter previous = std::move(currentPresenter());
    currentPresenter() = std::move(presenter);
    return previous;
}

QString GetSaveFileName(QWidget *parent, const Request &request)
{
    return run(Kind::Save, parent, request);
}

QString GetOpenFileName(QWidget *parent, const Request &request)
{
    return run(Kind::Open, parent, request);
}

} // namespace FileDialogs
