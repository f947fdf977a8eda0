#pragma once
// The "结果" cell of 超级列表框_文件: one short sentence per archive for what the last job
// did with it. One function per job kind, so that every outcome a job can report is worded
// in one place.
#include <string>

#include "jobs/clean_job.h"
#include "jobs/rename_result.h"

struct RowResult {
    std::string text;
    bool failed = false;  // shown so that it stands out among the rows that went well

    bool operator==(const RowResult&) const = default;
};

RowResult renameRowResult(const jobs::RenameResult& result);
RowResult cleanRowResult(const jobs::CleanResult& result);
