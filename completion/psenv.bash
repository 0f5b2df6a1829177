# bash completion for psenv.
#
# Commands, subcommands and options are read from the program's own --help,
# so that they follow the program; parameter names come from the parameter
# file already on the command line (psenv par names FILE).
#
# Nothing read from a file or a program is ever handed to compgen -W or eval:
# a record named $(...) in a file someone sent must stay a name and never run
# at TAB.  Words are matched with a plain prefix test and offered quoted, by
# the helpers twinscan's completion shares, installed beside this file.

source "$(dirname "${BASH_SOURCE[0]}")/psenv-complete-words.sh"

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

# The record names of parameter file FILE (a word as typed), one a line.  A
# FIFO or a device would hang the shell or never end, so only a regular file
# is read, and never for long.
_psenv_record_names()
{
    local program=$1 file
    _psenv_dequote "$2"
    file=$REPLY
    [[ $2 == "~" || $2 == "~/"* ]] && file=$HOME${file:1}
    [[ -f $file && -r $file ]] || return
    [[ $file == -* ]] && file=./$file
    if type -P timeout >/dev/null; then
        timeout 3 "$program" par names "$file" 2>/dev/null
    else
        "$program" par names "$file" 2>/dev/null
    fi
}

_psenv()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local program=${COMP_WORDS[0]}
    COMPREPLY=()
    _psenv_dequote "$cur"
    local prefix=$REPLY

    if ((COMP_CWORD == 1)); then
        _psenv_add_matching "$prefix" < <(_psenv_commands "$program"; printf '%s\n' --help --version)
        return
    fi

    local command=${COMP_WORDS[1]} subs sub=""
    subs=$(_psenv_subcommands "$program" "$command")
    if ((COMP_CWORD == 2)) && [[ -n $subs && $cur != -* ]]; then
        _psenv_add_matching "$prefix" <<<"$subs"
        return
    fi
    [[ -n $subs ]] && sub=${COMP_WORDS[2]}

    # Values of options.
    case $prev in
    --dir | --systemdir | --subdir)
        _psenv_files -d "$cur"
        return
        ;;
    --params | --svg | --file | --name)
        _psenv_files -f "$cur"
        return
        ;;
    --console)
        _psenv_add_matching "$prefix" < <(printf '%s\n' ardel quilmar)
        return
        ;;
    --type)
        _psenv_add_matching "$prefix" < <(printf '%s\n' generated i d)
        return
        ;;
    --mode)
        _psenv_add_matching "$prefix" < <(printf '%s\n' r w x rw rx wx rwx)
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        _psenv_add_matching "$prefix" < <(_psenv_options "$program" "$command" ${sub:+"$sub"}
                                          echo --help)
        return
    fi

    # "par show|get|set FILE NAME": the names of the records of FILE.
    if [[ $command == par && $sub =~ ^(show|get|set)$ ]]; then
        local i words=()
        for ((i = 3; i < COMP_CWORD; i++)); do
            [[ ${COMP_WORDS[i]} == -* ]] || words+=("${COMP_WORDS[i]}")
        done
        if ((${#words[@]} == 1)) || [[ $sub == show && ${#words[@]} -ge 1 ]]; then
            _psenv_add_matching "$prefix" < <(_psenv_record_names "$program" "${words[0]}")
            return
        fi
    fi

    _psenv_files -f "$cur"
}

complete -F _psenv psenv
