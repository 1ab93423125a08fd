#pragma once

// Reading, checking and writing the build stamp of a library file, without
// loading it. Plain C++ so that the build, lumo-stamp, the tests and the
// fuzzers share it.

#include "buildstamplayout.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace buildstamp {

using Pairs = std::vector<std::pair<std::string, std::string>>;

/// The 13-character leading marker.
std::string marker();
/// The marker reversed, which closes the area before its final NUL.
std::string trailer();
/// The sixteen keys in their fixed order.
const std::vector<std::string> &keys();

/// Offsets of every occurrence of the marker in \a bytes.
std::vector<std::size_t> findMarker(const std::string &bytes);

struct Stamp
{
    std::size_t offset = 0; ///< Where the area starts in the file.
    std::string text; ///< The key/value text after the marker.
    Pairs pairs; ///< The text split into pairs, in file order.
};

/// Splits the "|key|value|key|value" \a text into \a pairs. Returns false
/// with a one-line reason, and no pairs, when the text does not start with '|'
/// or its fields do not pair up (a key without a value at the end).
bool parse(const std::string &text, Pairs &pairs, std::string &error);

/// Finds the first stamp in \a bytes, reads its text and parses it. Returns
/// false with a one-line reason when there is no marker, the area is cut
/// short, or the text does not parse.
bool read(const std::string &bytes, Stamp &stamp, std::string &error);

/// Checks the whole layout: a single marker, the area within the file, the
/// NUL-terminated text, zero padding, trailer and final NUL, the sixteen keys
/// in order and "size" equal to the size of \a bytes.
bool check(const std::string &bytes, std::string &error);

/// The "|key|value" text of \a pairs.
std::string format(const Pairs &pairs);

/// Rewrites the text of the single stamp in \a bytes with \a pairs, keeping
/// the area's size and markers. Fails when the text would not fit.
bool write(std::string &bytes, const Pairs &pairs, std::string &error);

/// Reads a whole file; false with a one-line reason when it cannot.
bool readFile(const std::string &path, std::string &bytes, std::string &error);

} // namespace buildstamp
