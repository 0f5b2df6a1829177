# bash completion for psenv.
#
# Commands, subcommands and options are read from the program's own --help,
# so that they follow the program; parameter names come from the parameter
# file already on the command line (psenv par names FILE).

# The commands of "psenv --help".
_psenv_commands()
{
    "$1" --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z0-9-]*\) .*/\1/p'
}

# The subcommands in the usage lines of "psenv COMMAND --help".
_psenv_subcommands()
{
    "$1" "$2" --help 2>/dev/null |
        sed -n "s/^.*psenv $2 \([a-z][a-z0-9-]*\).*/\1/p" | sort -u
}

# The options named by "psenv COMMAND [SUBCOMMAND] --help".
_psenv_options()
{
    "$@" --help 2>/dev/null | grep -o -- '--[a-z][a-z0-9-]*' | sort -u
}

_psenv()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local program=${COMP_WORDS[0]}
    COMPREPLY=()

    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W "$(_psenv_commands "$program") --help --version" -- "$cur"))
        return
    fi

    local command=${COMP_WORDS[1]} subs sub=""
    subs=$(_psenv_subcommands "$program" "$command")
    if ((COMP_CWORD == 2)) && [[ -n $subs && $cur != -* ]]; then
        COMPREPLY=($(compgen -W "$subs" -- "$cur"))
        return
    fi
    [[ -n $subs ]] && sub=${COMP_WORDS[2]}

    # Values of options.
    case $prev in
    --dir | --systemdir | --subdir)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    --params | --svg | --file | --name)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    --console)
        COMPREPLY=($(compgen -W "ardel quilmar" -- "$cur"))
        return
        ;;
    --type)
        COMPREPLY=($(compgen -W "generated i d" -- "$cur"))
        return
        ;;
    --mode)
        COMPREPLY=($(compgen -W "r w x rw rx wx rwx" -- "$cur"))
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_psenv_options "$program" "$command" $sub) --help" -- "$cur"))
        return
    fi

    # "par show|get|set FILE NAME": the names of the records of FILE.
    if [[ $command == par && $sub =~ ^(show|get|set)$ ]]; then
        local i words=()
        for ((i = 3; i < COMP_CWORD; i++)); do
            [[ ${COMP_WORDS[i]} == -* ]] || words+=("${COMP_WORDS[i]}")
        done
        if ((${#words[@]} == 1)) || [[ $sub == show && ${#words[@]} -ge 1 ]]; then
            local file=${words[0]}
            file=${file/#\~/$HOME}
            [[ -r $file ]] &&
                COMPREPLY=($(compgen -W "$("$program" par names "$file" 2>/dev/null)" -- "$cur"))
            return
        fi
    fi

    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$cur"))
}

complete -F _psenv psenv
