#include "platform/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <system_error>

#include "platform/file_move.h"
#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

struct TrashPlace {
    fs::path dir;
    // Where the recorded original path is measured from: the home trash records absolute
    // paths, a trash at the top of a mount records paths below the mount, so the record
    // stays right when the medium is mounted elsewhere.
    std::optional<fs::path> relativeTo;
};

std::string errorText(int error) { return describeErrno(error); }

std::optional<dev_t> deviceOf(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_dev;
}

// The home trash may not exist yet; its device is that of the nearest folder that does.
std::optional<dev_t> deviceOfNearestExisting(fs::path path) {
    while (true) {
        if (auto d = deviceOf(path)) return d;
        if (!path.has_relative_path()) return std::nullopt;
        path = path.parent_path();
    }
}

// The user may link the home trash elsewhere; a trash on a shared mount must be a real
// folder of the user's own, or another user could read or swap what goes into it.
enum class Links { Followed, Refused };

bool isOwnedDirectory(const fs::path& path, Links links) {
    struct stat st {};
    int rc = links == Links::Followed ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    return rc == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

Status makePrivateDirectory(const fs::path& path, Links links) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return Status::failure("无法创建 " + utf8FromPath(path) + "：" + errorText(errno));
    }
    if (!isOwnedDirectory(path, links)) return Status::failure(utf8FromPath(path) + " 不能用作回收站文件夹");
    return Status::success();
}

Status prepareTrash(const fs::path& dir, Links links) {
    if (auto s = makePrivateDirectory(dir, links); !s) return s;
    if (auto s = makePrivateDirectory(dir / "files", links); !s) return s;
    return makePrivateDirectory(dir / "info", links);
}

Status prepareHomeTrash(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir.parent_path(), ec);
    if (ec) return Status::failure("无法创建 " + utf8FromPath(dir.parent_path()) + "：" + describeSystemError(ec));
    return prepareTrash(dir, Links::Followed);
}

fs::path mountTop(fs::path dir, dev_t device) {
    while (dir.has_relative_path()) {
        auto parent = dir.parent_path();
        auto d = deviceOf(parent);
        if (!d || *d != device) break;
        dir = parent;
    }
    return dir;
}

Result<TrashPlace> trashOnMount(const fs::path& top) {
    const std::string uid = std::to_string(::getuid());
    // A shared .Trash is trusted only when an administrator made it: a real folder with
    // the sticky bit, so that users cannot take each other's folders in it.
    const fs::path shared = top / ".Trash";
    struct stat st {};
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        if (prepareTrash(shared / uid, Links::Refused)) return TrashPlace{shared / uid, top};
    }
    const fs::path own = top / (".Trash-" + uid);
    if (auto s = prepareTrash(own, Links::Refused); !s) {
        return Status::failure("没有能接收 " + utf8FromPath(top) + " 中文件的回收站：" + s.message());
    }
    return TrashPlace{own, top};
}

std::string percentEncoded(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
                     c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string deletionDate() {
    std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// Names in the trash are the original name, then "stem.2.ext", "stem.3.ext"...; a name
// too long for its record's ".trashinfo" is shortened at a character boundary.
std::string candidateName(const std::string& original, int attempt) {
    fs::path p(original);
    std::string stem = p.stem().string();
    std::string ext = p.extension().string();
    std::string suffix = attempt > 1 ? "." + std::to_string(attempt) : std::string();
    const std::size_t limit = 255 - std::string(".trashinfo").size();
    std::size_t room = limit > suffix.size() + ext.size() ? limit - suffix.size() - ext.size() : 0;
    if (stem.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;
        stem.resize(cut);
    }
    return stem + suffix + ext;
}

Status writeInfo(int fd, const fs::path& infoPath, const std::string& recorded) {
    std::string text = "[Trash Info]\nPath=" + percentEncoded(recorded) + "\nDeletionDate=" + deletionDate() + "\n";
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Status::failure("无法写入 " + utf8FromPath(infoPath) + "：" + errorText(errno));
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) return Status::failure("无法写入磁盘 " + utf8FromPath(infoPath) + "：" + errorText(errno));
    return Status::success();
}

}  // namespace

fs::path homeTrashDirectory() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') return fs::path(data) / "Trash";
    if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".local/share/Trash";
    return {};
}

Result<TrashedFile> moveToTrash(const fs::path& file) { return moveToTrash(file, homeTrashDirectory()); }

Result<TrashedFile> moveToTrash(const fs::path& file, const fs::path& homeTrash) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(file, ec).lexically_normal();
    if (ec) return Status::failure("无法把 " + utf8FromPath(file) + " 移到回收站：" + describeSystemError(ec));
    struct stat st {};
    if (::lstat(absolute.c_str(), &st) != 0) {
        return Status::failure("无法把 " + utf8FromPath(file) + " 移到回收站：" + errorText(errno));
    }

    TrashPlace place;
    auto homeDevice = homeTrash.empty() ? std::nullopt : deviceOfNearestExisting(homeTrash);
    if (homeDevice && *homeDevice == st.st_dev) {
        if (auto s = prepareHomeTrash(homeTrash); !s) {
            return Status::failure("无法把 " + utf8FromPath(file) + " 移到回收站：" + s.message());
        }
        place.dir = homeTrash;
    } else {
        // Symbolic links in the folder path may lead onto another mount; the real folder
        // tells which mount the file is on.
        fs::path realDir = fs::weakly_canonical(absolute.parent_path(), ec);
        if (ec) return Status::failure("无法把 " + utf8FromPath(file) + " 移到回收站：" + describeSystemError(ec));
        auto onMount = trashOnMount(mountTop(realDir, st.st_dev));
        if (!onMount) return Status::failure("无法把 " + utf8FromPath(file) + " 移到回收站：" + onMount.message());
        place = *onMount;
    }

    std::string recorded = utf8FromPath(absolute);
    if (place.relativeTo) {
        fs::path realDir = fs::weakly_canonical(absolute.parent_path(), ec);
        recorded = utf8FromPath((realDir / absolute.filename()).lexically_relative(*place.relativeTo));
    }

    const std::string original = absolute.filename().string();
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const std::string name = candidateName(original, attempt);
        const fs::path infoPath = place.dir / "info" / (name + ".trashinfo");
        int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return Status::failure("无法创建 " + utf8FromPath(infoPath) + "：" + errorText(errno));
        }
        Status written = writeInfo(fd, infoPath, recorded);
        ::close(fd);
        if (!written) {
            ::unlink(infoPath.c_str());
            return written;
        }
        const fs::path target = place.dir / "files" / name;
        MoveOutcome moved = moveWithoutReplacing(absolute, target);
        if (moved.moved()) return TrashedFile{target, infoPath};
        ::unlink(infoPath.c_str());
        // A file left in files/ without its record still owns its name.
        if (moved.kind == MoveOutcome::Kind::TargetExists) continue;
        return Status::failure("无法把 " + utf8FromPath(file) + " 移到回收站：" + moved.message);
    }
    return Status::failure("无法把 " + utf8FromPath(file) + " 移到回收站：" + utf8FromPath(place.dir) +
                           " 中没有空闲的名称");
}

TrashedFile trashRecordOf(const fs::path& trashedFile) {
    const fs::path files = trashedFile.parent_path();
    if (files.filename() != "files") return TrashedFile{trashedFile, {}};
    return TrashedFile{trashedFile, files.parent_path() / "info" / (trashedFile.filename().string() + ".trashinfo")};
}

Status restoreFromTrash(const TrashedFile& trashed, const fs::path& original) {
    MoveOutcome moved = moveWithoutReplacing(trashed.file, original);
    if (!moved.moved()) return Status::failure(moved.message);
    if (!trashed.info.empty()) ::unlink(trashed.info.c_str());
    return Status::success();
}

}  // namespace platform
