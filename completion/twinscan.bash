# bash completion for twinscan: its options (from its own --help) and
# parameter files.

_twinscan()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    case $prev in
    --draw)
        COMPREPLY=($(compgen -W "text timing" -- "$cur"))
        return
        ;;
    --element)
        return
        ;;
    --svg | --global)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        local options
        options=$("${COMP_WORDS[0]}" --help 2>/dev/null | grep -o -- '--[a-z][a-z0-9-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$cur"))
}

complete -F _twinscan twinscan
