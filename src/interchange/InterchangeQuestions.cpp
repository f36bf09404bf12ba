#include "InterchangeQuestions.h"

#include "InterchangeFormat.h"

namespace Interchange {

FileNameRequest ExportDialog()
{
    FileNameRequest request;
    request.name = QStringLiteral("ExportDialog");
    request.filter = QLatin1String(kExportDialogFilter);
    request.defaultExt = QLatin1String(kDefaultExt);
    return request;
}

FileNameRequest OpenDialog1()
{
    FileNameRequest request;
    request.name = QStringLiteral("OpenDialog1");
    request.filter = QLatin1String(kOpenDialogFilter);
    request.defaultExt = QLatin1String(kDefaultExt);
    return request;
}

} // namespace Interchange
