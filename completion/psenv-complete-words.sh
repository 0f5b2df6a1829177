# The word handling of the bash completions of psenv and twinscan, sourced by
# both from the folder they stand in.
#
# Nothing read from a file or a program is ever handed to compgen -W or eval:
# a record named $(...) in a file someone sent must stay a name and never run
# at TAB.  Words are matched with a plain prefix test and offered quoted.

# The word as the shell will pass it, its quotes and backslashes taken away,
# in REPLY.  Nothing in it is expanded; a leading unquoted ~ stays, as
# compgen -f wants it.
_psenv_dequote()
{
    local word=$1 c quote="" i
    REPLY=""
    for ((i = 0; i < ${#word}; i++)); do
        c=${word:i:1}
        if [[ $quote == "'" ]]; then
            [[ $c == "'" ]] && quote="" || REPLY+=$c
        elif [[ $c == '\' ]] && ((i + 1 < ${#word})); then
            ((i++))
            # Between double quotes a backslash escapes only these.
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
_psenv_add_matching()
{
    local prefix=$1 word quoted
    while IFS= read -r word; do
        [[ -n $word && $word == "$prefix"* ]] || continue
        printf -v quoted '%q' "$word"
        COMPREPLY+=("$quoted")
    done
}

# Completes WORD as a file name (-f) or a folder name (-d): one candidate per
# name, blanks and all; bash quotes them (-o filenames).  Names are listed,
# never opened.
_psenv_files()
{
    local kind=$1
    _psenv_dequote "$2"
    compopt -o filenames 2>/dev/null
    local name
    while IFS= read -r name; do
        COMPREPLY+=("$name")
    done < <(compgen "$kind" -- "$REPLY")
}
