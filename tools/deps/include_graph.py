#!/usr/bin/env python3
"""The include graph of the program's sources: circles and includes that run up a layer.

A header and the .cpp files that implement it (same name, or the name followed by more
letters or _win/_posix) are one unit; a unit depends on every header its files include, and
a header whose functions a file of another folder defines depends on that file's unit (its
callers need that file).
Prints the circles (units that reach each other, and folders that reach each other through
their includes), the includes that run up a layer, and the window files over the line limit.
Exits 1 when there is any of them.

    tools/deps/include_graph.py [repository root]
"""
import os
import re
import sys
from collections import defaultdict

# Bottom to top. A file may include its own layer and those below; within a layer, folders
# may include each other as long as no circle closes.
FOLDERS = ["platform", "settings", "controls", "quotes", "delivery", "door", "common", "feed",
           "alerts", "floats", "news", "options", "app", "launcher"]
LOWER = {"platform": 0, "settings": 1, "controls": 2, "quotes": 3, "delivery": 3}
LOGIC, WINDOWS, BAR = 4, 5, 6
WINDOW_LINE_LIMIT = 400
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def is_window(path):
    name = os.path.basename(path)
    return name.startswith("Dlg") or re.search(r"_win\.(h|cpp)$", name) is not None


# The bar's own files: its window, the program around it and its way down to the windows.
BAR_FILES = ("DlgQuote", "TickmonApp", "main_", "LaterWindows")


def is_bar(path):
    return path.startswith("app/") and os.path.basename(path).startswith(BAR_FILES)


def layer(path):
    folder = path.split("/")[0]
    if folder in LOWER:
        return LOWER[folder]
    if folder == "door":
        return LOGIC
    if folder == "launcher" or is_bar(path):
        return BAR
    return WINDOWS if is_window(path) else LOGIC


LAYER_NAMES = {0: "platform", 1: "settings", 2: "controls", 3: "quotes/delivery",
               LOGIC: "logic", WINDOWS: "windows", BAR: "the bar"}


def sources(root):
    for folder in FOLDERS:
        base = os.path.join(root, folder)
        if not os.path.isdir(base):
            continue
        for name in sorted(os.listdir(base)):
            if name.endswith((".h", ".cpp")):
                yield folder + "/" + name


def folder_of(path):
    return path.split("/")[0]


def unit_of(path, headers):
    """The header a file belongs to: itself, or the longest header stem that starts its name."""
    folder, name = path.split("/")
    stem = re.sub(r"(_win|_posix)?\.(h|cpp)$", "", name)
    best = None
    for header in headers.get(folder, []):
        if stem.startswith(header) and (best is None or len(header) > len(best)):
            best = header
    return folder + "/" + (best or stem)


DECLARATION = re.compile(r"^(?!inline|#|//|class|struct|enum|namespace|using|template|typedef|"
                         r"extern|static|}|\s)[^;{}()]*?\b(\w+)\([^;{]*\)\s*(const\s*)?;", re.M)


def declared_functions(body):
    """Free functions a header declares at the top level."""
    return set(match.group(1) for match in DECLARATION.finditer(body))


def defines(body, name):
    definition = (r"^[A-Za-z_][\w:<>,*& ]*[ *&]" + name +
                  r"\([^;{]*\)\s*(const\s*)?(noexcept\s*)?\{")
    return re.search(definition, body, re.M) is not None


def strongly_connected(graph):
    index, low, stack, on_stack, result = {}, {}, [], set(), []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for target in graph[node]:
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            group = []
            while True:
                top = stack.pop()
                on_stack.discard(top)
                group.append(top)
                if top == node:
                    break
            if len(group) > 1:
                result.append(sorted(group))

    sys.setrecursionlimit(10000)
    for node in list(graph):
        if node not in index:
            visit(node)
    return result


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    files = list(sources(root))
    headers = defaultdict(list)
    for path in files:
        if path.endswith(".h"):
            folder, name = path.split("/")
            headers[folder].append(name[:-2])
    known = set(files)
    bodies = {}
    for path in files:
        with open(os.path.join(root, path), encoding="utf-8") as text:
            bodies[path] = text.read()
    declared = {path: declared_functions(bodies[path]) for path in files if path.endswith(".h")}
    graph = defaultdict(set)
    members = defaultdict(list)
    upward = []
    for path in files:
        unit = unit_of(path, headers)
        members[unit].append(path)
        graph[unit]
        for target in INCLUDE.findall(bodies[path]):
            if target not in known:
                continue
            target_unit = unit_of(target, headers)
            if target_unit != unit:
                graph[unit].add(target_unit)
                if path.endswith(".cpp") and folder_of(path) != folder_of(target) and any(defines(bodies[path], name)
                                                 for name in declared[target]):
                    graph[target_unit].add(unit)
            if layer(target) > layer(path):
                upward.append((path, target))

    circles = strongly_connected(graph)
    folder_graph = defaultdict(set)
    for unit, targets in graph.items():
        folder_graph[folder_of(unit)].update(
            folder_of(target) for target in targets if folder_of(target) != folder_of(unit))
    circles += [["folders"] + group for group in strongly_connected(folder_graph)]
    for group in circles:
        if group[0] == "folders":
            print(f"circle of folders: {' '.join(group[1:])}")
            continue
        folders = sorted({unit.split("/")[0] for unit in group})
        files_in = sorted(f for unit in group for f in members[unit])
        kind = "across " + ", ".join(folders) if len(folders) > 1 else "inside " + folders[0]
        print(f"circle {kind}: {len(files_in)} files: {' '.join(files_in)}")
    for path, target in upward:
        print(f"upward: {path} ({LAYER_NAMES[layer(path)]}) -> {target} "
              f"({LAYER_NAMES[layer(target)]})")
    long_windows = []
    for path in files:
        if is_window(path) or is_bar(path):
            with open(os.path.join(root, path), encoding="utf-8") as text:
                lines = sum(1 for _ in text)
            if lines > WINDOW_LINE_LIMIT:
                long_windows.append(path)
                print(f"long window file: {path} {lines} lines")
    print(f"{len(circles)} circles, {len(upward)} upward includes, "
          f"{len(long_windows)} window files over {WINDOW_LINE_LIMIT} lines")
    return 1 if circles or upward or long_windows else 0


if __name__ == "__main__":
    sys.exit(main())
