#include "archiver/console/myrar.h"

#include <exception>
#include <new>

#include "archiver/console/commands.h"
#include "archiver/console/list_file.h"
#include "archiver/console/messages.h"
#include "platform/paths.h"
#include "platform/program_arguments.h"
#include "platform/text_codec.h"

namespace console {
namespace {

void writeUsage(ConsoleIo& io) {
    io.line();
    io.line(msg::usageCallForm());
    io.line();
    io.line(msg::usageCommandsTitle());
    for (const Command& c : commandTable()) io.line(msg::usageCommandLine(c.name, c.description));
    io.line();
    io.line(msg::usageSwitchesTitle());
    io.line(msg::usageSwitches());
    io.line();
    io.line(msg::usageListFileLine());
    io.line();
    io.line(msg::usageMatchingRule());
    io.line();
    io.line(msg::usageExitCodes());
}

ExitCode run(const std::vector<std::string>& arguments, ConsoleIo& io) {
    io.line();
    io.line(msg::bannerProgramLine());
    io.line(msg::bannerHelpLine());

    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (parsed.error) {
        io.line();
        if (parsed.error->kind == CommandLineError::Kind::UnknownSwitch) io.line(msg::unknownSwitch(parsed.error->argument));
        else io.line(msg::missingCommand());
        return ExitCode::BadCommandLine;
    }
    const CommandLine& line = parsed.line;
    if (line.help) {
        writeUsage(io);
        return ExitCode::Success;
    }
    const Command* command = findCommand(line.command);
    if (!command) {
        io.line();
        io.line(msg::unknownCommand(line.command));
        writeUsage(io);
        return ExitCode::BadCommandLine;
    }
    if (line.dryRun && command->run != runDeleteCommand) {
        io.line();
        io.line(msg::dryRunOnlyForDelete());
        return ExitCode::BadCommandLine;
    }
    if (line.archive.empty()) {
        io.line();
        io.line(msg::missingArchive());
        return ExitCode::BadCommandLine;
    }
    Invocation invocation{line, {}, io};
    for (const NameArgument& name : line.names) {
        if (!name.listFile) {
            invocation.names.push_back(name.text);
            continue;
        }
        auto names = readListFile(platform::pathFromUtf8(name.text));
        if (!names) {
            io.line(msg::cannotReadListFile(name.text, names.message()));
            return ExitCode::FileError;
        }
        invocation.names.insert(invocation.names.end(), names->begin(), names->end());
    }
    return command->run(invocation);
}

}  // namespace

int runMyrar(const std::vector<std::string>& arguments, ConsoleIo& io) {
    ExitCode code = ExitCode::InternalError;
    try {
        code = run(arguments, io);
    } catch (const std::bad_alloc&) {
        io.line(msg::internalError("out of memory"));
    } catch (const std::exception& e) {
        io.line(msg::internalError(e.what()));
    }
    io.flush();
    return toInt(code);
}

std::vector<std::string> argumentsAsUtf8(int argc, const char* const* argv) {
    std::vector<std::string> all = platform::programArguments(argc, argv);
    std::vector<std::string> out;
    for (std::size_t i = 1; i < all.size(); ++i) {
        std::string arg = std::move(all[i]);
        if (!platform::isValidUtf8(arg)) arg = platform::decodeGb18030Lossy(arg);
        out.push_back(std::move(arg));
    }
    return out;
}

}  // namespace console
