#pragma once
// The exit codes of myrar; each failure class has its own, so that a caller can tell them
// apart without reading the output. The usage text lists them.
namespace console {

enum class ExitCode : int {
    Success = 0,
    NothingMatched = 1,   // no entry matched the names given
    WrongPassword = 2,    // encrypted headers and no password, or a wrong one
    Locked = 3,           // the archive is locked against changes
    BadArchive = 4,       // damaged, truncated, or no RAR archive at all
    FileError = 5,        // a file cannot be opened, read, written or deleted
    BadCommandLine = 6,   // unknown command or switch, missing arguments
    UserRefused = 7,      // the answer to a question was no (or there was none)
    Unsupported = 8,      // the archive cannot be changed so: a volume, a solid stream, a packed comment
    InternalError = 9,    // out of memory or another fault of our own
};

inline int toInt(ExitCode code) { return static_cast<int>(code); }

}  // namespace console
