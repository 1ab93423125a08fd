#pragma once

// The fixed layout of the build stamp area: the library defines the area with
// these sizes, and the tools, tests and fuzzers read it with them. The marker's
// text is not here: a literal in a header the library includes could put a
// second copy of the marker into the library file.

#include <cstddef>

namespace buildstamp {

/// The whole area: marker, text and its NUL, zero padding, reversed marker, final NUL.
constexpr std::size_t areaSize = 4281;
/// The leading marker's length, and the reversed one's.
constexpr std::size_t markerLength = 13;
/// Where the reversed marker starts; the area's final NUL follows it.
constexpr std::size_t trailerOffset = areaSize - markerLength - 1;

} // namespace buildstamp
