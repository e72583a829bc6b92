#include "support/OtherUser.h"

#include <csignal>
#include <cstring>
#include <grp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {
// One byte over `channel` carrying the descriptor `*fd` (sent, or received into it).
bool passDescriptor(int channel, int *fd, bool send)
{
    char byte = 0;
    iovec data{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message = {};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr *header = CMSG_FIRSTHDR(&message);
    if (!send)
        return ::recvmsg(channel, &message, 0) == 1 &&
               (std::memcpy(fd, CMSG_DATA(CMSG_FIRSTHDR(&message)), sizeof *fd), true);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(header), fd, sizeof *fd);
    return ::sendmsg(channel, &message, 0) == 1;
}
} // namespace

void OtherUser::start(const std::function<void()> &work)
{
    stop();
    m_pid = ::fork();
    if (m_pid == 0) {
        if (::setgroups(0, nullptr) == 0 && ::setgid(m_gid) == 0 && ::setuid(m_uid) == 0)
            work();
        ::_exit(0);
    }
}

void OtherUser::stop()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
}

std::vector<int> OtherUser::connect(const QByteArray &path, int count)
{
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0)
        return {};
    start([&] {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
        for (int i = 0; i < count; ++i) {
            int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
                !passDescriptor(pair[1], &fd, true))
                return;
        }
    });
    ::close(pair[1]);
    std::vector<int> fds;
    for (int fd = -1; int(fds.size()) < count && passDescriptor(pair[0], &fd, false);)
        fds.push_back(fd);
    ::close(pair[0]);
    stop();
    return fds;
}

} // namespace testsupport
