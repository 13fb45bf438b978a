#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

// Case tables kept as text beside the tests: one case per line, its fields separated by " | ".
// Blank lines and lines starting with "#" are skipped; a line "[name]" starts a section. In a
// field (trimmed) "\n", "\r", "\t", "\s" and "\\" stand for a line feed, a carriage return, a
// tab, a blank and a backslash, and a field of "\0" stands for an empty one.
struct CaseRow {
    QString where; // "file:line", for SCOPED_TRACE
    QStringList fields;

    QString operator[](qsizetype i) const { return fields.value(i); }
    int number(qsizetype i) const { return fields.value(i).toInt(); }
};

inline QString unescapedField(const QString& raw) {
    if (raw == QLatin1String("\\0"))
        return QString();
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QChar c = raw.at(i);
        if (c == u'\\' && i + 1 < raw.size()) {
            c = raw.at(++i);
            const qsizetype k = QStringView(u"nrts").indexOf(c);
            c = k < 0 ? c : QStringView(u"\n\r\t ").at(k);
        }
        out += c;
    }
    return out;
}

// The rows of one section ("" for the rows before any section). A file that cannot be read or
// a section without rows fails the test: a table that reads as empty must never pass quietly.
inline QList<CaseRow> caseTable(const QString& path, const QString& section = QString()) {
    QFile f(path);
    QList<CaseRow> rows;
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read the case table " << path.toStdString();
        return rows;
    }
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    QString current;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        if (current != section)
            continue;
        CaseRow row{path.section(u'/', -1) + u':' + QString::number(n + 1), {}};
        for (const QString& raw : line.split(QLatin1String(" | ")))
            row.fields.append(unescapedField(raw.trimmed()));
        rows.append(row);
    }
    if (rows.isEmpty())
        ADD_FAILURE() << "no rows in section [" << section.toStdString() << "] of " << path.toStdString();
    return rows;
}
