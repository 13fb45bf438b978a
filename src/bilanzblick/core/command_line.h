#pragma once

#include "evaluation.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

class Clock;
class DataFolder;

// The command line of Bilanzblick:
//   bilanzblick [--log FILE]
//   bilanzblick --export days --format csv|json --from YYYY-MM-DD --to YYYY-MM-DD [--log FILE]
namespace commandline {

struct Options {
    bool exportDays = false;
    evaluation::ExportFormat format = evaluation::ExportFormat::Csv;
    QDate from;
    QDate to;
    QString logPath; // empty: the one the settings name
    QString error;   // one line for standard error; empty when the arguments are fine
};

// arguments without the program name.
Options parse(const QStringList& arguments);

struct ExportResult {
    int status = 0; // 0, or 2 for an unreadable log or a failed write
    QString error;
    // One line for standard error beside a good export: how many lines of the log were skipped
    // (not understood, or far too long to be a line of the log); empty when none was.
    QString note;
};
// The records go to write piece by piece as they are made.
ExportResult runExport(const Options& options, const Clock& clock, const DataFolder& folder,
                       const evaluation::ExportSink& write);

} // namespace commandline
