# What lumo's scripts share; sourced, never run. Each build folder belongs to
# a preset of CMakePresets.json, and an environment variable may move it.

# Runs a command as root: directly when root already (as in CI), else with sudo.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The build folder of a preset: its folder in CMakePresets.json, or where the
# variable named beside it says.
build_dir() {
    case "$1" in
    release) echo "${BUILD_DIR:-build}" ;;
    asan) echo "${ASAN_BUILD_DIR:-build-asan}" ;;
    nowebkit) echo "${NOWEBKIT_BUILD_DIR:-build-nowebkit}" ;;
    qt6) echo "${QT6_BUILD_DIR:-build-qt6}" ;;
    qt6-asan) echo "${QT6_ASAN_BUILD_DIR:-build-qt6-asan}" ;;
    fuzz) echo "${FUZZ_BUILD_DIR:-build-fuzz}" ;;
    fuzz6) echo "${FUZZ_BUILD_DIR:-build-fuzz6}" ;;
    bench) echo "${BENCH_BUILD_DIR:-build-bench}" ;;
    bench6) echo "${BENCH_BUILD_DIR:-build-bench6}" ;;
    *) echo "no preset '$1'" >&2; return 2 ;;
    esac
}

# Configures PRESET in its build folder, with further cache settings, and
# builds it (or the targets that follow "--").
build_preset() {
    local preset=$1 dir
    shift
    dir=$(build_dir "$preset")
    local settings=() targets=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do settings+=("$1"); shift; done
    [ $# -eq 0 ] || { shift; targets=(--target "$@"); }
    cmake --preset "$preset" -B "$dir" "${settings[@]}"
    cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
}

# Runs a program on a virtual X server of its own.
on_xvfb() {
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
}

# Runs the tests of a build folder on a virtual X server; further ctest
# arguments (-L unit, -R name) follow. GUI tests share the server and its
# keyboard focus: the ones that need the focus are marked RUN_SERIAL.
run_tests() {
    local dir=$1
    shift
    on_xvfb ctest --test-dir "$dir" --output-on-failure "$@"
}
