#!/usr/bin/env bash
# The installed framework seen from outside, one step per call:
#   installCheck.sh STEP BUILD_DIR SOURCE_DIR
# Work goes to BUILD_DIR/installTest: the prefix, the example's builds and the
# guide's snippets.
#   install   fresh install into the prefix; the tree holds exactly what it
#             should, and nothing carries the build's own compile options
#   headers   every installed header compiles alone, from the prefix only
#   cmake     examples/hello configured and built out of tree with CMake
#   pkgconfig examples/hello built with one g++ line and pkg-config
#   guide     every ```cpp block of docs/guide.md compiles against the prefix
#   reference Doxygen over the installed headers (docs/Doxyfile) warns about
#             nothing: every public declaration carries its comment
#   examples  every example of examples/ built out of tree with CMake, with
#             warnings as errors
set -euo pipefail
step="$1" build="$(cd "$2" && pwd)" src="$(cd "$3" && pwd)"
work="$build/installTest"
prefix="$work/prefix"
cxxflags=(-std=c++17 -Wall -Wextra -Werror)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

case "$step" in
  install)
    rm -rf "$work"
    mkdir -p "$work"
    cmake --install "$build" --prefix "$prefix" >"$work/install.log"
    echo "== find $prefix -type f | sort"
    (cd "$prefix" && find . -type f | sort | sed 's|^\./||') | tee "$work/tree.txt"
    for f in lib/libzeu.a lib/libzeShape.a lib/libviewkit_files.a lib/libviewkit_view.a lib/cmake/zeu/zeuConfig.cmake \
      lib/cmake/zeu/zeuConfigVersion.cmake lib/cmake/zeu/zeuTargets.cmake \
      lib/pkgconfig/zeu.pc lib/pkgconfig/zeShape.pc lib/pkgconfig/viewkit.pc bin/drape; do
      grep -qx "$f" "$work/tree.txt" || fail "$f is not installed"
    done
    # Headers: exactly the public ones of zeu/, zeShape/, viewkit/files/ and
    # viewkit/view/, so no test or bench header either.
    expected="$(cd "$src" && ls zeu/*.h zeShape/*.h viewkit/files/*.h viewkit/view/*.h |
      grep -vx -e 'zeShape/zeShapeLists.h' -e 'zeu/zeuHooks.h' | sort)"
    installed="$(grep '^include/' "$work/tree.txt" | sed 's|^include/||' | sort)"
    [ "$installed" = "$expected" ] || fail "installed headers differ from the public ones:
$(diff <(echo "$expected") <(echo "$installed") || true)"
    # The build's warnings, float and sanitizer compile options are its own.
    if grep -rn -e 'ffp-contract' -e 'ze_options' -e '-Wextra' "$prefix/lib/cmake" "$prefix/lib/pkgconfig"; then
      fail "the package forces the build's own options on its users"
    fi
    ;;
  headers)
    count=0
    while read -r h; do
      printf '#include "%s"\n' "$h" >"$work/header.cpp"
      g++ "${cxxflags[@]}" -fsyntax-only -I"$prefix/include" "$work/header.cpp" ||
        fail "$h does not compile on its own"
      count=$((count + 1))
    done < <(cd "$prefix/include" && find . -name '*.h' | sed 's|^\./||' | sort)
    [ "$count" -gt 0 ] || fail "no header installed"
    echo "$count installed headers compile on their own"
    ;;
  cmake)
    rm -rf "$work/hello-cmake"
    cmake -S "$src/examples/hello" -B "$work/hello-cmake" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >"$work/hello-cmake.log"
    cmake --build "$work/hello-cmake" >>"$work/hello-cmake.log"
    grep -qx "zeu_DIR:PATH=$prefix/lib/cmake/zeu" "$work/hello-cmake/CMakeCache.txt" ||
      fail "the package was not found in the prefix: $(grep zeu_DIR "$work/hello-cmake/CMakeCache.txt")"
    grep -q -- "-I$src\|ffp-contract" "$work/hello-cmake/compile_commands.json" &&
      fail "hello is compiled with the source tree or the build's own options"
    echo "hello built with CMake against $prefix"
    ;;
  pkgconfig)
    rm -f "$work/hello-pkgconfig"
    export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
    set -x
    g++ -std=c++17 -o "$work/hello-pkgconfig" "$src/examples/hello/hello.cpp" $(pkg-config --cflags --libs zeShape)
    set +x
    ;;
  guide)
    rm -rf "$work/guide"
    mkdir -p "$work/guide"
    # Block n goes to snippet<n>.cpp, after the includes of every installed
    # header and of <cmath> and <cstdio>; each compiles as a file of its own.
    prelude="$work/guide/prelude.h"
    (cd "$prefix/include" && find . -name '*.h' | sed 's|^\./||' | sort) |
      sed 's|.*|#include "&"|' >"$prelude"
    printf '#include <cmath>\n#include <cstdio>\n' >>"$prelude"
    awk -v dir="$work/guide" -v prelude="$prelude" '
      /^```cpp[[:space:]]*$/ {
        n++; file = sprintf("%s/snippet%02d.cpp", dir, n); inside = 1
        while ((getline line < prelude) > 0) print line > file
        close(prelude); next
      }
      /^```/ && inside { inside = 0; close(file); next }
      inside { print > file }
    ' "$src/docs/guide.md"
    count=0
    for f in "$work"/guide/snippet*.cpp; do
      [ -e "$f" ] || break
      g++ "${cxxflags[@]}" -c -o "${f%.cpp}.o" -I"$prefix/include" "$f" ||
        fail "the guide's block $(basename "$f" .cpp) does not compile"
      count=$((count + 1))
    done
    [ "$count" -gt 0 ] || fail "no cpp block in docs/guide.md"
    echo "$count blocks of docs/guide.md compile"
    ;;
  reference)
    command -v doxygen >/dev/null || fail "doxygen is not installed (scripts/setup.sh installs it)"
    # Doxygen checks a header's free functions only when the file itself is
    # documented.
    while read -r h; do
      grep -q '^/// @file' "$prefix/include/$h" || fail "$h has no /// @file comment"
    done < <(cd "$prefix/include" && find . -name '*.h' | sed 's|^\./||' | sort)
    rm -rf "$work/reference"
    mkdir -p "$work/reference"
    ZE_DOXY_INPUT="$prefix/include" ZE_DOXY_STRIP="$prefix/include" ZE_DOXY_OUTPUT="$work/reference" \
      doxygen "$src/docs/Doxyfile"
    [ -f "$work/reference/html/index.html" ] || fail "doxygen wrote no HTML"
    if [ -s "$work/reference/warnings.log" ]; then
      cat "$work/reference/warnings.log" >&2
      fail "doxygen warns about the installed headers"
    fi
    echo "the reference of $prefix/include builds without a warning"
    ;;
  examples)
    rm -rf "$work/examples"
    # No optimisation: the run test only needs them to run, and this builds fastest.
    cmake -S "$src/examples" -B "$work/examples" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON -DCMAKE_BUILD_TYPE= \
      -DCMAKE_CXX_FLAGS="${cxxflags[*]}" >"$work/examples.log"
    cmake --build "$work/examples" -j2 >>"$work/examples.log" ||
      fail "the examples do not build: $(grep -A5 error "$work/examples.log" | head -40)"
    names="$(sed -n '/^set(ZE_EXAMPLES/,/)/p' "$src/examples/CMakeLists.txt" | tr -d '()' |
      sed 's/set\|ZE_EXAMPLES//g')"
    count=0
    for name in $names; do
      [ -x "$work/examples/$name" ] || fail "example $name was not built"
      count=$((count + 1))
    done
    echo "$count examples built against $prefix"
    ;;
  *)
    fail "unknown step $step"
    ;;
esac
