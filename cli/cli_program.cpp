#include "cli/cli_program.h"

#include <algorithm>
#include <optional>

#include "cli/archive_paths.h"
#include "cli/cli_help.h"
#include "cli/cli_options.h"
#include "cli/cli_report.h"
#include "jobs/clean_job.h"
#include "jobs/job_texts.h"
#include "jobs/rename_job.h"
#include "jobs/rename_journal.h"
#include "jobs/undo_rename.h"
#include "jobs/vector_archive_rows.h"

namespace cli {
namespace {

using Command = CliOptions::Command;

StatusSink printer(std::ostream& out) {
    return [&out](const std::string& text) { out << text << std::endl; };
}

int rename(const CliOptions& o, jobs::VectorArchiveRows& rows, CliEnvironment& env, std::ostream& out,
           std::ostream& err) {
    jobs::RenameRequest request;
    request.mode = o.command == Command::RenameByExtension ? jobs::RenameMode::ByExtension : jobs::RenameMode::ByNumber;
    request.extension = o.extension;
    request.prefix = o.prefix;
    request.startNumber = o.startNumber;
    request.dryRun = o.dryRun;

    jobs::RenameJob job(env.commands(), env.files());
    std::optional<jobs::RenameJournal> journal;
    if (!o.dryRun) {
        auto opened = jobs::RenameJournal::open(env.journalFile());
        if (opened) {
            journal.emplace(std::move(*opened));
            job.setJournal(&*journal);
        } else {
            err << "警告：无法写入更名记录，这次更名将不能撤销：" << opened.message() << "\n"
                << "warning: cannot write the rename journal, this job cannot be undone" << std::endl;
        }
    }
    auto results = job.run(request, rows, printer(out));
    for (const auto& problem : job.journalProblems()) {
        err << "警告：更名记录不完整：" << problem << "\nwarning: the rename journal is incomplete" << std::endl;
    }
    bool failed = false;
    for (const auto& r : results) {
        out << renameResultLine(r) << "\n";
        failed = failed || r.category() == jobs::RenameResult::Category::Failed;
    }
    out << renameSummary(results, o.dryRun) << std::endl;
    return failed ? kExitSomeFailed : kExitSuccess;
}

int clean(const CliOptions& o, const std::string& deleteList, jobs::VectorArchiveRows& rows, CliEnvironment& env,
          std::ostream& out, std::ostream& err) {
    jobs::CleanJob job(env.commands(), env.files());
    std::optional<jobs::RenameJournal> journal;
    if (!o.dryRun) {
        if (auto opened = jobs::RenameJournal::open(env.journalFile())) {
            journal.emplace(std::move(*opened));
            job.setJournal(&*journal, &env.files());
        }
    }
    auto results = job.run(jobs::CleanRequest{deleteList, o.dryRun}, rows, printer(out));
    // A dry run writes no status text, so the names it left out are told here.
    if (o.dryRun) {
        for (const auto& name : job.skippedNames()) out << jobs::texts::nameSkipped(name) << "\n";
    }
    if (!journal && !o.dryRun) {
        err << "警告：无法写入更名记录，之前的更名可能无法撤销\nwarning: cannot write the rename journal, "
               "earlier renames of these archives may not be undone"
            << std::endl;
    }
    for (const auto& problem : job.journalProblems()) {
        err << "警告：更名记录不完整：" << problem << "\nwarning: the rename journal is incomplete" << std::endl;
    }
    bool failed = false;
    for (const auto& r : results) {
        for (const auto& line : cleanResultLines(r)) out << line << "\n";
        failed = failed || r.category() == jobs::CleanResult::Category::Failed;
    }
    out << cleanSummary(results, o.dryRun) << std::endl;
    return failed ? kExitSomeFailed : kExitSuccess;
}

int undo(CliEnvironment& env, std::ostream& out, std::ostream& err) {
    auto report = jobs::undoLastRenameJob(env.journalFile(), env.files());
    if (!report) {
        err << "无法读取更名记录：" << report.message() << "\ncannot read the rename journal" << std::endl;
        return kExitSomeFailed;
    }
    if (!report->foundJob) {
        out << "没有可以撤销的更名。(nothing to undo)" << std::endl;
        return kExitSuccess;
    }
    if (report->cleanJob) {
        out << "撤销 " << report->when << " 的打扫（" << report->description
            << "）：只放回被清空后移到回收站的压缩包，从压缩包中删除的文件不会恢复\n";
    } else {
        out << "撤销 " << report->when << " 的更名（" << report->description << "）" << "\n";
    }
    for (const auto& step : report->steps) out << jobs::undoStepText(step) << "\n";
    out << undoSummary(*report) << std::endl;
    return report->complete() ? kExitSuccess : kExitSomeFailed;
}

}  // namespace

int runCliProgram(const std::vector<std::string>& args, CliEnvironment& env, std::ostream& out, std::ostream& err) {
    auto options = parseCliOptions(args);
    if (!options) {
        err << options.message() << "\n\n" << cliHelpText();
        return kExitBadCommandLine;
    }
    const CliOptions& o = *options;
    if (o.command == Command::Help) {
        out << cliHelpText();
        return kExitSuccess;
    }

    // Everything the command line names is read before the program moves into its working
    // directory, where relative paths would mean something else.
    jobs::VectorArchiveRows rows;
    std::string deleteList;
    std::vector<SkippedName> skipped;
    if (o.command != Command::Undo) {
        auto archives = collectArchives(o.paths);
        if (!archives) {
            err << archives.message() << std::endl;
            return kExitBadCommandLine;
        }
        rows = jobs::VectorArchiveRows(archives->archives);
        skipped = std::move(archives->skipped);
    }
    if (o.command == Command::Clean) {
        for (const auto& name : o.names) deleteList += name + "\r\n";
        for (const auto& file : o.namesFiles) {
            auto text = readNamesFile(file);
            if (!text) {
                err << "无法读取删除列表：" << text.message() << "\ncannot read the names file: " << file << std::endl;
                return kExitBadCommandLine;
            }
            deleteList += *text + "\r\n";
        }
    }

    if (auto s = env.begin(printer(out)); !s) {
        err << "无法准备压缩程序：" << s.message() << "\ncannot prepare the archiver" << std::endl;
        return kExitSomeFailed;
    }
    // A numbering run killed half-way left archives hidden; they come back before anything
    // else looks at the folder. A dry run changes nothing, so it only says what it found.
    std::optional<int> recovered;  // the exit code when an interrupted run was undone
    if (!o.dryRun) {
        auto interrupted = jobs::finishInterruptedRenames(env.journalFile(), env.files(), printer(out));
        if (!interrupted) {
            err << "无法读取更名记录：" << interrupted.message() << "\ncannot read the rename journal" << std::endl;
        } else {
            for (const auto& run : interrupted->runs) {
                recovered = std::max(recovered.value_or(kExitSuccess), run.complete() ? kExitSuccess : kExitSomeFailed);
            }
        }
    }
    if (o.dryRun) out << kDryRunNotice << std::endl;
    // A name left out is an archive the job could not take: the run did not do all it was asked.
    for (const auto& s : skipped) out << skippedNameLine(s) << std::endl;
    const int leftOut = skipped.empty() ? kExitSuccess : kExitSomeFailed;
    switch (o.command) {
        case Command::RenameByExtension:
        case Command::RenameByNumber:
            return std::max(rename(o, rows, env, out, err), leftOut);
        case Command::Clean:
            return std::max(clean(o, deleteList, rows, env, out, err), leftOut);
        case Command::Undo:
            // The interrupted run was the last one and is undone already.
            if (recovered) return *recovered;
            return undo(env, out, err);
        case Command::Help:
            break;
    }
    return kExitSuccess;
}

}  // namespace cli
