#!/usr/bin/env python3
"""Where the bytes of setup.exe go: its sections, the bytes each library and each
large object file brings (from the linker map), each payload entry (from the
payload tool's inspect) and each resource. Standard library only.

usage: size_report.py [--budget BYTES] PROGRAM.exe LINK.map PAYLOAD-TOOL PAYLOAD.map [REPORT.txt]
(the report goes to REPORT.txt when given, else to the standard output). A program
over its budget (300 KB unless --budget says otherwise) fails: exit status 1, the
report written all the same, so that the build stops and says where the bytes went.
"""

import collections
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_summary import Image  # noqa: E402

BUDGET = 300 * 1024
LARGE_OBJECT = 2000

# " .text  0x00401000  0x4c0 lib.a(member.obj)", the name possibly alone on the line before.
INPUT_LINE = re.compile(r'^ (\S+)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$')
OUTPUT_SECTION = re.compile(r'^(\.\S+)')


def contributions(map_path):
    """(output section, library, object) -> bytes, for the sections kept in the image."""
    sizes = collections.Counter()
    section = None
    in_memory_map = False
    with open(map_path, encoding='latin-1') as f:
        for line in f:
            if line.startswith('Linker script and memory map'):
                in_memory_map = True
                continue
            if not in_memory_map:
                continue
            output = OUTPUT_SECTION.match(line)
            if output:
                section = output.group(1)
                continue
            found = INPUT_LINE.match(line)
            if not found or section is None or section.startswith('.debug'):
                continue  # a long input section name stands alone; its numbers follow
            size = int(found.group(2), 16)
            source = found.group(3).strip()
            if size == 0 or source.startswith('load address'):
                continue
            library, member = split_source(source)
            sizes[(section, library, member)] += size
    return sizes


def split_source(source):
    archive = re.match(r'^(.*?)\((.*)\)$', source)
    if archive:
        return os.path.basename(archive.group(1)), archive.group(2)
    target = re.search(r'CMakeFiles/([^/]+)\.dir/', source)  # object libraries: their target
    return (target.group(1) if target else 'linker'), os.path.basename(source)


def table(rows, indent='  '):
    width = max((len(name) for name, _ in rows), default=0)
    return '\n'.join('%s%-*s %9s' % (indent, width, name, '{:,}'.format(size)) for name, size in rows)


def main():
    args = sys.argv[1:]
    budget = BUDGET
    if args[:1] == ['--budget'] and len(args) >= 2 and args[1].isdigit():
        budget = int(args[1])
        args = args[2:]
    if len(args) not in (4, 5):
        sys.exit(__doc__)
    program, link_map, payload_tool, payload_map = args[:4]
    if len(args) == 5:
        sys.stdout = open(args[4], 'w')
    with open(program, 'rb') as f:
        data = f.read()
    report(program, data, budget, link_map, payload_tool, payload_map)
    if len(data) > budget:
        sys.stdout.flush()
        sys.stderr.write('size_report: %s is %s bytes, over its budget of %s\n' % (
            os.path.basename(program), '{:,}'.format(len(data)), '{:,}'.format(budget)))
        sys.exit(1)


def report(program, data, budget, link_map, payload_tool, payload_map):
    image = Image(data)
    print('%s: %s bytes (budget %s, %s %s)' % (
        os.path.basename(program), '{:,}'.format(len(data)), '{:,}'.format(budget),
        '{:,}'.format(abs(budget - len(data))), 'to spare' if len(data) <= budget else 'over'))
    print('sections (bytes in the file):')
    print(table([(name, size) for name, size in image.section_sizes]))

    sizes = contributions(link_map)
    by_library = collections.Counter()
    by_object = collections.Counter()
    for (section, library, member), size in sizes.items():
        by_library[library] += size
        by_object['%s(%s)' % (library, member)] += size
    print('libraries (bytes in the image):')
    print(table(by_library.most_common()))
    print('object files of %s bytes or more:' % '{:,}'.format(LARGE_OBJECT))
    print(table([(name, size) for name, size in by_object.most_common() if size >= LARGE_OBJECT]))
    unwind = sum(size for (section, _, _), size in sizes.items() if section == '.eh_frame')
    print('unwind tables (.eh_frame): %s bytes' % '{:,}'.format(unwind))

    print('payload entries (stored bytes):')
    inspected = subprocess.run([payload_tool, 'inspect', program, '--map', payload_map],
                               capture_output=True, text=True)
    if inspected.returncode != 0:
        sys.exit('size_report: the payload tool failed: ' + inspected.stderr.strip())
    # One library in several slots is stored once: one row per image, naming its slots.
    slots = collections.OrderedDict()
    for line in inspected.stdout.splitlines():
        entry = re.match(r'^(.*?)(?: slot (\d+))?\s+stored\s+(\d+)', line)
        if entry:
            key = (entry.group(1), int(entry.group(3)))
            slots.setdefault(key, []).extend([entry.group(2)] if entry.group(2) else [])
    entries = collections.Counter()
    key_block = re.search(r'^key block: (\d+) bytes', inspected.stdout, re.M)
    if key_block:
        entries['key block'] = int(key_block.group(1))
    for (name, size), numbers in slots.items():
        entries[name + (' (slots %s)' % ' '.join(numbers) if numbers else '')] = size
    print(table(entries.most_common()))
    wow64 = sum(size for (name, size) in slots if '(WOW64)' in name)
    print('WOW64 layout images (slot 13, for the 32-bit folder of 64-bit Windows): %s bytes'
          % '{:,}'.format(wow64))
    print('resources:')
    print(table([('%s %s' % (rtype, rid), size) for rtype, rid, _, size in image.resources()]))


if __name__ == '__main__':
    main()
