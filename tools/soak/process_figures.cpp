#include "tools/soak/process_figures.h"

#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace zorvan::soak {

ProcessFigures processFigures() {
    ProcessFigures figures;
    std::int64_t pages = 0;
    std::int64_t resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    figures.residentBytes = resident * sysconf(_SC_PAGESIZE);
    const struct mallinfo2 heap = mallinfo2(); // summed over every arena
    figures.heapInUseBytes = std::int64_t(heap.uordblks + heap.hblkhd);
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("Threads:")) {
            figures.threads = std::stoi(line.substr(8));
        }
    }
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++figures.openFiles;
    }
    --figures.openFiles; // the directory being listed
    return figures;
}

} // namespace zorvan::soak
