#!/usr/bin/env python3
"""Checks the shape of src/:
- each top folder includes only from the layers below it, and the core
  includes no Qt, POSIX or desktop library header;
- the folders inside a layer include each other without a cycle;
- only the window and the program's start include the main window's header;
- no class keeps a Windows-style name (C followed by a capital);
- each folder's CMakeLists.txt names only files of that folder.
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
MAIN_WINDOW = 'gui/window/main_window.h'
MAIN_WINDOW_USERS = {'gui/window/main_window.cpp', 'gui/window/program.cpp'}
WINDOWS_CLASS = re.compile(r'^\s*(?:class|struct)\s+(C[A-Z]\w*)', re.M)
CMAKE_FILE = re.compile(r'^\s+([\w./-]+\.(?:cpp|h|c|xml))\s*$', re.M)


def folder(path):
    """The folder a file counts in: core/device, gui/window, platform, ..."""
    parts = pathlib.PurePath(path).parts
    return '/'.join(parts[:2]) if len(parts) > 2 else parts[0]


def cycles(graph):
    """The strongly connected groups of more than one folder."""
    index, low, stack, found = {}, {}, [], []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        for target in graph.get(node, ()):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def main(root):
    src = pathlib.Path(root) / 'src'
    breaches = []
    graph = {}
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
            if included == MAIN_WINDOW and str(relative) not in MAIN_WINDOW_USERS:
                breaches.append(f'{relative}: includes the main window; pages see PageHost')
            if (src / included).is_file() and folder(included) != folder(relative):
                graph.setdefault(folder(relative), {}).setdefault(folder(included), str(relative))
        if layer == 'core':
            for header in SYSTEM.findall(text):
                if CORE_FORBIDDEN.match(header):
                    breaches.append(f'{relative}: the core includes {header}')
        for name in WINDOWS_CLASS.findall(text):
            breaches.append(f'{relative}: class {name} keeps a Windows-style name')
    for group in cycles(graph):
        edges = [f'{a} -> {b} ({graph[a][b]})' for a in group for b in graph[a] if b in group]
        breaches.append('folders include each other in a cycle: ' + '; '.join(edges))
    for lists in sorted(src.rglob('CMakeLists.txt')):
        for named in CMAKE_FILE.findall(lists.read_text(encoding='utf-8')):
            if '/' in named or not (lists.parent / named).is_file():
                breaches.append(f'{lists.relative_to(src)}: names {named}, not a file of its folder')
    for breach in breaches:
        print(breach)
    return 1 if breaches else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else '.'))
