#pragma once
// Rows of 超级列表框_文件 after a clean job over a typical download folder, one of each kind
// of outcome, worded by the same functions as a real job's: the documentation's picture
// of the "结果" column.
#include <string>
#include <vector>

#include "ui/core/main_view.h"

// `folder` ends in the platform's separator.
std::vector<ListRow> exampleResultRows(const std::string& folder);
