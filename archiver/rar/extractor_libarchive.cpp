#include "archiver/rar/extractor_libarchive.h"

#ifdef PIMINGBAO_HAVE_LIBARCHIVE
#include "archiver/rar/libarchive_api.h"
#endif

#include "platform/paths.h"

namespace rar {

#ifdef PIMINGBAO_HAVE_LIBARCHIVE

struct LibarchiveReader::State {
    explicit State(const LibarchiveApi& api) : la(api) {}
    const LibarchiveApi& la;
    struct archive* a = nullptr;
    ArchiveBytePump pump;
    std::string pumpError;
    long next = 0;  // ordinal of the header the next archive_read_next_header returns
    bool atEnd = false;
    ~State() {
        if (a) la.read_free(a);
    }
    std::string error(const char* what) const {
        const char* detail = a ? la.error_string(a) : nullptr;
        if (!pumpError.empty()) return std::string(what) + ": " + pumpError;
        return std::string(what) + (detail ? std::string(": ") + detail : std::string());
    }
};

namespace {

la_ssize_t pumpRead(struct archive*, void* client, const void** buffer) {
    auto* state = static_cast<LibarchiveReader::State*>(client);
    auto chunk = state->pump();
    if (!chunk) {
        state->pumpError = chunk.message();
        return -1;
    }
    *buffer = chunk->data();
    return static_cast<la_ssize_t>(chunk->size());
}

constexpr const char* kNoDecompressor = "unsupported compression: this build has no decompressor";

struct archive* newRarReader(const LibarchiveApi& la) {
    struct archive* a = la.read_new();
    la.read_support_format_rar(a);
    la.read_support_format_rar5(a);
    return a;
}

}  // namespace

bool LibarchiveReader::available() { return libarchiveApi() != nullptr; }

LibarchiveReader::LibarchiveReader(std::unique_ptr<State> state) : state_(std::move(state)) {}
LibarchiveReader::~LibarchiveReader() = default;

platform::Result<std::unique_ptr<LibarchiveReader>> LibarchiveReader::openFile(const std::filesystem::path& path) {
    const LibarchiveApi* la = libarchiveApi();
    if (!la) return platform::Status::failure(kNoDecompressor);
    auto state = std::make_unique<State>(*la);
    state->a = newRarReader(*la);
#ifdef _WIN32
    const int r = la->read_open_filename_w(state->a, path.c_str(), 1 << 16);
#else
    const int r = la->read_open_filename(state->a, path.c_str(), 1 << 16);
#endif
    if (r != ARCHIVE_OK) return platform::Status::failure(state->error("decompressor cannot open the archive"));
    return std::unique_ptr<LibarchiveReader>(new LibarchiveReader(std::move(state)));
}

platform::Result<std::unique_ptr<LibarchiveReader>> LibarchiveReader::openPump(ArchiveBytePump pump) {
    const LibarchiveApi* la = libarchiveApi();
    if (!la) return platform::Status::failure(kNoDecompressor);
    auto state = std::make_unique<State>(*la);
    state->a = newRarReader(*la);
    state->pump = std::move(pump);
    if (la->read_open(state->a, state.get(), nullptr, pumpRead, nullptr) != ARCHIVE_OK)
        return platform::Status::failure(state->error("decompressor cannot open the data"));
    return std::unique_ptr<LibarchiveReader>(new LibarchiveReader(std::move(state)));
}

platform::Result<std::string> LibarchiveReader::seek(std::size_t ordinal) {
    State& s = *state_;
    if (static_cast<long>(ordinal) < s.next) return platform::Status::failure("decompressor cannot go back");
    struct archive_entry* entry = nullptr;
    while (true) {
        if (s.atEnd) return platform::Status::failure("entry not found by the decompressor");
        const int r = s.la.read_next_header(s.a, &entry);
        if (r == ARCHIVE_EOF) {
            s.atEnd = true;
            continue;
        }
        if (r < ARCHIVE_WARN) return platform::Status::failure(s.error("decompressor failed"));
        const long current = s.next++;
        if (current == static_cast<long>(ordinal)) break;
    }
    const char* name = s.la.entry_pathname_utf8(entry);
    return std::string(name ? name : "");
}

platform::Result<std::size_t> LibarchiveReader::read(std::span<std::uint8_t> out) {
    const la_ssize_t n = state_->la.read_data(state_->a, out.data(), out.size());
    if (n < 0) return platform::Status::failure(state_->error("decompression failed"));
    return static_cast<std::size_t>(n);
}

#else  // no libarchive in this build

struct LibarchiveReader::State {};

bool LibarchiveReader::available() { return false; }
LibarchiveReader::LibarchiveReader(std::unique_ptr<State> state) : state_(std::move(state)) {}
LibarchiveReader::~LibarchiveReader() = default;

platform::Result<std::unique_ptr<LibarchiveReader>> LibarchiveReader::openFile(const std::filesystem::path&) {
    return platform::Status::failure("unsupported compression: this build has no decompressor");
}
platform::Result<std::unique_ptr<LibarchiveReader>> LibarchiveReader::openPump(ArchiveBytePump) {
    return platform::Status::failure("unsupported compression: this build has no decompressor");
}
platform::Result<std::string> LibarchiveReader::seek(std::size_t) {
    return platform::Status::failure("unsupported compression: this build has no decompressor");
}
platform::Result<std::size_t> LibarchiveReader::read(std::span<std::uint8_t>) {
    return platform::Status::failure("unsupported compression: this build has no decompressor");
}

#endif

}  // namespace rar
