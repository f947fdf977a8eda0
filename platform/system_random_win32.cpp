#include "platform/system_random.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace platform {

Status fillWithSystemRandom(std::span<std::uint8_t> out) {
    std::size_t filled = 0;
    while (filled < out.size()) {
        const ULONG piece = static_cast<ULONG>(std::min<std::size_t>(out.size() - filled, 1u << 30));
        const NTSTATUS status = ::BCryptGenRandom(nullptr, out.data() + filled, piece, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
        if (status < 0) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
            return Status::failure(std::string("无法从系统取得随机数（BCryptGenRandom 返回 ") + code + "）");
        }
        filled += piece;
    }
    return Status::success();
}

}  // namespace platform
