#!/usr/bin/env python3
"""Prints what a Windows program carries: its machine and subsystem, the DLLs it
imports (with how many functions from each) and its resources (type, id, language,
size). Standard library only.

usage: pe_summary.py PROGRAM.exe
"""

import struct
import sys

MACHINES = {0x14c: 'i386', 0x8664: 'x86-64', 0x200: 'IA-64'}
SUBSYSTEMS = {2: 'GUI', 3: 'console'}
RESOURCE_TYPES = {1: 'CURSOR', 2: 'BITMAP', 3: 'ICON', 4: 'MENU', 5: 'DIALOG', 6: 'STRING',
                  9: 'ACCELERATOR', 10: 'RCDATA', 12: 'GROUP_CURSOR', 14: 'GROUP_ICON',
                  16: 'VERSION', 24: 'MANIFEST'}


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from('<I', data, 0x3c)[0]
        if data[pe:pe + 4] != b'PE\0\0':
            raise ValueError('not a PE image')
        self.machine, nsections, _, _, _, opt_size, _ = struct.unpack_from('<HHIIIHH', data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from('<H', data, opt)[0]
        self.subsystem = struct.unpack_from('<H', data, opt + 68)[0]
        dirs = opt + (96 if self.magic == 0x10b else 112)
        self.dirs = [struct.unpack_from('<II', data, dirs + 8 * i) for i in range(16)]
        self.sections = []
        self.section_sizes = []  # (name, bytes in the file)
        for i in range(nsections):
            s = opt + opt_size + 40 * i
            vsize, va, rsize, raw = struct.unpack_from('<IIII', data, s + 8)
            self.sections.append((va, max(vsize, rsize), raw))
            self.section_sizes.append((data[s:s + 8].rstrip(b'\0').decode('latin-1'), rsize))

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError('address %#x outside the sections' % rva)

    def cstring(self, rva):
        o = self.offset(rva)
        return self.data[o:self.data.index(b'\0', o)].decode('latin-1')

    def imports(self):
        rva, size = self.dirs[1]
        result = []
        if not rva:
            return result
        o = self.offset(rva)
        thunk_size = 4 if self.magic == 0x10b else 8
        while True:
            lookup, _, _, name, first = struct.unpack_from('<IIIII', self.data, o)
            if not name:
                break
            count = 0
            t = self.offset(lookup or first)
            while int.from_bytes(self.data[t:t + thunk_size], 'little'):
                count += 1
                t += thunk_size
            result.append((self.cstring(name), count))
            o += 20
        return result

    def resources(self):
        base, _ = self.dirs[2]
        result = []
        if not base:
            return result

        def entries(rva):
            o = self.offset(rva)
            named, ids = struct.unpack_from('<HH', self.data, o + 12)
            for i in range(named + ids):
                key, value = struct.unpack_from('<II', self.data, o + 16 + 8 * i)
                if key & 0x80000000:
                    n = self.offset(base + (key & 0x7fffffff))
                    length = struct.unpack_from('<H', self.data, n)[0]
                    key = self.data[n + 2:n + 2 + 2 * length].decode('utf-16-le')
                yield key, value

        for rtype, v1 in entries(base):
            for rid, v2 in entries(base + (v1 & 0x7fffffff)):
                for lang, v3 in entries(base + (v2 & 0x7fffffff)):
                    _, size = struct.unpack_from('<II', self.data, self.offset(base + v3))
                    result.append((RESOURCE_TYPES.get(rtype, rtype), rid, lang, size))
        return result


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], 'rb') as f:
        data = f.read()
    image = Image(data)
    kind = 'PE32' if image.magic == 0x10b else 'PE32+'
    print('%s, %s %s, %s subsystem, %d bytes' % (
        sys.argv[1], kind, MACHINES.get(image.machine, hex(image.machine)),
        SUBSYSTEMS.get(image.subsystem, image.subsystem), len(data)))
    print('imports:')
    for dll, count in image.imports():
        print('  %-14s %3d functions' % (dll, count))
    print('resources:')
    for rtype, rid, lang, size in image.resources():
        print('  %-12s %-6s language %04x  %6d bytes' % (rtype, rid, lang, size))


if __name__ == '__main__':
    main()
