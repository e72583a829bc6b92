#include "core/InstanceLock.h"

#include "core/StaleLock.h"

#include <QDir>

namespace core {

InstanceLock::InstanceLock(const QString &programDir)
    : m_path(QDir(programDir).filePath(fileName())), m_lock(std::make_unique<QLockFile>(m_path))
{
    // Never stale by age: only a dead owner frees it.
    m_lock->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryLock()
{
    m_tookOver = StaleLock::takeOver(m_path);
    return m_lock->tryLock(0);
}

} // namespace core
