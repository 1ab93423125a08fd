// The package entry of liblumo.so and its build stamp.
//
// The stamp is an area of fixed size (tools/buildstamplayout.h): the marker,
// the "|key|value" text and its NUL, zero padding, the reversed marker and a
// final NUL. The build fills
// in the text after linking (tools/lumo-stamp-patch), because some values,
// the file's own size among them, exist only once the file does. Hosts and
// lumo-stamp find the area by its marker, which must occur exactly once in
// the file: neither the interleaved copy nor the reversed marker contains it.

#include "buildstamplayout.h"
#include "lumo_export.h"

namespace {

struct BuildStamp
{
    char text[buildstamp::trailerOffset];
    char trailer[buildstamp::markerLength + 1];
};
static_assert(sizeof(BuildStamp) == buildstamp::areaSize, "the build stamp area has a fixed size");

__attribute__((used)) const BuildStamp buildStamp = { "47VendaxOri11", "11irOxadneV74" };

// The marker with '#' after each character; half its length is the marker's.
__attribute__((used)) const char interleavedMarker[] = "4#7#V#e#n#d#a#x#O#r#i#1#1#";

} // namespace

extern "C" LUMO_EXPORT const char *tolmenpackage_lumo()
{
    static const char *version = buildStamp.text;

    int length = 0;
    for (const char *c = interleavedMarker; *c; ++c)
        ++length;
    return version + length / 2;
}
