#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace core {

// "Another copy is running", decided per program directory. The lock names
// its owner's process, so a copy that crashed leaves no lock behind.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &programDir);
    ~InstanceLock();

    // False when another live process holds the lock.
    bool tryLock();

    static QString fileName() { return QStringLiteral("robot-fiscal.lock"); }

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace core
