#pragma once

#include "support/QtPrinters.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A temporary program directory for one test.
class TestDir
{
public:
    TestDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const;
    // Writes bytes to a file of the directory (subdirectories are made).
    void write(const QString &name, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
};

} // namespace testsupport
