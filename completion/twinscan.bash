# bash completion for twinscan: its options (from its own --help) and
# parameter files.  Words are matched with a plain prefix test, never through
# compgen -W or eval, so nothing in them is expanded; file names come one
# candidate each, blanks and all.

# The word as the shell will pass it, its quotes and backslashes taken away,
# in REPLY; nothing in it is expanded.
_twinscan_dequote()
{
    local word=$1 c quote="" i
    REPLY=""
    for ((i = 0; i < ${#word}; i++)); do
        c=${word:i:1}
        if [[ $quote == "'" ]]; then
            [[ $c == "'" ]] && quote="" || REPLY+=$c
        elif [[ $c == '\' ]] && ((i + 1 < ${#word})); then
            ((i++))
            [[ $quote == '"' && ${word:i:1} != [\$\`\"\\] ]] && REPLY+=$c
            REPLY+=${word:i:1}
        elif [[ $quote == '"' ]]; then
            [[ $c == '"' ]] && quote="" || REPLY+=$c
        elif [[ $c == "'" || $c == '"' ]]; then
            quote=$c
        else
            REPLY+=$c
        fi
    done
}

# Adds to COMPREPLY every line of standard input that starts with PREFIX,
# quoted for the command line.
_twinscan_add_matching()
{
    local prefix=$1 word quoted
    while IFS= read -r word; do
        [[ -n $word && $word == "$prefix"* ]] || continue
        printf -v quoted '%q' "$word"
        COMPREPLY+=("$quoted")
    done
}

_twinscan()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    _twinscan_dequote "$cur"
    local prefix=$REPLY
    case $prev in
    --draw)
        _twinscan_add_matching "$prefix" < <(printf '%s\n' text timing)
        return
        ;;
    --element)
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        _twinscan_add_matching "$prefix" < <("${COMP_WORDS[0]}" --help 2>/dev/null |
                                             grep -o -- '--[a-z][a-z0-9-]*' | sort -u)
        return
    fi
    # --svg, --global and the parameter file: file names, listed, never opened.
    compopt -o filenames 2>/dev/null
    local name
    while IFS= read -r name; do
        COMPREPLY+=("$name")
    done < <(compgen -f -- "$prefix")
}

complete -F _twinscan twinscan
