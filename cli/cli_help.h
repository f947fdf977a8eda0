#pragma once
// The help text of pimingbao-cli, in Chinese and English.
#include <string>

namespace cli {

std::string cliHelpText();

}  // namespace cli
