#pragma once

#include <QByteArray>
#include <functional>
#include <sys/types.h>
#include <vector>

namespace testsupport {

// A process of another user, for what the robot must keep from anyone but its
// own user: forked from the test (run as root), with only `uid` and `gid`.
class OtherUser
{
public:
    OtherUser(uid_t uid, gid_t gid) : m_uid(uid), m_gid(gid) {}
    ~OtherUser() { stop(); }
    OtherUser(const OtherUser &) = delete;
    OtherUser &operator=(const OtherUser &) = delete;

    // Runs `work` in the child until it returns or stop() kills it.
    void start(const std::function<void()> &work);
    void stop();
    // `count` connections to the socket at `path` made as this user (so the
    // peer's credentials are its own), handed to the test's process.
    std::vector<int> connect(const QByteArray &path, int count);

private:
    uid_t m_uid;
    gid_t m_gid;
    pid_t m_pid = -1;
};

} // namespace testsupport
