#include "archiver/rar/libarchive_loader.h"

#if PIMINGBAO_HAVE_LIBARCHIVE

#include <dlfcn.h>

#include <optional>

#include "archiver/rar/libarchive_api.h"

namespace rar {

namespace {

// The major version we were compiled against: another one may have changed what the
// prototypes in its headers mean.
constexpr const char* kLibarchiveSoname = "libarchive.so.13";

template <typename Function>
bool resolve(void* library, const char* name, Function& out) {
    void* symbol = dlsym(library, name);
    if (!symbol) return false;
    out = reinterpret_cast<Function>(symbol);
    return true;
}

std::optional<LibarchiveApi> load() {
    // Local: nothing else in the process should bind to its symbols by accident.
    void* library = dlopen(kLibarchiveSoname, RTLD_NOW | RTLD_LOCAL);
    if (!library) return std::nullopt;
    LibarchiveApi api{};
    const bool complete = resolve(library, "archive_read_new", api.read_new) &&
                          resolve(library, "archive_read_free", api.read_free) &&
                          resolve(library, "archive_read_support_format_rar", api.read_support_format_rar) &&
                          resolve(library, "archive_read_support_format_rar5", api.read_support_format_rar5) &&
                          resolve(library, "archive_read_open", api.read_open) &&
                          resolve(library, "archive_read_open_memory", api.read_open_memory) &&
                          resolve(library, "archive_read_open_filename", api.read_open_filename) &&
                          resolve(library, "archive_read_open_filename_w", api.read_open_filename_w) &&
                          resolve(library, "archive_read_next_header", api.read_next_header) &&
                          resolve(library, "archive_read_data", api.read_data) &&
                          resolve(library, "archive_error_string", api.error_string) &&
                          resolve(library, "archive_entry_pathname_utf8", api.entry_pathname_utf8);
    if (!complete) {
        dlclose(library);
        return std::nullopt;
    }
    // Never closed: readers may live until the process ends.
    return api;
}

}  // namespace

const LibarchiveApi* libarchiveApi() {
    static const std::optional<LibarchiveApi> api = load();
    return api ? &*api : nullptr;
}

}  // namespace rar

#else  // built without libarchive's headers

namespace rar {

const LibarchiveApi* libarchiveApi() { return nullptr; }

}  // namespace rar

#endif
