#include "platform/file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "platform/paths.h"
#include "platform/system_error_text.h"
#include "platform/windows_api.h"

namespace platform {
namespace {

// "<what> <file>：<reason>", the reason in Chinese.
std::string describe(const char* what, const std::filesystem::path& path, DWORD error) {
    return std::string(what) + " " + utf8FromPath(path) + "：" +
           describeSystemError(std::error_code(static_cast<int>(error), std::system_category()));
}

HANDLE handleOf(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }
std::intptr_t valueOf(HANDLE h) { return reinterpret_cast<std::intptr_t>(h); }

Status writeAll(HANDLE h, const std::uint8_t* data, std::size_t size, const std::filesystem::path& path) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, data, chunk, &written, nullptr)) return Status::failure(describe("无法写入", path, ::GetLastError()));
        if (written == 0) return Status::failure(describe("无法写入", path, ERROR_WRITE_FAULT));
        data += written;
        size -= written;
    }
    return Status::success();
}

std::filesystem::path folderOf(const std::filesystem::path& target) {
    auto dir = target.parent_path();
    return dir.empty() ? std::filesystem::path(L".") : dir;
}

// Attributes a replacing file takes over from the file it replaces; read-only is not
// among them: a read-only target refuses to be replaced, as Windows users expect.
constexpr DWORD kCarriedAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Renames the open file `h` over `target` with POSIX semantics: the name moves at once even
// while others hold the replaced file open (as a reader of the old archive does), and they
// go on reading the old bytes. False where the system lacks it (before Windows 10 1809,
// FAT, Wine); the caller then renames by name.
bool renameOverOpenTarget(HANDLE h, const std::filesystem::path& target) {
    // FILE_RENAME_INFO with its Flags member, spelled out: older headers only know the
    // ReplaceIfExists byte that shares its place.
    struct RenameInfo {
        DWORD flags;
        HANDLE rootDirectory;
        DWORD fileNameLength;
        WCHAR fileName[1];
    };
    const std::wstring& name = target.native();
    const std::size_t bytes = sizeof(RenameInfo) + name.size() * sizeof(WCHAR);
    std::vector<unsigned char> storage(bytes, 0);
    auto* info = reinterpret_cast<RenameInfo*>(storage.data());
    info->flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
    info->rootDirectory = nullptr;
    info->fileNameLength = static_cast<DWORD>(name.size() * sizeof(WCHAR));
    std::copy(name.begin(), name.end(), info->fileName);
    // FileRenameInfoEx, which the headers declare only for newer targets than ours.
    const auto renameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
    return ::SetFileInformationByHandle(h, renameInfoEx, info, static_cast<DWORD>(bytes)) != 0;
}

bool processIsRunning(DWORD pid) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;  // someone else's, but alive
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

}  // namespace

ReadableFile::ReadableFile(std::filesystem::path path, std::intptr_t handle, std::uint64_t size)
    : path_(std::move(path)), handle_(handle), size_(size) {}

ReadableFile::ReadableFile(ReadableFile&& other) noexcept
    : path_(std::move(other.path_)), handle_(other.handle_), size_(other.size_) {
    other.handle_ = -1;
}

ReadableFile& ReadableFile::operator=(ReadableFile&& other) noexcept {
    if (this != &other) {
        if (handle_ != -1) ::CloseHandle(handleOf(handle_));
        path_ = std::move(other.path_);
        handle_ = other.handle_;
        size_ = other.size_;
        other.handle_ = -1;
    }
    return *this;
}

ReadableFile::~ReadableFile() {
    if (handle_ != -1) ::CloseHandle(handleOf(handle_));
}

Result<ReadableFile> ReadableFile::open(const std::filesystem::path& path) {
    // Others may go on reading, writing, renaming or deleting the file meanwhile, as they
    // can on Linux; this reader keeps the bytes it opened.
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return Status::failure("无法打开 " + utf8FromPath(path) + "：这是一个文件夹");
        }
        return Status::failure(describe("无法打开", path, error));
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(h, &size)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(h);
        return Status::failure(describe("无法读取文件信息", path, error));
    }
    return ReadableFile(path, valueOf(h), static_cast<std::uint64_t>(size.QuadPart));
}

Result<std::size_t> ReadableFile::readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const {
    std::size_t done = 0;
    while (done < buffer.size()) {
        // The offset travels with each read, so readers on other threads never move it.
        const std::uint64_t at = offset + done;
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(handleOf(handle_), buffer.data() + done, chunk, &got, &position)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF) break;
            return Status::failure(describe("无法读取", path_, error));
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target, std::filesystem::path temp, std::intptr_t handle)
    : target_(std::move(target)), tempPath_(std::move(temp)), handle_(handle) {}

Result<AtomicFileWriter> AtomicFileWriter::create(const std::filesystem::path& requested, Links links) {
    static std::atomic<unsigned> counter{0};
    auto target = links == Links::ReplaceLink ? Result<std::filesystem::path>(requested) : fileBehindLinks(requested);
    if (!target) return target.status();
    const auto dir = folderOf(*target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto temp = dir / pathFromUtf8(temporaryFileName(::GetCurrentProcessId(), counter++));
        HANDLE h = ::CreateFileW(temp.c_str(), GENERIC_WRITE | GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) return AtomicFileWriter(*target, temp, valueOf(h));
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return Status::failure(describe("无法创建临时文件，用于写入", *target, error));
        }
    }
    return Status::failure("无法在 " + utf8FromPath(*target) + " 旁边创建临时文件：临时文件名都已被占用");
}

Status AtomicFileWriter::append(std::span<const std::uint8_t> bytes) {
    if (handle_ == -1) return Status::failure("内部错误：写入已关闭的临时文件 " + utf8FromPath(target_));
    auto s = writeAll(handleOf(handle_), bytes.data(), bytes.size(), tempPath_);
    if (s) written_ += bytes.size();
    return s;
}

Status AtomicFileWriter::appendRange(const ReadableFile& source, std::uint64_t offset, std::uint64_t length) {
    if (handle_ == -1) return Status::failure("内部错误：写入已关闭的临时文件 " + utf8FromPath(target_));
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(length, 1u << 20)));
    std::uint64_t left = length;
    while (left > 0) {
        auto chunk = std::span<std::uint8_t>(buffer.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size())));
        auto got = source.readAt(offset, chunk);
        if (!got) return got.status();
        if (*got == 0) return Status::failure("读取 " + utf8FromPath(source.path()) + " 时意外到了文件末尾");
        if (auto s = writeAll(handleOf(handle_), chunk.data(), *got, tempPath_); !s) return s;
        offset += *got;
        left -= *got;
        written_ += *got;
    }
    return Status::success();
}

Status AtomicFileWriter::commit() {
    if (handle_ == -1) return Status::failure("内部错误：提交已关闭的临时文件 " + utf8FromPath(target_));
    HANDLE h = handleOf(handle_);
    if (!::FlushFileBuffers(h)) return Status::failure(describe("无法写入磁盘", tempPath_, ::GetLastError()));
    const DWORD targetAttributes = ::GetFileAttributesW(target_.c_str());
    if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & kCarriedAttributes)) {
        FILE_BASIC_INFO info{};
        if (::GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info)) {
            info.FileAttributes = (info.FileAttributes & ~kCarriedAttributes) | (targetAttributes & kCarriedAttributes);
            (void)::SetFileInformationByHandle(h, FileBasicInfo, &info, sizeof info);
        }
    }
    std::error_code ec;
    std::filesystem::path absoluteTarget = std::filesystem::absolute(target_, ec);
    absoluteTarget.make_preferred();
    const bool renamed = !ec && renameOverOpenTarget(h, absoluteTarget);
    ::CloseHandle(h);
    handle_ = -1;
    // Either way one rename that replaces the target, written through before it returns:
    // the target is the old file or the new one, never a mixture and never missing.
    if (!renamed && !::MoveFileExW(tempPath_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Status::failure(describe("无法替换", target_, ::GetLastError()));
    }
    if (renamed) {
        // The rename through the handle has no write-through of its own.
        win32::Handle folder(::CreateFileW(folderOf(absoluteTarget).c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (folder.valid()) (void)::FlushFileBuffers(folder.get());
    }
    committed_ = true;
    return Status::success();
}

void AtomicFileWriter::abort() {
    if (handle_ != -1) {
        ::CloseHandle(handleOf(handle_));
        handle_ = -1;
    }
    if (!committed_ && !tempPath_.empty()) {
        ::DeleteFileW(tempPath_.c_str());
        committed_ = true;
    }
}

Result<bool> cutFileInPlace(const ReadableFile& file, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                            std::uint64_t newSize) {
    BY_HANDLE_FILE_INFORMATION was{};
    if (!::GetFileInformationByHandle(handleOf(file.nativeHandle()), &was)) return false;
    // Others may go on reading (the bytes change under them, as they would on Linux), but
    // nobody writes meanwhile; one who opened the file without letting others write
    // keeps it from being opened here at all. The name is opened as itself: a link in its
    // place is left to the rewrite, which finds the file behind it.
    win32::Handle h(::CreateFileW(file.path().c_str(), GENERIC_WRITE | GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h.valid()) return false;
    BY_HANDLE_FILE_INFORMATION now{};
    if (!::GetFileInformationByHandle(h.get(), &now)) return false;
    const std::uint64_t size = (static_cast<std::uint64_t>(now.nFileSizeHigh) << 32) | now.nFileSizeLow;
    if ((now.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
        now.dwVolumeSerialNumber != was.dwVolumeSerialNumber || now.nFileIndexHigh != was.nFileIndexHigh ||
        now.nFileIndexLow != was.nFileIndexLow || now.nNumberOfLinks != 1 || size != file.size())
        return false;
    // A reader that locks the file (as the program's own jobs and many others do) keeps the
    // bytes it opened: then the file is not changed under it.
    OVERLAPPED whole{};
    if (!::LockFileEx(h.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) return false;
    struct Unlocker {
        HANDLE h;
        ~Unlocker() {
            OVERLAPPED whole{};
            ::UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &whole);
        }
    } unlocker{h.get()};

    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::uint64_t at = offset + done;
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h.get(), bytes.data() + done, chunk, &written, &position)) {
            return Status::failure(describe("无法写入", file.path(), ::GetLastError()));
        }
        if (written == 0) return Status::failure(describe("无法写入", file.path(), ERROR_WRITE_FAULT));
        done += written;
    }
    if (!bytes.empty() && !::FlushFileBuffers(h.get())) return Status::failure(describe("无法写入磁盘", file.path(), ::GetLastError()));
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(newSize);
    if (!::SetFileInformationByHandle(h.get(), FileEndOfFileInfo, &end, sizeof end)) {
        return Status::failure(describe("无法截短", file.path(), ::GetLastError()));
    }
    if (!::FlushFileBuffers(h.get())) return Status::failure(describe("无法写入磁盘", file.path(), ::GetLastError()));
    return true;
}

void removeStaleTemporaryFilesIn(const std::filesystem::path& folder) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const auto process = temporaryFileProcess(utf8FromPath(entry.path().filename()));
        if (!process) continue;
        // A live process (ours or another copy's) may still be writing it; a number past
        // the range of process ids names no process at all.
        if (*process <= 0xFFFFFFFFull &&
            (*process == ::GetCurrentProcessId() || processIsRunning(static_cast<DWORD>(*process))))
            continue;
        std::error_code removeError;
        if (entry.is_regular_file(removeError)) std::filesystem::remove(entry.path(), removeError);
    }
}

}  // namespace platform
