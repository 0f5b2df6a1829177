#!/bin/bash
# The bash completion functions, called as bash calls them, against the built
# programs: completion_test.sh SOURCE_DIR PSENV TWINSCAN
set -u
source_dir=$1 psenv=$2 twinscan=$3
source "$source_dir/completion/psenv.bash"
source "$source_dir/completion/twinscan.bash"
sample=$source_dir/examples/params/sample.par
failures=0

# complete FUNCTION WORD... : COMPREPLY for the last word, sorted, one line.
complete_words()
{
    local function=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    "$function"
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

# expect DESCRIPTION EXPECTED FUNCTION WORD... : the completions must be EXPECTED.
expect()
{
    local what=$1 expected=$2
    shift 2
    local got
    got=$(complete_words "$@")
    if [ "$got" != "$expected" ]; then
        echo "FAILED $what: expected '$expected', got '$got'" >&2
        failures=$((failures + 1))
    fi
}

# contains DESCRIPTION WORD FUNCTION WORD... : WORD must be among the completions.
contains()
{
    local what=$1 wanted=$2
    shift 2
    local got
    got=" $(complete_words "$@") "
    if [[ $got != *" $wanted "* ]]; then
        echo "FAILED $what: '$wanted' not in '$got'" >&2
        failures=$((failures + 1))
    fi
}

expect "commands" "par" _psenv "$psenv" pa
expect "top options" "--help --version" _psenv "$psenv" --
contains "every command" shims _psenv "$psenv" ""
expect "subcommands of par" "set show" _psenv "$psenv" par s
expect "subcommands of lock" "ddsi" _psenv "$psenv" lock d
expect "options of merge" "--all" _psenv "$psenv" par merge a.par b.par --a
expect "options of sched make" "--seed" _psenv "$psenv" sched make --se
expect "options of a command without subcommands" "--subdir --suffix" _psenv "$psenv" find x --su
expect "console types" "ardel quilmar" _psenv "$psenv" lock word --console ""
expect "parameter names for get" "shimset" _psenv "$psenv" par get "$sample" sh
expect "parameter names for set" "sfrq" _psenv "$psenv" par set "$sample" sf
expect "no names after the name" "" _psenv "$psenv" par get "$sample" sw zzz
expect "no names from a missing file" "" _psenv "$psenv" par get /nonexistent/file.par s
contains "files after par show" "$sample" _psenv "$psenv" par show "$sample"

expect "twinscan options" "--draw" _twinscan "$twinscan" --dra
expect "twinscan drawings" "text timing" _twinscan "$twinscan" --draw ""
contains "twinscan parameter files" "$sample" _twinscan "$twinscan" "$sample"

# A parameter file is data, never code: record names that would run
# something if the shell expanded them come back as quoted names, and nothing
# runs.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
hostile=$scratch/hostile.par
{
    printf 'a$(touch${IFS}%s/ran) 5 1 1000000000 0 0 2 1 1 1 64\n1 5 \n0 \n' "$scratch"
    printf '`touch${IFS}%s/ran2` 5 1 1000000000 0 0 2 1 1 1 64\n1 5 \n0 \n' "$scratch"
    printf 'b${HOME} 5 1 1000000000 0 0 2 1 1 1 64\n1 5 \n0 \n'
} >"$hostile"
quoted_a=$(printf '%q' "a\$(touch\${IFS}$scratch/ran)")
quoted_b=$(printf '%q' 'b${HOME}')
expect "a name with \$(...) is offered quoted" "$quoted_a" _psenv "$psenv" par get "$hostile" a
expect "a name with \${...} is offered quoted" "$quoted_b" _psenv "$psenv" par get "$hostile" b
complete_words _psenv "$psenv" par set "$hostile" "" >/dev/null
complete_words _psenv "$psenv" par show "$hostile" "" >/dev/null
for marker in ran ran2; do
    if [ -e "$scratch/$marker" ]; then
        echo "FAILED completion ran a command from a record name ($marker)" >&2
        failures=$((failures + 1))
    fi
done

# File names with blanks are one candidate each, typed plain or quoted, and
# a file given with a backslash before its blank is read for its names.
mkdir "$scratch/some dir"
cp "$sample" "$scratch/some dir/my file.par"
: >"$scratch/some dir/my other.par"
# lines FUNCTION WORD... : the completions, sorted, joined with '|'.
lines()
{
    complete_words "$@" >/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd '|'
}
expect_lines()
{
    local what=$1 expected=$2 got
    shift 2
    got=$(lines "$@")
    if [ "$got" != "$expected" ]; then
        echo "FAILED $what: expected '$expected', got '$got'" >&2
        failures=$((failures + 1))
    fi
}
blank="$scratch/some dir/my file.par"
expect_lines "twinscan: a file with a blank" "$blank" _twinscan "$twinscan" "$scratch/some dir/my f"
expect_lines "twinscan: a typed backslash" "$blank" _twinscan "$twinscan" "${scratch}/some\ dir/my\ f"
expect_lines "twinscan --svg: a quoted word" "$blank" _twinscan "$twinscan" --svg "'$scratch/some dir/my f"
expect_lines "twinscan: two files with blanks" "$blank|$scratch/some dir/my other.par" \
    _twinscan "$twinscan" "$scratch/some dir/my"
# --scan and --element take a number, --expdir a folder: no file names there.
expect "twinscan --scan offers no files" "" _twinscan "$twinscan" --scan "$scratch/"
expect "twinscan --element offers no files" "" _twinscan "$twinscan" --element "$scratch/"
expect_lines "twinscan --expdir offers folders only" "$scratch/some dir" \
    _twinscan "$twinscan" --expdir "$scratch/"
expect_lines "twinscan: a file after a scan number" "$blank" \
    _twinscan "$twinscan" --scan 2 "$scratch/some dir/my f"
expect_lines "psenv: a file with a blank" "$blank" _psenv "$psenv" par show "$scratch/some dir/my f"
expect_lines "psenv --svg: a file with a blank" "$blank" _psenv "$psenv" sched plot --svg "$scratch/some dir/my f"
expect_lines "psenv: names from a file with a blank" "sfrq" \
    _psenv "$psenv" par get "${scratch}/some\ dir/my\ file.par" sf
expect_lines "psenv: names from a quoted file name" "sfrq" \
    _psenv "$psenv" par get "\"$scratch/some dir/my file.par\"" sf

# A FIFO (or a link to one) is never opened: completion neither hangs nor
# offers names from it.
mkfifo "$scratch/pipe.par"
ln -s "$scratch/pipe.par" "$scratch/link.par"
for target in pipe.par link.par; do
    got=$(timeout 10 bash -c 'source "$1/completion/psenv.bash"
        COMP_WORDS=("$2" par get "$3" ""); COMP_CWORD=4; _psenv; printf "%s\n" "${COMPREPLY[@]}"' \
        check "$source_dir" "$psenv" "$scratch/$target")
    status=$?
    if [ "$status" -ne 0 ] || [ -n "$got" ]; then
        echo "FAILED a FIFO as the parameter file ($target): status $status, got '$got'" >&2
        failures=$((failures + 1))
    fi
done
got=$(timeout 10 bash -c 'source "$1/completion/twinscan.bash"
    COMP_WORDS=("$2" "$3"); COMP_CWORD=1; _twinscan; printf "%s\n" "${COMPREPLY[@]}"' \
    check "$source_dir" "$twinscan" "$scratch/pipe")
if [ $? -ne 0 ] || [ "$got" != "$scratch/pipe.par" ]; then
    echo "FAILED twinscan on a FIFO's name: got '$got'" >&2
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] || exit 1
echo "completion: all cases passed"
