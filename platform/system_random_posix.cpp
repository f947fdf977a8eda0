#include "platform/system_random.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/system_error_text.h"

namespace platform {

Status fillWithSystemRandom(std::span<std::uint8_t> out) {
    std::size_t filled = 0;
    while (filled < out.size()) {
        const ssize_t got = ::getrandom(out.data() + filled, out.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Status::failure("无法从系统取得随机数：" + describeSystemError(std::error_code(errno, std::generic_category())));
        }
        filled += static_cast<std::size_t>(got);
    }
    return Status::success();
}

}  // namespace platform
