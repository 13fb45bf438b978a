#pragma once

#include "data_folder.h"

#include <QFile>
#include <QTemporaryDir>

// The whole file; empty when it cannot be read.
inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A golden file; "@DATA@" in it stands for the data folder given. A missing one matches nothing.
inline QByteArray goldenBytes(const QString& path, const QString& dataFolder = QString()) {
    if (!QFile::exists(path))
        return "<missing golden file " + QFile::encodeName(path) + '>';
    QByteArray bytes = readBytes(path);
    return dataFolder.isEmpty() ? bytes : bytes.replace("@DATA@", QFile::encodeName(dataFolder));
}

// A fresh data folder per test, removed afterwards.
class TempDataFolder {
public:
    const DataFolder& folder() const { return m_folder; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }
    bool exists(const QString& name) const { return QFile::exists(filePath(name)); }

    QByteArray read(const QString& name) const { return readBytes(filePath(name)); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }

private:
    QTemporaryDir m_dir;
    DataFolder m_folder{m_dir.path()};
};
