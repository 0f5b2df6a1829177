# bash completion for twinscan: its options (from its own --help) and
# parameter files.  Words are matched with a plain prefix test, never through
# compgen -W or eval, so nothing in them is expanded; file names come one
# candidate each, blanks and all.  The helpers are psenv's, installed beside
# this file.

source "$(dirname "${BASH_SOURCE[0]}")/psenv-complete-words.sh"

_twinscan()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    _psenv_dequote "$cur"
    local prefix=$REPLY
    case $prev in
    --draw)
        _psenv_add_matching "$prefix" < <(printf '%s\n' text timing)
        return
        ;;
    --element | --scan)
        # A number the user knows from the experiment: nothing to offer.
        return
        ;;
    --expdir)
        _psenv_files -d "$cur"
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        _psenv_add_matching "$prefix" < <("${COMP_WORDS[0]}" --help 2>/dev/null |
                                          grep -o -- '--[a-z][a-z0-9-]*' | sort -u)
        return
    fi
    # --svg, --global and the parameter file.
    _psenv_files -f "$cur"
}

complete -F _twinscan twinscan
