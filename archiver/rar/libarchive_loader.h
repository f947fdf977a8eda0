#pragma once
// libarchive is loaded when something first needs it rather than linked: most commands
// never decompress anything, and loading it with everything it pulls in (libxml2, ICU,
// the compressors) would cost every start of the program.
namespace rar {

struct LibarchiveApi;  // libarchive_api.h, for code built against libarchive's headers

// libarchive's functions, loaded on the first call (thread-safe) and kept for the life of
// the process; null where they cannot be had: the library is not installed, it lacks one
// of them, or the platform has none. Callers then behave as a build without it.
const LibarchiveApi* libarchiveApi();

}  // namespace rar
