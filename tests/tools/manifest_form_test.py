#!/usr/bin/env python3
"""The form of setup.exe's manifest that every supported Windows reads: Windows XP's
side-by-side loader refuses a manifest it cannot parse (the program then does not start)
and XP SP2 fails on an element that declares a namespace twice, so each element declares
at most one; the DPI declaration is the 2005 WindowsSettings dpiAware inside an asm.v3
application element, which Windows 2000 and XP ignore.
usage: manifest_form_test.py MANIFEST"""
import sys
import xml.dom.minidom

ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"


def faults(path):
    out = []
    document = xml.dom.minidom.parse(path)
    elements = document.getElementsByTagNameNS("*", "*")
    for element in elements:
        declared = [a for a in element.attributes.keys() if a == "xmlns" or a.startswith("xmlns:")]
        if len(declared) > 1:
            out.append("<%s> declares %s" % (element.tagName, ", ".join(declared)))
        if ":" in element.tagName:
            out.append("<%s> uses a namespace prefix" % element.tagName)
    aware = document.getElementsByTagNameNS(SETTINGS_2005, "dpiAware")
    if len(aware) != 1 or aware[0].firstChild is None or aware[0].firstChild.data.strip() != "true":
        out.append("no single dpiAware true in the 2005 WindowsSettings namespace")
    else:
        settings = aware[0].parentNode
        application = settings.parentNode
        if (settings.localName, settings.namespaceURI) != ("windowsSettings", ASM_V3) or \
                (application.localName, application.namespaceURI) != ("application", ASM_V3):
            out.append("dpiAware is not in asm.v3 application/windowsSettings")
    level = document.getElementsByTagNameNS(ASM_V3, "requestedExecutionLevel")
    if len(level) != 1 or level[0].getAttribute("level") != "asInvoker":
        out.append("not one requestedExecutionLevel asInvoker")
    return out


def main():
    found = faults(sys.argv[1])
    for fault in found:
        print("FAIL: " + fault)
    print("manifest: %s" % ("ok" if not found else "%d faults" % len(found)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
