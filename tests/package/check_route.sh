#!/bin/sh
# Builds the program in outside/ against the library by one route, runs it
# headless and checks its output and exit status:
#   check_route.sh install SOURCE WORK          configure with BUILD_TESTING
#                                               off, build, install to WORK/prefix,
#                                               check the files installed
#   check_route.sh find_package SOURCE WORK PREFIX
#   check_route.sh subdirectory SOURCE WORK
#   check_route.sh pkg-config SOURCE WORK PREFIX
set -eu
route=$1 source=$2 work=$3 prefix=${4:-}
outside=$source/tests/package/outside
jobs="-j2"

rm -rf "$work"
mkdir -p "$work"
cd "$work"

fail() {
  echo "$route: $*"
  exit 1
}

case "$route" in
  install)
    cmake -S "$source" -B build -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >configure.log ||
      { cat configure.log; fail "configure failed"; }
    ! grep -Eq '^(GTest_DIR|GTEST_INCLUDE_DIR|benchmark_DIR):' build/CMakeCache.txt ||
      fail "configuring with BUILD_TESTING off looked for GoogleTest or Google Benchmark"
    cmake --build build $jobs --target kivet kivet-check >build.log ||
      { cat build.log; fail "build failed"; }
    cmake --install build --prefix "$work/prefix" >install.log || fail "install failed"
    for file in include/kivet/kivet.h include/kivet/display.h lib/libkivet.a \
        lib/cmake/kivet/kivetConfig.cmake lib/cmake/kivet/kivetTargets.cmake \
        lib/pkgconfig/kivet.pc lib/cmake/kivet/kivetConfigVersion.cmake \
        share/doc/kivet/README.md share/doc/kivet/CHANGELOG.md share/doc/kivet/docs/guide.md \
        share/doc/kivet/examples/hello.cpp share/doc/kivet/examples/hello.scr \
        share/doc/kivet/examples/hello.png share/doc/kivet/examples/question.in \
        share/doc/kivet/examples/expected/hello/check.txt bin/kivet-check \
        lib/cmake/kivet/kivetCheck.cmake \
        share/doc/kivet/third_party/dejavu/LICENSE share/doc/kivet/third_party/stb/LICENSE; do
      [ -f "prefix/$file" ] || fail "prefix/$file was not installed"
    done
    [ -z "$(find prefix/include -name 'stb*')" ] || fail "the stb headers were installed"
    exit 0
    ;;
  find_package)
    cmake -S "$outside" -B build -DCMAKE_PREFIX_PATH="$prefix" >configure.log ||
      { cat configure.log; fail "configure failed"; }
    cmake --build build $jobs >build.log || { cat build.log; fail "build failed"; }
    program=$work/build/program
    # The installed kivet-check makes an expected folder from the program,
    # and the package's kivet_add_check checks it under ctest.
    printf 'KIVET_PERIODIC(2);\n' >check.scr
    "$prefix/bin/kivet-check" --make-expected expected --script check.scr "$program" 2>make.log ||
      { cat make.log; fail "kivet-check --make-expected failed"; }
    cmake -S "$outside" -B build -DKIVET_OUTSIDE_EXPECTED="$work/expected" >configure.log ||
      { cat configure.log; fail "configure with a check failed"; }
    (cd build && ctest --output-on-failure >ctest.log) || { cat build/ctest.log; fail "ctest failed"; }
    grep -q 'program_check .*Passed' build/ctest.log || fail "kivet_add_check's test did not run"
    ;;
  subdirectory)
    cmake -S "$outside" -B build -DKIVET_SOURCE_DIR="$source" >configure.log ||
      { cat configure.log; fail "configure failed"; }
    cmake --build build $jobs --target program >build.log || { cat build.log; fail "build failed"; }
    program=$work/build/program
    ;;
  pkg-config)
    # The line a user types, with the package's place made known.
    PKG_CONFIG_PATH=$prefix/lib/pkgconfig
    export PKG_CONFIG_PATH
    version=$(pkg-config --modversion kivet)
    [ "$version" = 1.2.0 ] || fail "kivet.pc gives version $version, not 1.2.0"
    g++ "$outside/program.cpp" $(pkg-config --cflags --libs kivet) -o program ||
      fail "g++ with pkg-config failed"
    program=$work/program
    ;;
  *)
    fail "unknown route"
    ;;
esac

mkdir run
cd run
status=0
env -u DISPLAY -u WAYLAND_DISPLAY KIVET_BACKEND=headless "$program" </dev/null >stdout.txt ||
  status=$?
[ "$status" -eq 3 ] || fail "the program ended with status $status, not its kivet_main's 3"
diff -u "$outside/expected.out" stdout.txt || fail "standard output differs"
echo "$route: built, ran headless, exit status 3"
