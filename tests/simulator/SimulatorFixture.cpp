#include "SimulatorFixture.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace simtest {

void SimulatorTest::SetUp()
{
    m_previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
}

void SimulatorTest::TearDown()
{
    QDir::setCurrent(m_previousDir);
}

printer::Driver &SimulatorTest::driver()
{
    static std::unique_ptr<printer::DriverLibrary> library = [] {
        QString error;
        auto lib = printer::DriverLibrary::load(QStringLiteral(FISCALSIM_LIBRARY),
                                                QDir::currentPath(), &error);
        if (!lib)
            ADD_FAILURE() << error.toStdString();
        return lib;
    }();
    if (!library)
        std::abort();
    return *library;
}

void SimulatorTest::writeIni(const QString &text) const
{
    m_dir.write(QStringLiteral("fiscalsim.ini"), text.toUtf8());
}

Reply SimulatorTest::open()
{
    Reply r;
    r.result = driver().OpenFpctrl("COM1");
    return r;
}

Reply SimulatorTest::send(const QByteArray &command)
{
    Reply r;
    r.result = driver().SendCmd(&r.status, &r.error, command.constData());
    return r;
}

void SimulatorTest::sendAll(const QList<QByteArray> &commands)
{
    for (const QByteArray &c : commands) {
        const Reply r = send(c);
        EXPECT_EQ(r.result, 1) << c.constData() << " error " << r.error;
    }
}

Reply SimulatorTest::uploadStatus(const QByteArray &command)
{
    Reply r;
    const QByteArray file = m_dir.file(QStringLiteral("Status.txt")).toLocal8Bit();
    r.result = driver().UploadStatusCmd(&r.status, &r.error, command.constData(), file.constData());
    return r;
}

Reply SimulatorTest::uploadReport(const QByteArray &command)
{
    Reply r;
    const QByteArray file = m_dir.file(QStringLiteral("Status2.txt")).toLocal8Bit();
    r.result = driver().UploadReportCmd(&r.status, &r.error, command.constData(), file.constData());
    return r;
}

QString SimulatorTest::answerText(const QString &name) const
{
    QFile f(m_dir.file(name));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QString text;
    const QString all = QString::fromLatin1(f.readAll());
    QStringList lines = all.split(QRegularExpression(QStringLiteral("\r\n|\r")));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

QStringList SimulatorTest::log() const
{
    QFile f(m_dir.file(QStringLiteral("fiscalsim.log")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString SimulatorTest::paper() const
{
    QFile f(m_dir.file(QStringLiteral("fiscalsim-paper.txt")));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

QJsonObject SimulatorTest::state() const
{
    QFile f(m_dir.file(QStringLiteral("fiscalsim.state")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

QString SimulatorTest::lastInvoiceFromStatus()
{
    EXPECT_EQ(uploadStatus().result, 1);
    return answerText(QStringLiteral("Status.txt")).mid(21, 8);
}

QString SimulatorTest::lastZFromStatus()
{
    EXPECT_EQ(uploadStatus().result, 1);
    return answerText(QStringLiteral("Status.txt")).mid(47, 4);
}

int SimulatorTest::inFreshProcess(const std::function<void(printer::Driver &)> &body) const
{
    static int copies = 0;
    const QString copy = m_dir.file(QStringLiteral("fresh-%1.so").arg(++copies));
    if (!QFile::copy(QStringLiteral(FISCALSIM_LIBRARY), copy)) {
        ADD_FAILURE() << "cannot copy the library";
        return -1;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        QString error;
        auto lib = printer::DriverLibrary::load(copy, m_dir.path(), &error);
        if (!lib)
            _exit(99);
        body(*lib);
        // No leak report and no test teardown in the child.
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    QFile::remove(copy);
    return status;
}

} // namespace simtest
