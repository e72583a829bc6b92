#include "core/InstanceLock.h"

#include <QDir>

namespace core {

InstanceLock::InstanceLock(const QString &programDir)
    : m_lock(std::make_unique<QLockFile>(QDir(programDir).filePath(fileName())))
{
    // Never stale by age: only a dead owner frees it.
    m_lock->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryLock()
{
    return m_lock->tryLock(0);
}

} // namespace core
