// veltro-mdb-reader: reads an Access file for the import and writes what it finds to
// standard output as frames. It runs as a program of its own, so a reader that crashes,
// loops or allocates without end on a damaged file costs a failed read, never the program.
#include "import/ChildJob.h"
#include "import/MdbReader.h"

#include <fcntl.h>
#include <unistd.h>
#include <csignal>
#include <string_view>

int main(int argc, char** argv) {
    using namespace veltro::import;
    std::signal(SIGPIPE, SIG_IGN);
    limitAddressSpace();
    const std::string_view command = argc > 1 ? argv[1] : "";
    // The library prints about damaged pages on standard output too: the frames get a
    // descriptor of their own and what the library prints goes nowhere.
    const int frames = ::dup(STDOUT_FILENO);
    if (const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC); devNull >= 0) {
        ::dup2(devNull, STDOUT_FILENO);
        ::close(devNull);
    }
    FrameWriter out(frames);
    int status = 2;
    try {
        if (command == "list" && argc == 3) {
            status = MdbReader::listTables(argv[2], out);
        } else if (command == "records" && argc == 5) {
            status = MdbReader::readRecords(argv[2], argv[3], argv[4], out);
        }
        out.flush();
    } catch (...) {
        status = 1;
    }
    return status;
}
