#pragma once
// An archiver command as the classic one-line text for the command interpreter, piece for
// piece: `cmd /c myrar.exe v -p"…" "…" >filelist.txt`, `myrar.exe d -y "…" -- "…"`. Only
// ever shown or compared, never run: the runner starts the command from its arguments.
#include <string>
#include <string_view>

#include "archiver/driver/archiver_command.h"

std::string renderCommandLine(const ArchiverCommand& command);

// `text` as it goes between two double quotes: backslashes right before the closing quote
// are doubled, since the Windows rules would otherwise read the last one as escaping it.
std::string withinQuotes(std::string_view text);
// `text` between double quotes.
std::string quoted(std::string_view text);
