#pragma once
// Running the built myrar, and the independent readers that check what it wrote.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/console/process_runner.h"
#include "tests/support/temp_dir.h"

namespace testconsole {

struct MyrarRun {
    int exitCode = -1;
    std::string raw;   // GB18030 bytes as written
    std::string text;  // the same as UTF-8
};

MyrarRun runMyrar(const std::vector<std::string>& args, const std::filesystem::path& workingDir,
                  const std::optional<std::string>& input = std::nullopt);

// A writable copy of a fixture, alone in its folder (lsar guesses volume sets from the
// neighbours' names).
std::filesystem::path copyFixture(const testsupport::TempDir& dir, const std::string& name);

std::string readFile(const std::filesystem::path& path);

// Entry paths ('/' separators, no trailing '/') as each reader lists them; nothing when
// the reader fails on the archive or is missing.
std::optional<std::vector<std::string>> bsdtarNames(const std::filesystem::path& archive);
std::optional<std::vector<std::string>> lsarNames(const std::filesystem::path& archive, const std::string& password = {});
std::optional<std::vector<std::string>> sevenZipNames(const std::filesystem::path& archive,
                                                      const std::string& password = {});
// Sets XDG_DATA_HOME (where myrar's trash lies on Linux) for the test's children, and
// puts back what was there.
class ScopedDataHome {
public:
    explicit ScopedDataHome(const std::filesystem::path& folder);
    ~ScopedDataHome();
    ScopedDataHome(const ScopedDataHome&) = delete;
    ScopedDataHome& operator=(const ScopedDataHome&) = delete;

private:
    std::optional<std::string> previous_;
};

// Extracts with bsdtar into `into`; false when bsdtar reports an error.
bool bsdtarExtract(const std::filesystem::path& archive, const std::filesystem::path& into);

// Leaves `archive` as a d of `names` that cuts it in place leaves it when killed between
// its two steps: the end block and the cut mark written, the file not yet cut. False when
// that deletion would not cut in place.
bool leaveCutHalfWay(const std::filesystem::path& archive, const std::vector<std::string>& names,
                     const std::string& password = {});

}  // namespace testconsole
