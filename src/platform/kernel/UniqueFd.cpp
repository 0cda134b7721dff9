#include "platform/kernel/UniqueFd.h"

#include <unistd.h>

namespace platform {

void UniqueFd::Reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd); // a failed close still releases the descriptor on Linux
    m_fd = fd;
}

} // namespace platform
