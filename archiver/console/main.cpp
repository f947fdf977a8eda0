// myrar: the console archiver that the program carries and drives.
#include <iostream>

#include "archiver/console/console_io.h"
#include "archiver/console/myrar.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // The output carries its own CR LF; text mode would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    console::ConsoleIo io(std::cout, std::cin);
    return console::runMyrar(console::argumentsAsUtf8(argc, argv), io);
}
