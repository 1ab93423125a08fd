// Fuzzes the build stamp reader that lumo-stamp runs on library files:
// arbitrary bytes are written to a file, read back with buildstamp::readFile
// and given to read() and check(). Besides surviving any file, whatever
// read() accepts must read back as its pairs, and whatever check() accepts
// must be what the build writes: the sixteen pairs in order, and writing
// those pairs back changes no byte.

#include "buildstamp.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const std::string &what)
{
    std::fprintf(stderr, "buildstamp: %s\n", what.c_str());
    std::abort();
}

const std::string &scratchFile()
{
    static const std::string path = [] {
        char name[] = "/tmp/fuzz_buildstamp.XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0)
            fail("cannot create a scratch file");
        close(fd);
        std::atexit([] { unlink(scratchFile().c_str()); });
        return std::string(name);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    const std::string &path = scratchFile();
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(input.data(), 1, input.size(), file) != input.size()
        || std::fclose(file) != 0)
        fail("cannot write the scratch file");

    std::string bytes, error;
    if (!buildstamp::readFile(path, bytes, error))
        fail("readFile: " + error);
    if (bytes != input)
        fail("readFile returned other bytes than the file holds");

    buildstamp::Stamp stamp;
    const bool readable = buildstamp::read(bytes, stamp, error);
    const std::vector<std::size_t> markers = buildstamp::findMarker(bytes);
    if (readable && markers.empty())
        fail("read a stamp without a marker");
    if (readable) {
        if (stamp.offset != markers.front())
            fail("the stamp does not start at the first marker");
        if (stamp.text.find('\0') != std::string::npos
            || buildstamp::markerLength + stamp.text.size() >= buildstamp::trailerOffset)
            fail("the text runs past its room in the area");
        if (buildstamp::format(stamp.pairs) != stamp.text)
            fail("the text does not read back as its pairs");
    } else if (error.empty()) {
        fail("read failed without a reason");
    }

    std::string checkError;
    if (!buildstamp::check(bytes, checkError)) {
        if (checkError.empty())
            fail("check failed without a reason");
        return 0;
    }
    if (!readable || markers.size() != 1)
        fail("check accepted a file that has no single readable stamp");
    if (stamp.pairs.size() != buildstamp::keys().size())
        fail("check accepted a stamp without sixteen pairs");
    for (std::size_t i = 0; i < stamp.pairs.size(); ++i) {
        if (stamp.pairs[i].first != buildstamp::keys()[i])
            fail("check accepted key '" + stamp.pairs[i].first + "'");
    }
    if (stamp.pairs[10].second != std::to_string(bytes.size()))
        fail("check accepted a size that is not the file's");
    std::string rewritten = bytes;
    if (!buildstamp::write(rewritten, stamp.pairs, error))
        fail("writing back an accepted stamp failed: " + error);
    if (rewritten != bytes)
        fail("writing back an accepted stamp changed the file");
    return 0;
}
