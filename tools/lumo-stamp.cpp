// lumo-stamp: prints and checks the build stamp of a lumo library file.
//
//   lumo-stamp FILE           the stamp as "key: value" lines
//   lumo-stamp --json FILE    the stamp as one JSON object
//   lumo-stamp --check FILE   verifies the layout; exit 1 and one line saying why if it is off
//   lumo-stamp --load FILE    loads the library as a host does and prints what its entry returns
//   lumo-stamp --restamp FILE sets the stamp's size to the file's size, after strip for instance
//
// All but --load scan the file without loading it; FILE may be a link to the library. A file that
// cannot be read, or holds no complete stamp (a text that is not "|key|value" pairs included),
// gives one line on stderr and exit status 2.

#include "buildstamp.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <string>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: lumo-stamp [--json | --check | --load | --restamp] FILE\n");
    return 2;
}

std::string jsonString(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

int load(const std::string &file)
{
    // dlopen searches the library path for names without a slash.
    const std::string path = file.find('/') == std::string::npos ? "./" + file : file;
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "lumo-stamp: cannot load %s: %s\n", file.c_str(), dlerror());
        return 2;
    }
    using Entry = const char *(*)();
    auto entry = reinterpret_cast<Entry>(dlsym(handle, "tolmenpackage_lumo"));
    if (!entry) {
        std::fprintf(stderr, "lumo-stamp: %s has no tolmenpackage_lumo\n", file.c_str());
        return 2;
    }
    std::printf("%s\n", entry());
    return 0;
}

// Stripping a library shrinks it and leaves the stamp's size behind. Only the
// size is rewritten; the file keeps its size, as the stamp area keeps its own.
int restamp(const std::string &file, std::string &bytes, buildstamp::Stamp &stamp)
{
    std::string error;
    const std::string size = std::to_string(bytes.size());
    bool changed = false;
    for (auto &[key, value] : stamp.pairs) {
        if (key == "size" && value != size) {
            value = size;
            changed = true;
        }
    }
    // A file whose stamp is right already is left alone, not written again.
    if (!changed && buildstamp::check(bytes, error)) {
        std::printf("%s: build stamp size %s, unchanged\n", file.c_str(), size.c_str());
        return 0;
    }
    if (!buildstamp::write(bytes, stamp.pairs, error) || !buildstamp::check(bytes, error)) {
        std::fprintf(stderr, "lumo-stamp: %s: %s\n", file.c_str(), error.c_str());
        return 1;
    }
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        std::fprintf(stderr, "lumo-stamp: cannot write %s\n", file.c_str());
        return 1;
    }
    std::printf("%s: build stamp size %s\n", file.c_str(), size.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::string mode, file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json" || arg == "--check" || arg == "--load" || arg == "--restamp") {
            if (!mode.empty())
                return usage();
            mode = arg;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usage();
        } else if (file.empty()) {
            file = arg;
        } else {
            return usage();
        }
    }
    if (file.empty())
        return usage();
    if (mode == "--load")
        return load(file);

    std::string bytes, error;
    buildstamp::Stamp stamp;
    if (!buildstamp::readFile(file, bytes, error) || !buildstamp::read(bytes, stamp, error)) {
        std::fprintf(stderr, "lumo-stamp: %s: %s\n", file.c_str(), error.c_str());
        return 2;
    }
    if (mode == "--restamp")
        return restamp(file, bytes, stamp);
    if (mode == "--check") {
        if (!buildstamp::check(bytes, error)) {
            std::fprintf(stderr, "lumo-stamp: %s: %s\n", file.c_str(), error.c_str());
            return 1;
        }
        std::printf("%s: build stamp OK\n", file.c_str());
        return 0;
    }
    if (mode == "--json") {
        std::string json = "{";
        for (std::size_t i = 0; i < stamp.pairs.size(); ++i)
            json += (i ? ", " : "") + jsonString(stamp.pairs[i].first) + ": "
                    + jsonString(stamp.pairs[i].second);
        std::printf("%s}\n", json.c_str());
        return 0;
    }
    for (const auto &[key, value] : stamp.pairs)
        std::printf("%s: %s\n", key.c_str(), value.c_str());
    return 0;
}
