#pragma once
// Where the commands and jobs hand their progress and result texts (UTF-8); the window
// passes one that writes into its status line, the command-line front end one that prints.
#include <functional>
#include <string>

using StatusSink = std::function<void(const std::string& text)>;
