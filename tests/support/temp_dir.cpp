#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>

namespace testsupport {

// Made here rather than by mkdtemp, which the Windows C runtime lacks: creating a folder
// fails on an existing name, so a name is taken by exactly one test.
TempDir::TempDir() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    auto base = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "pimingbao-test-";
        for (int i = 0; i < 6; ++i) name += letters[pick(random)];
        std::error_code ec;
        if (std::filesystem::create_directory(base / name, ec)) {
            path_ = base / name;
            std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace, ec);
            return;
        }
        if (ec) throw std::runtime_error("cannot create a test folder in " + base.string() + ": " + ec.message());
    }
    throw std::runtime_error("no free test folder name in " + base.string());
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only folders behind; give write access back before removing.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec); !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    }
    removeWhenFree(path_);
}

void removeWhenFree(const std::filesystem::path& path) {
#ifdef _WIN32
    constexpr int kAttempts = 100;
#else
    constexpr int kAttempts = 1;  // nothing stays busy
#endif
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
        if (!ec || !std::filesystem::exists(path, ec)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::filesystem::path TempDir::write(std::string_view relativePath, std::string_view bytes) const {
    auto p = *this / relativePath;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

}  // namespace testsupport
