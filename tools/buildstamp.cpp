#include "buildstamp.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace buildstamp {

std::string marker()
{
    // Assembled at run time so that no tool carries the marker as a literal
    // that a scan of the tool itself would find.
    return std::string("47") + "VendaxOri" + "11";
}

std::string trailer()
{
    std::string reversed = marker();
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}

const std::vector<std::string> &keys()
{
    static const std::vector<std::string> names
            = { "version_tag", "comment",       "compiler",      "target_os",
                "build_cfg",   "build_user",    "build_ip",      "build_time",
                "filename",    "path",          "size",          "vendor",
                "product",     "version_major", "version_minor", "version_patch" };
    return names;
}

std::vector<std::size_t> findMarker(const std::string &bytes)
{
    std::vector<std::size_t> found;
    const std::string needle = marker();
    for (std::size_t at = bytes.find(needle); at != std::string::npos;
         at = bytes.find(needle, at + 1))
        found.push_back(at);
    return found;
}

bool parse(const std::string &text, Pairs &pairs, std::string &error)
{
    pairs.clear();
    if (text.empty() || text.front() != '|') {
        error = "build stamp text does not start with '|'";
        return false;
    }
    std::vector<std::string> fields;
    for (std::size_t start = 1;;) {
        const std::size_t bar = text.find('|', start);
        fields.push_back(
                text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    if (fields.size() % 2 != 0) {
        error = "build stamp text ends with a key without a value";
        return false;
    }
    for (std::size_t i = 0; i < fields.size(); i += 2)
        pairs.emplace_back(fields[i], fields[i + 1]);
    return true;
}

bool read(const std::string &bytes, Stamp &stamp, std::string &error)
{
    const std::vector<std::size_t> found = findMarker(bytes);
    if (found.empty()) {
        error = "no build stamp found";
        return false;
    }
    stamp.offset = found.front();
    if (bytes.size() - stamp.offset < areaSize) {
        error = "build stamp truncated: the file ends "
                + std::to_string(bytes.size() - stamp.offset) + " bytes into its "
                + std::to_string(areaSize) + "-byte area";
        return false;
    }
    const std::size_t textStart = stamp.offset + markerLength;
    const std::size_t nul = bytes.find('\0', textStart);
    if (nul == std::string::npos || nul >= stamp.offset + trailerOffset) {
        error = "build stamp text is not terminated inside its area";
        return false;
    }
    stamp.text = bytes.substr(textStart, nul - textStart);
    return parse(stamp.text, stamp.pairs, error);
}

bool check(const std::string &bytes, std::string &error)
{
    Stamp stamp;
    if (!read(bytes, stamp, error))
        return false;
    const std::size_t markers = findMarker(bytes).size();
    if (markers != 1) {
        error = "marker found " + std::to_string(markers) + " times, expected once";
        return false;
    }
    const std::size_t padding = stamp.offset + markerLength + stamp.text.size() + 1;
    const std::size_t trailerAt = stamp.offset + trailerOffset;
    if (std::any_of(bytes.begin() + padding, bytes.begin() + trailerAt,
                    [](char c) { return c != '\0'; })) {
        error = "non-zero bytes between the text and the trailing marker";
        return false;
    }
    if (bytes.compare(trailerAt, markerLength, trailer()) != 0
        || bytes[trailerAt + markerLength] != '\0') {
        error = "trailing marker or final NUL missing at offset " + std::to_string(trailerAt);
        return false;
    }
    if (stamp.pairs.size() != keys().size()) {
        error = "expected " + std::to_string(keys().size()) + " key/value pairs, found "
                + std::to_string(stamp.pairs.size());
        return false;
    }
    for (std::size_t i = 0; i < keys().size(); ++i) {
        if (stamp.pairs[i].first != keys()[i]) {
            error = "key " + std::to_string(i + 1) + " is '" + stamp.pairs[i].first
                    + "', expected '" + keys()[i] + "'";
            return false;
        }
    }
    const std::string size = std::to_string(bytes.size());
    if (stamp.pairs[10].second != size) {
        error = "size is '" + stamp.pairs[10].second + "' but the file has " + size + " bytes";
        return false;
    }
    return true;
}

std::string format(const Pairs &pairs)
{
    std::string text;
    for (const auto &[key, value] : pairs)
        text += '|' + key + '|' + value;
    return text;
}

bool write(std::string &bytes, const Pairs &pairs, std::string &error)
{
    const std::vector<std::size_t> found = findMarker(bytes);
    if (found.size() != 1) {
        error = found.empty()
                ? "no build stamp found"
                : "marker found " + std::to_string(found.size()) + " times, expected once";
        return false;
    }
    const std::size_t offset = found.front();
    if (bytes.size() - offset < areaSize) {
        error = "build stamp truncated";
        return false;
    }
    for (const auto &[key, value] : pairs) {
        if (key.find('|') != std::string::npos || value.find('|') != std::string::npos
            || key.find('\0') != std::string::npos || value.find('\0') != std::string::npos) {
            error = "'" + key + "' holds a '|' or a NUL";
            return false;
        }
    }
    const std::string text = format(pairs);
    const std::size_t room = trailerOffset - markerLength - 1;
    if (text.size() > room) {
        error = "build stamp text of " + std::to_string(text.size()) + " bytes exceeds its room of "
                + std::to_string(room);
        return false;
    }
    const std::size_t textStart = offset + markerLength;
    std::fill(bytes.begin() + textStart, bytes.begin() + offset + trailerOffset, '\0');
    std::copy(text.begin(), text.end(), bytes.begin() + textStart);
    return true;
}

bool readFile(const std::string &path, std::string &bytes, std::string &error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

} // namespace buildstamp
