#include "InterchangeQuestions.h"

#include "InterchangeFormat.h"

namespace Interchange {
namespace {

FileNameRequest interchangeFileRequest(const QString &name, const char *filter)
{
    FileNameRequest request;
    request.name = name;
    request.filter = QLatin1String(filter);
    request.defaultExt = QLatin1String(kDefaultExt);
    return request;
}

} // namespace

FileNameRequest ExportDialog()
{
    return interchangeFileRequest(QStringLiteral("ExportDialog"), kExportDialogFilter);
}

FileNameRequest OpenDialog1()
{
    return interchangeFileRequest(QStringLiteral("OpenDialog1"), kOpenDialogFilter);
}

} // namespace Interchange
