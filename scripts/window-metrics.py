#!/usr/bin/env python3
"""Prints a registry file that sets the system's caption, menu, status and message fonts to one face."""
import struct
import sys


def logfont(face, height, weight):
    # LOGFONTW: height, width, escapement, orientation, weight, then eight bytes, then 32 UTF-16 characters.
    data = struct.pack('<lllllBBBBBBBB', height, 0, 0, 0, weight, 0, 0, 0, 1, 0, 0, 0, 0)
    name = face.encode('utf-16-le')
    data += name + b'\0' * (64 - len(name))
    return ','.join('%02x' % b for b in data)


face = sys.argv[1]
lines = ['REGEDIT4', '', '[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]']
for value, weight in [('CaptionFont', 700), ('SmCaptionFont', 700), ('MenuFont', 400), ('StatusFont', 400),
                      ('MessageFont', 400), ('IconFont', 400)]:
    lines.append('"%s"=hex:%s' % (value, logfont(face, -12, weight)))
sys.stdout.write('\r\n'.join(lines) + '\r\n')
