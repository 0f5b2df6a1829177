#!/bin/bash
# What each install component of a build puts where, the way the Debian
# packages are cut from them:
#   install_layout_test.sh SOURCE_DIR BUILD_DIR CMAKE [CC]
# Runtime holds the shared libraries only, Tools the programs with manual
# pages and completion, Python the Python package, Development the headers (all in include/psenv, none
# for the tests only), link files, CMake package and pkg-config files;
# nothing is left without a component.  Every installed header compiles on
# its own with the installation's include folder alone.
set -u
source_dir=$1 build_dir=$2 cmake=$3 cc=${4:-cc}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# install COMPONENT: the component's files (and links), relative to its prefix.
install_component() {
  local prefix=$work/$1
  "$cmake" --install "$build_dir" --component "$1" --prefix "$prefix" >/dev/null ||
    fail "cmake --install of component $1"
  [ -d "$prefix" ] || return 0
  (cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort)
}

# expect_only COMPONENT PATTERN WANTED...: every file matches the extended
# regular expression PATTERN and each WANTED path is among them.
expect_only() {
  local component=$1 pattern=$2 files stray wanted
  shift 2
  files=$(install_component "$component")
  stray=$(grep -Ev -- "$pattern" <<<"$files")
  [ -z "$stray" ] || fail "component $component installs what belongs elsewhere: $(echo $stray)"
  for wanted in "$@"; do
    grep -qx -- "$wanted" <<<"$files" || fail "component $component lacks $wanted"
  done
}

lib='lib(64)?(/[a-z0-9_-]+)?'
expect_only Runtime "^$lib/lib[a-z]+\\.so(\\.[0-9]+){1,3}\$|^$lib/libpsg(param|acq)?\\.so\$"
expect_only Tools '^bin/(psenv|twinscan)$|^share/man/man1/(psenv|twinscan)\.1$|^share/bash-completion/completions/(psenv|twinscan|psenv-complete-words\.sh)$' \
  bin/psenv bin/twinscan share/man/man1/psenv.1 share/man/man1/twinscan.1 \
  share/bash-completion/completions/psenv share/bash-completion/completions/twinscan \
  share/bash-completion/completions/psenv-complete-words.sh

# bash-completion sources a command's file from wherever the shell stands:
# the installed file must find the helpers it shares beside itself.
completions=$work/Tools/share/bash-completion/completions
# installed_completion COMMAND WORD...: what the installed file offers for the last word.
installed_completion() {
  (cd / && bash -c 'file=$1 command=$2; shift 2; source "$file" 2>&1 || exit 1
      COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "_$command" 2>&1
      echo "${COMPREPLY[*]}"' check "$completions/$1" "$@")
}
got=$(installed_completion psenv true lock word --console "")
[ "$got" = "ardel quilmar" ] || fail "the installed completion of psenv offers '$got'"
got=$(installed_completion twinscan true --draw "")
[ "$got" = "text timing" ] || fail "the installed completion of twinscan offers '$got'"

expect_only Development "^include/psenv/[a-z_]+\\.h\$|^$lib/lib[a-z]+\\.(a|so)\$|^$lib/cmake/psenv/[A-Za-z-]+\\.cmake\$|^$lib/pkgconfig/psenv(-psg)?\\.pc\$" \
  include/psenv/psenv_extern.h include/psenv/treekeep.h include/psenv/treekeep_values.h \
  include/psenv/psg.h include/psenv/sparsamp_plan.h include/psenv/sparsamp_pictures.h
# The Python package, when the module is built: its files and nothing else,
# in the one package folder.
python_files=$(install_component Python)
if [ -n "$python_files" ]; then
  stray=$(grep -Ev '^lib/python3[0-9.]*/(dist|site)-packages/psenv/([a-z_]+\.py|_core\.cpython-[a-z0-9_-]+\.so)$' <<<"$python_files")
  [ -z "$stray" ] || fail "component Python installs what belongs elsewhere: $(echo $stray)"
  for wanted in __init__.py params.py sched.py lock.py shims.py; do
    grep -q "/psenv/$wanted\$" <<<"$python_files" || fail "component Python lacks psenv/$wanted"
  done
fi
files=$(install_component Unassigned)
[ -z "$files" ] || fail "installed without a component: $(echo $files)"

# The runtime libraries are the files programs load: a versioned library's
# link lib<name>.so is for the linker and belongs to the development files.
runtime=$work/Runtime
for link in $(find "$runtime" -type l -name '*.so' 2>/dev/null); do
  fail "Runtime holds the link-time name $(basename "$link")"
done

# Every chief header is installed, none of the tests' switches.
include=$work/Development/include/psenv
for header in "$source_dir"/include/*.h "$source_dir"/*/include/*.h "$source_dir"/platform/*/include/*.h; do
  name=$(basename "$header")
  case $name in
    *_testing.h) [ ! -e "$include/$name" ] || fail "test-only header $name installed" ;;
    *) [ -f "$include/$name" ] || fail "header $name not installed in include/psenv" ;;
  esac
done
for header in "$include"/*.h; do
  [ -e "$header" ] || continue
  echo "#include <$(basename "$header")>" >"$work/one.c"
  "$cc" -std=c11 -Wall -Werror -fsyntax-only -I"$include" "$work/one.c" ||
    fail "$(basename "$header") does not compile with include/psenv alone"
done

# Clients find the headers through the pkg-config files and the CMake package.
for pc in $(find "$work/Development" -name '*.pc'); do
  grep -qx 'includedir=${prefix}/include/psenv' "$pc" || fail "$(basename "$pc"): $(grep includedir= "$pc")"
  grep -qx 'Cflags: -I${includedir}' "$pc" || fail "$(basename "$pc"): $(grep Cflags: "$pc")"
done
targets=$(find "$work/Development" -name psenvTargets.cmake)
if [ -z "$targets" ]; then
  fail "no psenvTargets.cmake"
else
  dirs=$(grep -o 'INTERFACE_INCLUDE_DIRECTORIES "[^"]*"' "$targets" | sort -u)
  [ "$dirs" = 'INTERFACE_INCLUDE_DIRECTORIES "${_IMPORT_PREFIX}/include/psenv"' ] ||
    fail "the CMake package's include folders: $dirs"
fi

[ $failures -eq 0 ] && echo "install components: all checks passed"
exit $((failures > 0))
