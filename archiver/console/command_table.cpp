#include <array>

#include "archiver/console/commands.h"
#include "archiver/console/messages.h"

namespace console {
namespace {

// In the order the usage text shows them.
const Command kCommands[] = {
    {"a", msg::kCommandAdd, runAddCommand},
    {"cw", msg::kCommandWriteComment, runWriteCommentCommand},
    {"d", msg::kCommandDelete, runDeleteCommand},
    {"e", msg::kCommandExtractFlat, runExtractFlatCommand},
    {"v", msg::kCommandList, runListCommand},
    {"x", msg::kCommandExtractWithPaths, runExtractWithPathsCommand},
};

}  // namespace

std::span<const Command> commandTable() { return kCommands; }

const Command* findCommand(std::string_view name) {
    for (const Command& c : kCommands)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace console
