// TIoDm: moves whole databases through interchange files. Backup writes every memo and
// task into a new file; Restore merges a file into the database by id, asking before a
// stored record is replaced; Import adds everything in a file under fresh ids. The file
// names and the replace question are asked through InterchangeQuestions, so the module
// needs no screen.
#pragma once

#include "SqlQuery.h"

#include <QObject>
#include <QString>

class InterchangeQuestions;
class SqlConnection;
class Txmltry;

class TIoDm : public QObject
{
    Q_OBJECT

public:
    // Works on the main window's connection, which must outlive the module, and asks its
    // questions through `questions`, which must outlive it too. appVersion is the program's
    // file version text written into every backup.
    TIoDm(SqlConnection &connection, const QString &appVersion, InterchangeQuestions &questions,
          QObject *parent = nullptr);

    // Asks for a file name to save (Interchange::ExportDialog) and writes every memo and task to it. False when
    // cancelled or when the file cannot be written ("File write failure!"; an older file
    // of that name is kept). A database failure is not caught: it reaches the caller and
    // no file is written.
    bool Backup();

    // Asks for a file name to open (Interchange::OpenDialog1) and merges the file into the
    // database: a record that is not stored is inserted, a stored one is replaced only when
    // the user agrees (confirmReplace, once per stored record until All or Abort). False when
    // cancelled or after a failure, which is shown in an ErrorBox; rows stored before a
    // failure or an Abort stay. Abort returns true.
    bool Restore();

    // Asks for a file name to open (Interchange::OpenDialog1) and adds every record in it under fresh ids, keeping
    // sub-memos with their memos. False when cancelled or after a failure (ErrorBox); rows
    // stored before a failure stay.
    bool Import();

    // The same work on a named file, without asking for a file name.
    bool BackupTo(const QString &fileName);
    bool RestoreFrom(const QString &fileName);
    bool ImportFrom(const QString &fileName);

private:
    template<class Work>
    bool storeRows(Txmltry &xml, Work &&work);

    SqlConnection &connection;
    QString appVersion;
    InterchangeQuestions &questions;
    SqlQuery ADOQuery1;
};
