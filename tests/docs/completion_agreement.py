#!/usr/bin/env python3
"""Checks that psenv's --help, its manual page and its bash completion offer
the same commands, subcommands and options.

    completion_agreement.py SOURCE_DIR PSENV

The completion is called as bash calls it, for the first word (the
commands), the second word of every group (its subcommands) and "--" after
every command and subcommand (its options).  Each answer must be what the
--help of that command names, and the manual page must name the same
commands, subcommands and options in the command's subsection (.SS) of
COMMANDS.  Every difference is reported; the exit status is 1 when there is
one.
"""
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from man_help_agreement import commands_listed, roff_text, sections, subcommands  # noqa: E402

# An option as the completion reads it from a text: a long option's name up
# to the first character that is no lowercase letter, digit or dash (so
# "--niJ N" offers --ni).
LONG_OPTION = re.compile(r"(?<![\w\-])--[a-z][a-z0-9-]*")


def long_options(text):
    return set(LONG_OPTION.findall(text))


def complete(source_dir, program, words):
    """What _psenv offers for the last of `words` (after the program)."""
    script = ('source "$1/completion/psenv.bash"; shift; COMP_WORDS=("$@"); '
              'COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=(); _psenv; '
              'printf "%s\\n" "${COMPREPLY[@]}"')
    result = subprocess.run(["bash", "-c", script, "complete", source_dir, program] + words,
                            capture_output=True, text=True, timeout=60)
    return {word for word in result.stdout.splitlines() if word}


def help_of(argv):
    return subprocess.run(argv + ["--help"], capture_output=True, text=True).stdout


def agree(what, sets, problems):
    """`sets`: {where: set}; every set must equal the first."""
    (first_where, first), *others = sets.items()
    for where, items in others:
        for item in sorted(first - items):
            problems.append(f"{what}: {item} is in {first_where} but not in {where}")
        for item in sorted(items - first):
            problems.append(f"{what}: {item} is in {where} but not in {first_where}")


def check(source_dir, program):
    problems = []
    name = os.path.basename(program)
    page = roff_text(os.path.join(source_dir, "docs", "man", f"{name}.1"))
    man_commands = sections(sections(page, ".SH").get("COMMANDS", ""), ".SS")
    listed = commands_listed(help_of([program]))
    agree("commands", {
        f"'{name} --help'": set(listed),
        "the completion of the first word": complete(source_dir, program, [""]) - {"--help",
                                                                                   "--version"},
        f"the .SS sections of {name}.1": set(man_commands),
    }, problems)

    for command in listed:
        man_text = man_commands.get(command, "")
        subs = subcommands(name, command, help_of([program, command]))
        if subs:
            agree(f"subcommands of {command}", {
                f"'{name} {command} --help'": subs,
                "the completion": complete(source_dir, program, [command, ""]),
                f"{name}.1 (.SS {command})": subcommands(name, command, man_text),
            }, problems)
        offered = set()
        for sub in sorted(subs) or [None]:
            words = [command] + ([sub] if sub else [])
            shown = " ".join(words)
            options = complete(source_dir, program, words + ["--"])
            agree(f"options of {shown}", {
                f"'{name} {shown} --help'": long_options(help_of([program] + words)) | {"--help"},
                "the completion": options,
            }, problems)
            offered |= options
        agree(f"options of {command}", {
            "the completion": offered - {"--help"},
            f"{name}.1 (.SS {command})": long_options(man_text) - {"--help"},
        }, problems)
    return problems


def main(argv):
    if len(argv) != 3:
        print("usage: completion_agreement.py SOURCE_DIR PSENV", file=sys.stderr)
        return 2
    problems = check(argv[1], argv[2])
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
