// Loads one library the way a host loads a package and prints the thread CPU
// time and the wall time, in nanoseconds, that dlopen and the first call took,
// then the size in bytes of the file that was loaded.
//
//   bench_load_probe lumo FILE   liblumo.so, with every Qt library it needs loaded first
//   bench_load_probe qtwidgets   Qt's Widgets library, with QtCore and QtGui loaded first
//
// Both start from the same bare process, so the two figures differ only in
// what the library itself costs: its own relocations, symbol binding,
// constructors and the libraries of its own that it pulls in. The Qt
// libraries are those of the Qt that lumo is built with, named by the build
// (LUMO_QT_LIBRARIES, QT_BASE_LIBRARIES: file names separated by ":";
// QT_WIDGETS_LIBRARY).

#include <cstdio>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <link.h>
#include <string>
#include <sys/stat.h>

namespace {

long long nanoseconds(clockid_t clock)
{
    timespec now;
    clock_gettime(clock, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Loads the libraries of a ":"-separated list of file names, in order.
bool preload(const std::string &names)
{
    std::string::size_type start = 0;
    while (start < names.size()) {
        std::string::size_type end = names.find(':', start);
        if (end == std::string::npos)
            end = names.size();
        const std::string name = names.substr(start, end - start);
        if (!dlopen(name.c_str(), RTLD_NOW | RTLD_GLOBAL)) {
            std::fprintf(stderr, "bench_load_probe: %s\n", dlerror());
            return false;
        }
        start = end + 1;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    const bool lumo = argc == 3 && std::strcmp(argv[1], "lumo") == 0;
    if (!lumo && !(argc == 2 && std::strcmp(argv[1], "qtwidgets") == 0)) {
        std::fprintf(stderr, "usage: bench_load_probe lumo FILE | qtwidgets\n");
        return 2;
    }
    if (!preload(lumo ? LUMO_QT_LIBRARIES : QT_BASE_LIBRARIES))
        return 1;
    const char *file = lumo ? argv[2] : QT_WIDGETS_LIBRARY;
    // QtWidgets has no entry function; its first use reads QWidget's meta-object.
    const char *entry = lumo ? "tolmenpackage_lumo" : "_ZN7QWidget16staticMetaObjectE";

    const long long cpuStart = nanoseconds(CLOCK_THREAD_CPUTIME_ID);
    const long long wallStart = nanoseconds(CLOCK_MONOTONIC);
    void *handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    void *symbol = handle ? dlsym(handle, entry) : nullptr;
    long long answer = 0;
    if (symbol) {
        if (lumo)
            answer = reinterpret_cast<const char *(*)()>(symbol)()[0];
        else
            answer = *static_cast<const volatile char *>(symbol);
    }
    const long long cpu = nanoseconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
    const long long wall = nanoseconds(CLOCK_MONOTONIC) - wallStart;
    if (!symbol) {
        std::fprintf(stderr, "bench_load_probe: %s\n", dlerror());
        return 1;
    }
    link_map *loaded = nullptr;
    struct stat info;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &loaded) != 0 || stat(loaded->l_name, &info) != 0) {
        std::fprintf(stderr, "bench_load_probe: cannot find the file of %s\n", file);
        return 1;
    }
    // The entry's answer goes out too, so that the call cannot be left out.
    std::printf("%lld %lld %lld %lld\n", cpu, wall, static_cast<long long>(info.st_size), answer);
    return 0;
}
