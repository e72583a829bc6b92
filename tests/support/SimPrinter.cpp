#include "support/SimPrinter.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace testsupport {

SimPrinter::SimPrinter(const QByteArray &fiscalsimIni) : m_previousDir(QDir::currentPath())
{
    m_dir.write(QStringLiteral("fiscalsim.ini"), fiscalsimIni);
    QDir::setCurrent(m_dir.path());
    QString error;
    m_driver =
        printer::DriverLibrary::load(QStringLiteral(FISCALSIM_LIBRARY), m_dir.path(), &error);
    if (!m_driver) {
        ADD_FAILURE() << "simulator not loaded: " << error.toStdString();
        std::abort();
    }
    m_link = std::make_unique<printer::PrinterLink>(*m_driver, m_window, m_timer, m_codePage,
                                                    QStringLiteral("COM1"));
}

SimPrinter::~SimPrinter()
{
    m_driver->CloseFpctrl();
    QDir::setCurrent(m_previousDir);
}

QList<QStringList> SimPrinter::journal() const
{
    QFile f(m_dir.file(QStringLiteral("fiscalsim.log")));
    QList<QStringList> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty())
            out << line.split(QLatin1Char('\t'));
    }
    return out;
}

QStringList SimPrinter::sentCommands() const
{
    QStringList out;
    for (const QStringList &fields : journal()) {
        if (fields.value(0) == QLatin1String("SendCmd"))
            out << fields.value(1) + (fields.value(2) == QLatin1String("1")
                                          ? QString()
                                          : QStringLiteral(" [refused]"));
    }
    return out;
}

QString SimPrinter::paper() const
{
    QFile f(m_dir.file(QStringLiteral("fiscalsim-paper.txt")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace testsupport
