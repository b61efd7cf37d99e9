"""The steps of a scenario: one row of its table (Step) and the runner that makes each
step in a machine of its own, restarts it and checks what the step and the restart
left (run_steps)."""
import os
import re

from expectations import (Checks, State, check_completion, check_files, check_pending,
                          check_registry, check_scripts, check_scripts_gone, check_unchanged,
                          checker, expected_registry, layout_line, read_calls, read_libraries)
from machine import Machine, base_prefix, read_bytes, unmanaged_windows, whole_machine, windows_path
from product import DISPLAY_NAMES, KLID, Env


class Step:
    """One run of the engine driver and what it must leave, a row of a scenario's table.
      op          install, update or remove; extra: more driver arguments
      options     the layout choices given (install and update)
      exit        the driver's exit code
      made        items written anew (the others present must be untouched)
      scripts     "add" or "remove": the script the command receives (add from Vista on)
      completion  the RunOnce value is written (and runs at the restart)
      libraries   "place": staging files replace the libraries at the restart;
                  "delete": the libraries are deleted then; None: neither
      at_restart  items that are in use and go at the restart
      before      f(machine, env, state) run first; run_from: the program to run
      unchanged   the step must change nothing: the whole registry and drive C are
                  compared before and after it (but for what Wine itself keeps up to date)
      gui         the step is made through setup.exe's wizard by gui_driver.exe's walk
                  (tests/gui), the same choices made on its pages, instead of the engine driver
      **state     the installation state afterwards, as State's fields"""
    def __init__(self, name, op, options=None, exit=0, made=(), scripts=None, completion=False,
                 libraries=None, at_restart=(), before=None, run_from=None, extra=(), gui=False,
                 unchanged=False, **state):
        self.name, self.op, self.options, self.exit, self.made = name, op, options, exit, set(made)
        self.scripts, self.completion, self.libraries = scripts, completion, libraries
        self.at_restart, self.before, self.run_from = set(at_restart), before, run_from
        self.extra, self.state, self.gui = list(extra), state, gui
        self.unchanged = unchanged


def run_steps(args, steps, lang, language, default, desktop):
    """Runs a scenario's steps for a user of language `lang` (0 English, 1 Polish: the
    program's texts and file names follow it) with the checks after each step and after
    its restart; returns the process exit code."""
    env, checks, st = Env(args), Checks(), State()
    layers = [os.path.join(args.tree, "scenario", "layer%d" % args.bits), base_prefix(args.bits)]
    machine = Machine(args, args.name, layers, lang)
    machine.set_version(args.version)
    if any(step.gui for step in steps):
        unmanaged_windows(machine)
    files = {}
    try:
        for step in steps:
            checks.where = step.name
            if step.before:
                step.before(machine, env, st)
            before = whole_machine(machine) if step.unchanged else None
            driver = [step.op, *step.extra]
            if step.options:
                driver += step.options.args()
            if step.op.startswith("install"):
                driver += ["--final", "1", "--desktop", str(desktop),
                           "--language", "%04x" % language, "--default", str(default)]
            program = step.run_from(st) if step.run_from else windows_path(env.driver)
            detected = st.detected()
            if step.gui:
                program = windows_path(env.setup)
                if step.op.endswith("-refused"):  # the engine driver's seam for the right
                    program = windows_path(env.driver)
                    driver += ["--argument", "wizard-without-rights"]
                if step.op.startswith("install") and env.code >= 62:
                    driver[driver.index("--desktop") + 1] = "-1"  # forced on by the page
                rc, out = machine.wine(windows_path(os.path.join(env.tree, "gui_driver.exe")),
                                       "walk", program, *driver, "--version-code", str(env.code),
                                       "--ui", str(lang))
                checks.expect(rc == step.exit, "the walk's exit %d, expected %d:\n%s" %
                              (rc, step.exit, out.strip()))
            else:
                rc, out = machine.wine(program, *driver)
                line = re.search(r"engine: \w+=\d installedVersion=(-?\d+) ", out)
                started = step.exit != 2  # 2: refused at the start, before any detection
                checks.expect(rc == step.exit and (line is not None) == started,
                              "exit %d, expected %d: %s" % (rc, step.exit, out.strip()))
                checks.expect(not started or (line is not None and int(line.group(1)) == detected),
                              "installedVersion %s, expected %d"
                              % (line and line.group(1), detected))
            if "setup" in step.made:
                env.installer = env.setup if step.gui else env.driver

            # The state the table says the step leaves.
            planned = env.planned(lang, program.replace("/", "\\").rsplit("\\", 1)[-1])
            for item in step.made:
                st.paths[item], st.languages[item] = planned[item], lang
            st.items |= step.made
            if step.options:
                st.layout = step.options.over(st.layout)
            for name, value in step.state.items():
                setattr(st, name, value(env) if callable(value) else value)

            if before:
                check_unchanged(checks, before, whole_machine(machine))
            machine.down()
            hives = dict(zip(("system", "user"), machine.registry()))
            check_registry(checks, hives, expected_registry(env, st))
            at_restart = check_completion(checks, hives, env, lang, step.completion)
            in_use = [st.paths[i] for i in sorted(step.at_restart)]
            scripts = check_scripts(checks, machine, env, step, language, default)
            check_pending(checks, hives, env, step.libraries, in_use, scripts)
            placing = step.libraries == "place"
            files = check_files(checks, machine, env, st, step.made, files, placing)
            staged = {t: read_bytes(machine.host(s)) for t, s in env.libraries if placing}

            # The restart: the libraries reach the system folders, RunOnce runs once.
            checks.where = step.name + ", after the restart"
            machine.boot()
            ran = [c.get("command") for c in read_calls(machine)]
            checks.expect(ran == at_restart, "the restart ran %s, expected %s" % (ran, at_restart))
            check_scripts_gone(checks, machine, scripts)
            for target, _ in env.libraries:
                host = machine.host(target)
                if step.libraries == "place":
                    checks.expect(read_bytes(host) == staged.get(target),
                                  "%s is not its staging file" % target)
                elif step.libraries == "delete":
                    checks.expect(not os.path.exists(host), "%s is still there" % target)
            if step.libraries:
                st.library = st.layout if step.libraries == "place" else None
            st.items -= step.at_restart
            files = check_files(checks, machine, env, st, set(), files, False)
            lines = {32: [], 64: []}
            if step.libraries == "place":
                read_libraries(checks, machine, env, st.library)
                # And loaded by a program of its own bits (the 32-bit copy of 64-bit
                # Windows has 64-bit tables, which only the reading above walks).
                if env.bits == 64:
                    lines[64].append(layout_line(env, st.library, env.libraries[1][0], 64))
                else:
                    lines[32].append(layout_line(env, st.library, env.libraries[0][0], 32))
            if st.entry and step.libraries == "place":
                lines[env.bits].append(["displayname", KLID, DISPLAY_NAMES[lang]])
            for item in sorted(st.items & step.made):
                if env.content(item, 0) is None:
                    shortcut = env.shortcut(item, st.paths, st.languages[item])
                    lines[32].append(["shortcut", st.paths[item], *shortcut])
            for bits in (32, 64):
                if lines[bits]:
                    ok, out = checker(machine, env, bits, lines[bits])
                    checks.expect(ok, "scenario_check (%d-bit): %s" % (bits, out))

        # Nothing is left waiting for a further restart.
        checks.where = "end"
        machine.down()
        hives = dict(zip(("system", "user"), machine.registry()))
        check_registry(checks, hives, expected_registry(env, st))
        check_completion(checks, hives, env, lang, False)
        check_pending(checks, hives, env, None, [])
    finally:
        machine.close()
    print("scenario %s: %d checks, %d failed" % (args.name, checks.count, checks.failed))
    return 1 if checks.failed else 0
