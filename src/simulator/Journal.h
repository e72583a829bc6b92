#pragma once

#include <QString>

namespace sim {

// A text file that only grows: the call log and the paper roll. Each write
// reaches the file before it returns, as the process may be killed next.
class Journal
{
public:
    explicit Journal(const QString &path);

    bool append(const QString &text) const;

private:
    QString m_path;
};

} // namespace sim
