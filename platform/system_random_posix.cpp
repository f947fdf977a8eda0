#include "platform/system_random.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace platform {

Status fillWithSystemRandom(std::span<std::uint8_t> out) {
    std::size_t filled = 0;
    while (filled < out.size()) {
        const ssize_t got = ::getrandom(out.data() + filled, out.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Status::failure(std::string("cannot get random bytes from the system: ") + std::strerror(errno));
        }
        filled += static_cast<std::size_t>(got);
    }
    return Status::success();
}

}  // namespace platform
