#!/usr/bin/env python3
"""Checks the layers of src/: each top folder includes only from the layers
below it, and the core includes no Qt, POSIX or desktop library header.
Prints every breach and exits 1 if there is one."""
import pathlib
import re
import sys

# What each top folder may include from.
ALLOWED = {
    'core': {'core'},
    'platform': {'core', 'platform'},
    'gui': {'core', 'platform', 'gui'},
    'cli': {'core', 'platform'},
}
# Headers that would tie the core to an OS or a toolkit.
CORE_FORBIDDEN = re.compile(
    r'<(Q\w*|sys/|unistd\.h|fcntl\.h|dlfcn\.h|poll\.h|pthread\.h|xcb/|wayland-|gio/|glib|hidapi|libudev)')
LOCAL = re.compile(r'#include "([^"]+)"')
SYSTEM = re.compile(r'#include (<[^>]+>)')


def main(root):
    src = pathlib.Path(root) / 'src'
    breaches = []
    for path in sorted(src.rglob('*')):
        if path.suffix not in ('.cpp', '.h') or not path.is_file():
            continue
        relative = path.relative_to(src)
        layer = relative.parts[0]
        if layer not in ALLOWED:
            breaches.append(f'{relative}: outside the layers {sorted(ALLOWED)}')
            continue
        text = path.read_text(encoding='utf-8')
        for included in LOCAL.findall(text):
            target = included.split('/')[0]
            if target in ALLOWED and target not in ALLOWED[layer]:
                breaches.append(f'{relative}: a {layer} file includes {included}')
        if layer == 'core':
            for header in SYSTEM.findall(text):
                if CORE_FORBIDDEN.match(header):
                    breaches.append(f'{relative}: the core includes {header}')
    for breach in breaches:
        print(breach)
    return 1 if breaches else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else '.'))
