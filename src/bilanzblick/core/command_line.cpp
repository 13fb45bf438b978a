#include "command_line.h"

#include "clock.h"
#include "log_source.h"

namespace commandline {

namespace {

QDate isoDate(const QString& text) {
    // Only the full form: "2025-12-1" would be a typo, not a date.
    if (text.size() != 10)
        return {};
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

} // namespace

Options parse(const QStringList& arguments) {
    Options o;
    QString what, format, from, to;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        QString* value = nullptr;
        if (a == QLatin1String("--export"))
            value = &what;
        else if (a == QLatin1String("--format"))
            value = &format;
        else if (a == QLatin1String("--from"))
            value = &from;
        else if (a == QLatin1String("--to"))
            value = &to;
        else if (a == QLatin1String("--log"))
            value = &o.logPath;
        else {
            o.error = QStringLiteral("unknown argument: ") + a;
            return o;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
            o.error = a + QStringLiteral(" needs a value");
            return o;
        }
        // Which of two would count is a guess: the command line is refused instead.
        if (!value->isEmpty()) {
            o.error = a + QStringLiteral(" is given twice");
            return o;
        }
        *value = arguments[++i];
    }
    if (what.isEmpty()) {
        if (!format.isEmpty() || !from.isEmpty() || !to.isEmpty())
            o.error = QStringLiteral("--format, --from and --to belong to --export days");
        return o;
    }
    o.exportDays = true;
    if (what != QLatin1String("days")) {
        o.error = QStringLiteral("--export knows only \"days\", not: ") + what;
        return o;
    }
    if (format == QLatin1String("csv")) {
        o.format = evaluation::ExportFormat::Csv;
    } else if (format == QLatin1String("json")) {
        o.format = evaluation::ExportFormat::Json;
    } else {
        o.error = QStringLiteral("--format must be csv or json");
        return o;
    }
    o.from = isoDate(from);
    o.to = isoDate(to);
    if (!o.from.isValid() || !o.to.isValid())
        o.error = QStringLiteral("--from and --to need a date YYYY-MM-DD");
    else if (o.from > o.to)
        o.error = QStringLiteral("--from lies after --to");
    return o;
}

ExportResult runExport(const Options& options, const Clock& clock, const DataFolder& folder,
                       const evaluation::ExportSink& write) {
    ExportResult result;
    const logsource::Location location = logsource::locate(clock, folder, options.logPath);
    const logsource::Loaded loaded = logsource::load(location, clock.today());
    if (!loaded.ok) {
        result.status = 2;
        result.error =
            QStringLiteral("cannot read the activity log ") + location.path +
            (loaded.exists ? QStringLiteral(": ") + loaded.error : QStringLiteral(": no such file"));
        return result;
    }
    if (!evaluation::writeDays(loaded.days, options.from, options.to, options.format, write)) {
        result.status = 2;
        result.error = QStringLiteral("standard output could not be written");
    } else if (const int skipped = loaded.days.skippedLines(); skipped > 0) {
        result.note =
            QString::number(skipped) + QStringLiteral(" lines of the activity log skipped (unreadable)");
    }
    return result;
}

} // namespace commandline
