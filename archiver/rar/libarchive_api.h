#pragma once
// The libarchive functions we call, reached through libarchiveApi(). The prototypes come
// from libarchive's own headers, so a change in its interface shows at compile time.
#include <archive.h>
#include <archive_entry.h>

#include "archiver/rar/libarchive_loader.h"

namespace rar {

struct LibarchiveApi {
    decltype(&archive_read_new) read_new;
    decltype(&archive_read_free) read_free;
    decltype(&archive_read_support_format_rar) read_support_format_rar;
    decltype(&archive_read_support_format_rar5) read_support_format_rar5;
    decltype(&archive_read_open) read_open;
    decltype(&archive_read_open_memory) read_open_memory;
    decltype(&archive_read_open_filename) read_open_filename;
    decltype(&archive_read_open_filename_w) read_open_filename_w;
    decltype(&archive_read_next_header) read_next_header;
    decltype(&archive_read_data) read_data;
    decltype(&archive_error_string) error_string;
    decltype(&archive_entry_pathname_utf8) entry_pathname_utf8;
};

}  // namespace rar
