#pragma once
// Moving a file to a new name on the same file system without ever replacing a file
// that already has that name: the check and the move are one step, so a file that
// appears between a look and a rename is never overwritten.
#include <filesystem>
#include <string>

namespace platform {

struct MoveOutcome {
    enum class Kind { Moved, TargetExists, Failed };
    Kind kind = Kind::Failed;
    std::string message;  // what failed and on which file (UTF-8), empty when moved

    bool moved() const { return kind == Kind::Moved; }
};

MoveOutcome moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace platform
