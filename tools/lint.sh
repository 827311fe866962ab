#!/usr/bin/env bash
# The source checks of ./test.sh: tools/lint.sh format | tidy BUILD_DIR [JOBS]
#   format  every project source is as .clang-format lays it out (clang-format --dry-run)
#   tidy    clang-tidy with the root .clang-tidy over the project's own .cpp files, using the
#           compile_commands.json of BUILD_DIR (already built, so moc output exists); any
#           finding fails. Headers are checked through the files that include them.
set -euo pipefail
cd "$(dirname "$0")/.."

# The folders that hold the project's own C++ sources; build folders and generated files are
# elsewhere.
SOURCE_DIRS=(actions app bench config device fuzz macro tests tools ui)

case "${1:-}" in
  format)
    # In a git checkout the files git knows (so another's unsaved scratch file does not count),
    # else every source in the folders.
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
      git ls-files -z -- "${SOURCE_DIRS[@]/%//*.cpp}" "${SOURCE_DIRS[@]/%//*.h}"
    else
      find "${SOURCE_DIRS[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) -print0
    fi | xargs -0 clang-format --dry-run --Werror
    ;;
  tidy)
    build=${2:?build folder}
    jobs=${3:-$(nproc)}
    dirs=$(IFS='|'; echo "${SOURCE_DIRS[*]}")
    root=$(printf '%s' "$PWD" | sed 's/[][\.*^$+?(){}|]/\\&/g')  # the path as a regex
    log="$build/clang-tidy.log"
    start=$SECONDS
    # run-clang-tidy takes each file of the database once, however many targets compile it.
    status=0
    # -Wno-error: a -Werror build's flags would turn clang's own warnings, which the compiler of
    # the build (gcc) decides, into errors here.
    run-clang-tidy -quiet -extra-arg=-Wno-error -p "$build" -j "$jobs" \
      "^$root/($dirs)/.*\.cpp\$" >"$log" 2>&1 || status=$?
    # run-clang-tidy always asks for colours; the log and CI read plain text.
    sed -i 's/\x1b\[[0-9;]*m//g' "$log"
    noise='^(clang-tidy|Running clang-tidy|[0-9]+ warnings?( and [0-9]+ errors?)? generated'
    noise+='|Suppressed [0-9]+ warnings|Use -header-filter|Use -system-headers)'
    grep -vE "$noise" "$log" || true
    echo "clang-tidy: $((SECONDS - start)) s, $(grep -c '^clang-tidy' "$log") files (log in $log)"
    exit "$status"
    ;;
  *)
    echo "usage: $0 format | tidy BUILD_DIR [JOBS]" >&2
    exit 2
    ;;
esac
