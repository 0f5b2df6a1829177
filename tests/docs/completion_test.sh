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

expect "twinscan options" "--draw" _twinscan "$twinscan" --dr
expect "twinscan drawings" "text timing" _twinscan "$twinscan" --draw ""
contains "twinscan parameter files" "$sample" _twinscan "$twinscan" "$sample"

[ "$failures" -eq 0 ] || exit 1
echo "completion: all cases passed"
