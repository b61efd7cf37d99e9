"""Provisioning: the scenario layer over the test prefix (the keys a real Windows
has, the capture program as control.exe) and the Polish locale, made once per build
tree and bitness."""
import os
import shutil
import subprocess

from machine import REPO, Machine, base_prefix, read_bytes


PROVISION_REG = r"""[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000409]
"Layout File"="KBDUS.DLL"
"Layout Text"="US"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00010409]
"Layout File"="KBDDV.DLL"
"Layout Text"="United States-Dvorak"
"Layout Id"="0002"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000415]
"Layout File"="KBDPL1.DLL"
"Layout Text"="Polish (Programmers)"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000407]
"Layout File"="KBDGR.DLL"
"Layout Text"="German"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layout]

[HKEY_CURRENT_USER\Keyboard Layout\Toggle]
"Hotkey"="1"
"Language Hotkey"="1"
"Layout Hotkey"="2"

[HKEY_CURRENT_USER\Keyboard Layout\Preload]
"1"="00000409"
"2"="00000415"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"control.exe"="native"
"""


def provision(args):
    """The scenario layer over the test prefix: the keys a real Windows has and the
    capture program as control.exe (a native program chosen by a DLL override)."""
    subprocess.run([os.path.join(REPO, "scripts", "wine-prefix.sh"), str(args.bits)], check=True)
    locale = os.path.join(args.tree, "scenario", "locale%d" % args.bits, "pl_PL.UTF-8")
    if not os.path.isdir(locale):
        os.makedirs(os.path.dirname(locale), exist_ok=True)
        subprocess.run(["localedef", "-i", "pl_PL", "-f", "UTF-8", locale], check=True)
    layer = os.path.join(args.tree, "scenario", "layer%d" % args.bits)
    shutil.rmtree(layer, ignore_errors=True)
    os.makedirs(layer)
    machine = Machine(args, "provision%d" % args.bits, [base_prefix(args.bits)])
    try:
        capture = read_bytes(os.path.join(args.tree, "control_capture.exe"))
        for folder in ("system32", "syswow64"):
            if os.path.isdir(machine.host("C:\\windows\\" + folder)):
                with open(machine.host("C:\\windows\\%s\\control.exe" % folder), "wb") as f:
                    f.write(capture)
        machine.import_reg(PROVISION_REG)
        machine.down()
    finally:
        machine.close()
    # The upper folder of that overlay is the layer.
    os.rmdir(layer)
    os.rename(os.path.join(machine.dir, "upper"), layer)
    print("provisioned %s" % layer)
    return 0
