#pragma once
// Running the independent archive readers (bsdtar, 7z, lsar/unar) and collecting what
// they list and extract, for comparison with what we wrote.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "write_test_support.h"

namespace rarwritetest {

struct RunResult {
    int exitCode = -1;
    std::string output;  // stdout and stderr together
};

inline std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}
inline std::string quoted(const std::filesystem::path& p) { return quoted(p.string()); }

// The readers are Linux programs, run through the shell; on Windows only the helpers that
// need neither are there.
#ifndef _WIN32
inline RunResult run(const std::string& command) {
    RunResult r;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.output.append(buffer, n);
    const int status = ::pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

inline bool toolPresent(const std::string& tool) {
    return run("command -v " + tool + " >/dev/null").exitCode == 0;
}

#endif

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : text) {
        if (c == '\n') {
            if (!cur.empty() && cur.back() == '\r') cur.pop_back();
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

inline std::string withoutTrailingSlash(std::string s) {
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

// Every file and folder below `root`: relative path ('/' separators) -> content, or
// "<dir>" for folders and "-> target" for links.
inline std::map<std::string, std::string> tree(const std::filesystem::path& root) {
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::string rel = platform::utf8FromPath(std::filesystem::relative(it->path(), root));
#ifdef _WIN32
        std::replace(rel.begin(), rel.end(), '\\', '/');
#endif
        if (it->is_symlink())
            out[rel] = "-> " + std::filesystem::read_symlink(it->path()).string();
        else if (it->is_directory())
            out[rel] = "<dir>";
        else
            out[rel] = readText(it->path());
    }
    return out;
}

#ifndef _WIN32
// The entry names a reader lists, '/' between folders, in its order.
inline std::vector<std::string> listNames(const std::string& tool, const std::filesystem::path& archive,
                                          int* exitCode = nullptr) {
    std::vector<std::string> names;
    if (tool == "bsdtar") {
        auto r = run("bsdtar -tf " + quoted(archive));
        if (exitCode) *exitCode = r.exitCode;
        for (auto& l : lines(r.output))
            if (!l.empty() && l.rfind("bsdtar:", 0) != 0) names.push_back(withoutTrailingSlash(l));
    } else if (tool == "7z") {
        auto r = run("7z l -slt -p- " + quoted(archive));
        if (exitCode) *exitCode = r.exitCode;
        bool inEntries = false;
        for (auto& l : lines(r.output)) {
            if (l == "----------") inEntries = true;
            if (inEntries && l.rfind("Path = ", 0) == 0) names.push_back(l.substr(7));
        }
    } else if (tool == "lsar") {
        auto r = run("lsar " + quoted(archive));
        if (exitCode) *exitCode = r.exitCode;
        auto ls = lines(r.output);
        for (std::size_t i = 1; i < ls.size(); ++i)
            if (!ls[i].empty()) names.push_back(withoutTrailingSlash(ls[i]));
    }
    return names;
}

// Extracts everything with the tool into `dest`; returns its exit code and output.
inline RunResult extractWith(const std::string& tool, const std::filesystem::path& archive,
                             const std::filesystem::path& dest, const std::string& password = {}) {
    std::filesystem::create_directories(dest);
    if (tool == "bsdtar") return run("bsdtar -xf " + quoted(archive) + " -C " + quoted(dest));
    if (tool == "7z")
        return run("7z x -y -p" + quoted(password.empty() ? std::string("-") : password) + " -o" + quoted(dest) + " " +
                   quoted(archive));
    if (tool == "unar")
        return run("unar -q -f -D " + (password.empty() ? std::string() : "-p " + quoted(password) + " ") + "-o " +
                   quoted(dest) + " " + quoted(archive));
    return {};
}
#endif

}  // namespace rarwritetest
