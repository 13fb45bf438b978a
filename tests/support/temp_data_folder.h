#pragma once

#include "data_folder.h"

#include <QFile>
#include <QTemporaryDir>

// A fresh data folder per test, removed afterwards.
class TempDataFolder {
public:
    const DataFolder& folder() const { return m_folder; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }
    bool exists(const QString& name) const { return QFile::exists(filePath(name)); }

    QByteArray read(const QString& name) const {
        QFile f(filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }

private:
    QTemporaryDir m_dir;
    DataFolder m_folder{m_dir.path()};
};
