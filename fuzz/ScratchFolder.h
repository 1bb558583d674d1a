// A scratch folder for fuzz targets that go through real files: made once per
// process in shared memory when the machine has it (writes there cost no disk
// sync), removed at exit. Path() ends with the path separator.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzzsupport {

inline const std::string& ScratchFolder() {
    static const std::string path = [] {
        std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string tmpl = base + "/fbwfuzz-XXXXXX";
        if (!::mkdtemp(tmpl.data()))
            std::abort();
        static std::string made;
        made = tmpl;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        return tmpl + "/";
    }();
    return path;
}

} // namespace fuzzsupport
