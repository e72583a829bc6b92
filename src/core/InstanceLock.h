#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace core {

// "Another copy is running", decided per program directory. The lock names
// its owner's process, so a copy that crashed leaves no lock behind; a lock
// that names no live process (see StaleLock) is taken over.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &programDir);
    ~InstanceLock();

    // False when another live process holds the lock.
    bool tryLock();
    // True when tryLock took over a lock that named no live process.
    bool tookOverStale() const { return m_tookOver; }

    static QString fileName() { return QStringLiteral("robot-fiscal.lock"); }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_tookOver = false;
};

} // namespace core
