#!/usr/bin/env python3
"""Checks that a manual page and a program's --help name the same things.

    man_help_agreement.py MANPAGE PROGRAM [MANPAGE PROGRAM ...]

The program's own --help gives its options and, when it lists "Commands:",
its commands; each command's --help gives its subcommands (the words after
"<program> <command>" in its usage lines) and options, and each
subcommand's --help its options.  The manual page names the program's options
under OPTIONS and, for every command, its subcommands and options in a
subsection (.SS) of COMMANDS named after the command.  Every difference is
reported with where it was seen; the exit status is 1 when there is one.
"""
import os
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w\-])(--?[A-Za-z][A-Za-z0-9]*(?:-[A-Za-z0-9]+)*)")
UNIVERSAL = {"--help", "-h"}  # every command answers them; checked once, at the top


def run_help(argv, problems):
    result = subprocess.run(argv + ["--help"], capture_output=True, text=True)
    if result.returncode != 0:
        problems.append(f"'{' '.join(argv)} --help' ended with status {result.returncode}")
    return result.stdout


def options(text):
    return set(OPTION.findall(text))


def commands_listed(help_text):
    """The words in the first column of the "Commands:" list."""
    found, inside = [], False
    for line in help_text.splitlines():
        if re.match(r"^\s*commands:\s*$", line, re.I):
            inside = True
        elif inside and not line.strip():
            if found:
                break
        elif inside:
            m = re.match(r"^\s+([a-z][\w-]*)\s", line)
            if m:
                found.append(m.group(1))
    return found


def subcommands(program, command, text):
    return set(re.findall(rf"\b{re.escape(program)} {re.escape(command)} ([a-z][a-z0-9-]*)\b", text))


def roff_text(path):
    """The page as plain text: comments dropped, escapes resolved, fonts gone."""
    lines = []
    with open(path) as page:
        for line in page:
            if line.startswith('.\\"'):
                continue
            line = re.sub(r"\\f[BIRP]|\\f\(..|\\&|\\c", "", line)
            line = line.replace("\\-", "-").replace("\\(aq", "'").replace("\\(ti", "~")
            line = line.replace("\\(dq", '"').replace("\\e", "\\")
            lines.append(line)
    return "".join(lines)


def sections(text, macro):
    """{title: body} for every `macro` heading (".SH", ".SS") in text."""
    parts = re.split(rf"^\{macro}[ \t]+(.*)$", text, flags=re.M)
    found = {}
    for title, body in zip(parts[1::2], parts[2::2]):
        found[title.strip().strip('"')] = body
    return found


def compare(what, in_help, in_man, help_where, man_where, problems):
    for item in sorted(in_help - in_man):
        problems.append(f"{what}: {item} is in {help_where.get(item, 'the --help output')} "
                        f"but not in {man_where}")
    for item in sorted(in_man - in_help):
        problems.append(f"{what}: {item} is in {man_where} but in no --help output")


def check(manpage, program_path):
    problems = []
    program = os.path.basename(program_path)
    page = os.path.basename(manpage)
    text = roff_text(manpage)
    top = sections(text, ".SH")
    for required in ("NAME", "SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "FILES", "EXAMPLES",
                     "SEE ALSO"):
        if required not in top:
            problems.append(f"{page}: no section {required}")

    top_help = run_help([program_path], problems)
    listed = commands_listed(top_help)
    top_options = options(top_help)
    if listed:
        # The program's own options, without the commands' ones its text mentions.
        top_options = options(re.split(r"^\s*commands:\s*$", top_help, flags=re.M | re.I)[0])
    compare(program, top_options, options(top.get("OPTIONS", "")),
            {o: f"'{program} --help'" for o in top_options}, f"{page} (OPTIONS)", problems)

    man_commands = sections(top.get("COMMANDS", ""), ".SS")
    if listed and "COMMANDS" not in top:
        problems.append(f"{page}: no section COMMANDS")
    for command in sorted(set(man_commands) - set(listed)):
        problems.append(f"{program}: {page} describes the command {command}, "
                        f"which '{program} --help' does not list")
    for command in listed:
        if command not in man_commands:
            problems.append(f"{program}: the command {command} has no .SS {command} in {page}")
            continue
        argv = [program_path, command]
        group_help = run_help(argv, problems)
        seen = {o: f"'{program} {command} --help'" for o in options(group_help)}
        subs = subcommands(program, command, group_help)
        for sub in sorted(subs):
            for option in options(run_help(argv + [sub], problems)):
                seen.setdefault(option, f"'{program} {command} {sub} --help'")
        man_body = man_commands[command]
        where = f"{page} (.SS {command})"
        compare(f"{program} {command}", set(seen) - UNIVERSAL, options(man_body) - UNIVERSAL,
                seen, where, problems)
        man_subs = subcommands(program, command, man_body)
        for sub in sorted(subs - man_subs):
            problems.append(f"{program} {command}: the subcommand {sub} is in "
                            f"'{program} {command} --help' but not in {where}")
        for sub in sorted(man_subs - subs):
            problems.append(f"{program} {command}: {where} names the subcommand {sub}, "
                            f"which '{program} {command} --help' does not")
    return problems


def main(argv):
    if len(argv) < 3 or len(argv) % 2 == 0:
        print("usage: man_help_agreement.py MANPAGE PROGRAM [MANPAGE PROGRAM ...]",
              file=sys.stderr)
        return 2
    problems = []
    for manpage, program in zip(argv[1::2], argv[2::2]):
        problems += check(manpage, program)
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
