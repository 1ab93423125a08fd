// Post-link step of the build: fills in the build stamp of the linked
// liblumo.so in place. Writing after linking is what lets the stamp record the
// finished file's own size; the text changes, the file's size does not.
//
// lumo-stamp-patch FILE --source-dir DIR --compiler TEXT --target-os TEXT
//                  --build-cfg TEXT --filename NAME --path DIR/ --vendor TEXT
//                  --product TEXT --version MAJOR.MINOR.PATCH [--reproducible 1]
//
// --filename is the name the stamp gives the library (liblumo.so), which may
// differ from FILE's (liblumo.so.1.0.0). With --reproducible 1 the user, host
// and folder are fixed texts, so that the same sources built elsewhere by
// someone else give the same file (the time follows SOURCE_DATE_EPOCH).

#include "buildstamp.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace {

std::string commandOutput(const std::string &command)
{
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe.get()))
        output += buffer;
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    return output;
}

std::string shellQuote(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string sourceRevision(const std::string &sourceDir)
{
    const std::string hash
            = commandOutput("git -C " + shellQuote(sourceDir) + " rev-parse HEAD 2>/dev/null");
    const bool valid
            = hash.size() == 40 && hash.find_first_not_of("0123456789abcdef") == std::string::npos;
    return valid ? hash : std::string(40, '0');
}

std::string userName()
{
    if (const passwd *pw = getpwuid(geteuid()))
        return pw->pw_name;
    const char *user = std::getenv("USER");
    return user ? user : "unknown";
}

std::string hostName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return "unknown";
    return name;
}

// The build time, or SOURCE_DATE_EPOCH (in UTC) for reproducible builds.
std::string buildTime()
{
    std::time_t when = std::time(nullptr);
    std::tm parts {};
    const char *epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (epoch && *epoch) {
        when = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
        gmtime_r(&when, &parts);
    } else {
        localtime_r(&when, &parts);
    }
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || (argc - 2) % 2 != 0) {
        std::fprintf(stderr, "usage: lumo-stamp-patch FILE --option VALUE ...\n");
        return 2;
    }
    const std::string file = argv[1];
    std::map<std::string, std::string> options;
    for (int i = 2; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];

    std::string major = "0", minor = "0", patch = "0";
    const std::string version = options["--version"];
    const std::size_t dot1 = version.find('.');
    const std::size_t dot2 = dot1 == std::string::npos ? dot1 : version.find('.', dot1 + 1);
    if (dot1 != std::string::npos) {
        major = version.substr(0, dot1);
        minor = version.substr(dot1 + 1, dot2 == std::string::npos ? dot2 : dot2 - dot1 - 1);
        if (dot2 != std::string::npos)
            patch = version.substr(dot2 + 1);
    }

    std::string bytes, error;
    if (!buildstamp::readFile(file, bytes, error)) {
        std::fprintf(stderr, "lumo-stamp-patch: %s\n", error.c_str());
        return 2;
    }
    const bool reproducible = options["--reproducible"] == "1";
    const std::string fileName = options.count("--filename")
            ? options["--filename"]
            : file.substr(file.find_last_of('/') + 1);
    const buildstamp::Pairs pairs = {
        { "version_tag", "\\" },
        { "comment", sourceRevision(options["--source-dir"]) },
        { "compiler", options["--compiler"] },
        { "target_os", options["--target-os"] },
        { "build_cfg", options["--build-cfg"] },
        { "build_user", reproducible ? "builder" : userName() },
        { "build_ip", reproducible ? "buildhost" : hostName() },
        { "build_time", buildTime() },
        { "filename", fileName },
        { "path", reproducible ? "/build/" : options["--path"] },
        { "size", std::to_string(bytes.size()) },
        { "vendor", options["--vendor"] },
        { "product", options["--product"] },
        { "version_major", major },
        { "version_minor", minor },
        { "version_patch", patch },
    };
    if (!buildstamp::write(bytes, pairs, error) || !buildstamp::check(bytes, error)) {
        std::fprintf(stderr, "lumo-stamp-patch: %s: %s\n", file.c_str(), error.c_str());
        return 1;
    }
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "lumo-stamp-patch: cannot write %s\n", file.c_str());
        return 1;
    }
    return 0;
}
