#pragma once
// The lines pimingbao-cli prints for each archive and the summaries under them.
#include <string>
#include <vector>

#include "jobs/clean_job.h"
#include "jobs/rename_result.h"
#include "jobs/undo_rename.h"

namespace cli {

std::string renameResultLine(const jobs::RenameResult& result);
std::string renameSummary(const std::vector<jobs::RenameResult>& results, bool dryRun);

// One line, and for a dry run also one indented line per entry the archive would lose.
std::vector<std::string> cleanResultLines(const jobs::CleanResult& result);
std::string cleanSummary(const std::vector<jobs::CleanResult>& results, bool dryRun);

std::string undoSummary(const jobs::UndoReport& report);

inline constexpr const char* kDryRunNotice = "试运行：只列出将会发生的事，不做任何改动。(dry run: nothing is changed)";

}  // namespace cli
