// The interchange document (.qzx): the template every writer starts from, the names of
// its elements and attributes, the application check of the readers and the file dialog
// filters. The container around the document is Txmltry's.
#pragma once

#include "OleDateTime.h"

#include <QByteArray>
#include <QString>

#include <optional>

class Txmltry;

namespace Interchange {

// The root element with its four attributes and its four empty children, one tag per
// line, lines separated by a single carriage return.
inline constexpr char kTemplate[] = "<brivel app=\"\" appversion=\"\" dataversion=\"1.1\" time=\"\">\r"
                                    "  <tasks>\r"
                                    "  </tasks>\r"
                                    "  <memos>\r"
                                    "  </memos>\r"
                                    "  <notes>\r"
                                    "  </notes>\r"
                                    "  <peers>\r"
                                    "  </peers>\r"
                                    "</brivel>";

inline constexpr char kAppName[] = "Clockvane";
inline constexpr char kDataVersion[] = "1.1";

// Elements
inline constexpr char kRootElement[] = "brivel";
inline constexpr char kTasksElement[] = "tasks";
inline constexpr char kTaskElement[] = "task";
inline constexpr char kMemosElement[] = "memos";
inline constexpr char kMemoElement[] = "memo";
inline constexpr char kNotesElement[] = "notes";
inline constexpr char kPeersElement[] = "peers";

// Paths for Txmltry; the record paths take the index appended ("brivel,memos,memo#" + i).
inline constexpr char kRootPath[] = "brivel";
inline constexpr char kMemosPath[] = "brivel,memos";
inline constexpr char kTasksPath[] = "brivel,tasks";
inline constexpr char kMemoPathPrefix[] = "brivel,memos,memo#";
inline constexpr char kTaskPathPrefix[] = "brivel,tasks,task#";

// Root attributes, in template order
inline constexpr char kAppAttr[] = "app";
inline constexpr char kAppVersionAttr[] = "appversion";
inline constexpr char kDataVersionAttr[] = "dataversion";
inline constexpr char kTimeAttr[] = "time";

// Memo attributes, in the order writers set them
inline constexpr char kMidAttr[] = "mid";
inline constexpr char kPidAttr[] = "pid";
inline constexpr char kContentAttr[] = "content";
inline constexpr char kAssignTimeAttr[] = "assign-time";
inline constexpr char kCreateTimeAttr[] = "create-time";
inline constexpr char kEditTimeAttr[] = "edit-time";

// Task attributes, in the order writers set them (pid, content, create-time and
// edit-time as for memos)
inline constexpr char kTidAttr[] = "tid";
inline constexpr char kCheckFlagAttr[] = "check-flag";
inline constexpr char kAlarmFlagAttr[] = "alarm-flag";
inline constexpr char kDueFlagAttr[] = "due-flag";
inline constexpr char kTextColorAttr[] = "text-color";
inline constexpr char kBackgroundColorAttr[] = "background-color";
inline constexpr char kCheckTimeAttr[] = "check-time";
inline constexpr char kAlarmTimeAttr[] = "alarm-time";
inline constexpr char kDueTimeAttr[] = "due-time";

// File dialogs: filters in "Description|*.ext" form and the default extension.
inline constexpr char kExportDialogFilter[] = "Brivel Database,  (*.qzx)|*.qzx";
inline constexpr char kOpenDialogFilter[] = "Brivel Database, (*.qzx)|*.qzx";
inline constexpr char kDefaultExt[] = "*.qzx";

// Starts a writer's document: loads the template, then sets app, appversion and time, in
// that order. Returns the UTC bias the time was written with; writers format every
// date-time of the document with it, so one document carries one offset.
int StartDocument(Txmltry &xml, const QString &appVersion, TDateTime writtenAt = OleDateTime::now());

// The readers' application check on a loaded document: nothing when the root's app is
// exactly "Clockvane", otherwise "Data mismatch: " + the value found + "Clockvane". A missing
// attribute shows the accessor's " not Exist !" box first and counts as an empty value.
std::optional<QString> CheckApp(Txmltry &xml);

// Turns "Description|*.a;*.b|Other|*.c" into a Qt file-dialog filter
// ("Description (*.a *.b);;Other (*.c)"); where a description already ends with its own
// patterns in parentheses, Qt's form of the patterns takes their place.
QString ToQtFileDialogFilter(const QString &filter);

// The suffix a Qt file dialog expects for a default extension such as "*.qzx" ("qzx").
QString ToQtDefaultSuffix(const QString &defaultExt);

} // namespace Interchange
