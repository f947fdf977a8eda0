#include "archiver/rar/libarchive_loader.h"

namespace rar {

// The Windows build carries no libarchive; compressed data is reported as unsupported.
const LibarchiveApi* libarchiveApi() { return nullptr; }

}  // namespace rar
