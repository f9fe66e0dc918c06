#!/usr/bin/env python3
"""Checks the program's layers: the libraries under src/ and tools/ and what their files include.

The build notes every library it makes (name, folders, links) in a manifest (layers.txt in the
build folder). This script fails when
  - the links between the libraries form a cycle;
  - a file under src/ or tools/ includes a header of a library that its own library does not
    link, directly or through others (an include that reaches up or sideways);
  - read folder by folder (as a folder tree shows the code: sibling folders under one parent,
    each with everything below it), a folder includes a folder that holds a library above one
    of its own (an include that runs back up the layers), or folders include each other, in a
    pair or a longer loop;
  - a folder under src/ or tools/ with sources belongs to no library;
  - the graph drawn in docs/ARCHITECTURE.md (between the "layers:begin" and "layers:end"
    markers) is not the graph of the build (--write-doc redraws it).
"""
import argparse
import os
import re
import sys

TREES = ("src", "tools")  # the folders whose files are checked, each also a root of includes
BEGIN = "<!-- layers:begin -->"
END = "<!-- layers:end -->"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def read_manifest(path):
    libraries = {}
    with open(path, encoding="utf-8") as manifest:
        for line in manifest:
            fields = line.split(" ")
            if len(fields) != 3:
                continue
            name, folders, links = (f.strip() for f in fields)
            # A library noted twice (once more with what only another platform links) is one.
            library = libraries.setdefault(name, {"folders": [], "links": []})
            library["folders"] += [f for f in folders.split(",") if f not in library["folders"]]
            library["links"] += [l for l in links.split(",") if l not in library["links"]]
    for library in libraries.values():
        library["folders"] = [f for f in library["folders"] if f]
        library["links"] = [l for l in library["links"] if l in libraries]
    return libraries


def find_cycle(libraries):
    state = {}  # name -> 1 while on the path, 2 when done
    path = []

    def visit(name):
        state[name] = 1
        path.append(name)
        for link in libraries[name]["links"]:
            if state.get(link) == 1:
                return path[path.index(link):] + [link]
            if link not in state:
                cycle = visit(link)
                if cycle:
                    return cycle
        path.pop()
        state[name] = 2
        return None

    for name in sorted(libraries):
        if name not in state:
            cycle = visit(name)
            if cycle:
                return cycle
    return None


def reachable(libraries, name):
    seen, todo = set(), [name]
    while todo:
        for link in libraries[todo.pop()]["links"]:
            if link not in seen:
                seen.add(link)
                todo.append(link)
    return seen


def folder_owners(libraries):
    owner = {}
    for name, library in libraries.items():
        for folder in library["folders"]:
            owner[folder] = name
    return owner


def source_files(root):
    """Every source file under the checked trees: (its folder, its name), relative to root."""
    for tree in TREES:
        for folder, _, files in os.walk(os.path.join(root, tree)):
            relative = os.path.relpath(folder, root)
            for file in sorted(f for f in files if f.endswith((".cpp", ".h"))):
                yield relative, file


def resolve(root, folder, include):
    """The file an #include names, relative to root: beside the includer or below a tree."""
    for base in [folder] + list(TREES):
        candidate = os.path.normpath(os.path.join(base, include))
        if os.path.exists(os.path.join(root, candidate)):
            return candidate
    return None  # generated, or found on another include path


def read_includes(root):
    """(including folder, file, include as written, included file) for every include found."""
    found = []
    for folder, file in source_files(root):
        with open(os.path.join(root, folder, file), encoding="utf-8", errors="replace") as text:
            includes = INCLUDE.findall(text.read())
        for include in includes:
            target = resolve(root, folder, include)
            if target:
                found.append((folder, file, include, target))
    return found


def check_includes(libraries, root, includes):
    owner = folder_owners(libraries)
    problems = []
    folders = sorted({folder for folder, _ in source_files(root)})
    for folder in folders:
        if folder not in owner:
            problems.append(f"{folder}: no library holds this folder")
    for folder, file, include, target in includes:
        if folder not in owner:
            continue
        name = owner[folder]
        included = owner.get(os.path.dirname(target))
        if included is None or included in reachable(libraries, name) | {name}:
            continue
        problems.append(f"{folder}/{file} includes \"{include}\": {name} does not link {included}")
    return problems


def sibling_folders(including, included):
    """The two folders under their common parent that an include runs between: each with
    everything below it, or the parent's own files ("parent/.") when a file lies in the parent."""
    a, b = including.split(os.sep), included.split(os.sep)
    common = 0
    while common < min(len(a), len(b)) and a[common] == b[common]:
        common += 1
    parent = a[:common]

    def node(parts):
        return os.sep.join(parent + [parts[common] if len(parts) > common else "."])

    return node(a), node(b)


def libraries_in(libraries, node):
    """The libraries whose folders lie in a folder node (or, for "parent/.", in the parent)."""
    if node.endswith(os.sep + "."):
        folder = node[:-2]
        return {n for n, l in libraries.items() if folder in l["folders"]}
    return {n for n, l in libraries.items()
            if any(f == node or f.startswith(node + os.sep) for f in l["folders"])}


def check_folders(libraries, includes):
    """Reads the includes folder by folder; see the module's description."""
    edges = {}  # (folder, folder) -> an include that makes it
    for folder, file, include, target in includes:
        if os.path.dirname(target) == folder:
            continue
        a, b = sibling_folders(folder, os.path.dirname(target))
        edges.setdefault((a, b), f"{folder}/{file} includes \"{include}\"")
    problems = []
    for (a, b), example in sorted(edges.items()):
        above = [(upper, lower) for upper in sorted(libraries_in(libraries, b))
                 for lower in sorted(libraries_in(libraries, a))
                 if lower in reachable(libraries, upper)]
        if above:
            upper, lower = above[0]
            problems.append(f"{a} includes {b}, which holds {upper}, above {a}'s {lower} "
                            f"(an include that runs back up: {example})")
    graph = {}
    for a, b in edges:
        graph.setdefault(a, []).append(b)
    for cycle in folder_cycles(graph):
        steps = "; ".join(edges[(cycle[i], cycle[i + 1])] for i in range(len(cycle) - 1))
        problems.append("folders include each other: " + " -> ".join(cycle) + f" ({steps})")
    return problems


def folder_cycles(graph):
    """One loop of each strongly connected group of folders (Tarjan's algorithm)."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(graph.get(node, [])):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(set(group))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    cycles = []
    for group in groups:
        start = min(group)
        path, seen = [start], {start}
        # Walks inside the group until it comes back to a folder already on the path.
        while True:
            nxt = min(n for n in graph[path[-1]] if n in group)
            if nxt in seen:
                cycles.append(path[path.index(nxt):] + [nxt])
                break
            path.append(nxt)
            seen.add(nxt)
    return cycles


def program_libraries(libraries):
    """The libraries of the programs and their tools (under src/ and tools/, not tests/)."""
    return {n: l for n, l in libraries.items()
            if all(f.split(os.sep)[0] in TREES for f in l["folders"])}


def draw(libraries):
    """A mermaid graph of the libraries under src/ and tools/, each link drawn once (no
    shortcuts)."""
    shown = program_libraries(libraries)
    lines = ["```mermaid", "graph BT"]
    for name in sorted(shown):
        direct = [l for l in shown[name]["links"] if l in shown]
        # A link that another link already reaches adds nothing to the picture.
        indirect = set()
        for link in direct:
            indirect |= reachable(libraries, link)
        for link in sorted(set(direct) - indirect):
            lines.append(f"    {name} --> {link}")
    lines.append("```")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--manifest", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--doc")
    parser.add_argument("--write-doc", action="store_true")
    args = parser.parse_args()

    libraries = read_manifest(args.manifest)
    problems = []
    cycle = find_cycle(libraries)
    if cycle:
        problems.append("the libraries link in a cycle: " + " -> ".join(cycle))
    includes = read_includes(args.root)
    problems += check_includes(libraries, args.root, includes)
    problems += check_folders(libraries, includes)

    if args.doc:
        with open(args.doc, encoding="utf-8") as doc:
            text = doc.read()
        if BEGIN not in text or END not in text:
            problems.append(f"{args.doc}: no {BEGIN} ... {END} block")
        else:
            head, rest = text.split(BEGIN, 1)
            drawn, tail = rest.split(END, 1)
            graph = "\n" + draw(libraries)
            if drawn != graph:
                if args.write_doc:
                    with open(args.doc, "w", encoding="utf-8") as doc:
                        doc.write(head + BEGIN + graph + END + tail)
                else:
                    problems.append(f"{args.doc}: the graph differs from the build's; "
                                    "redraw it with --write-doc:\n" + draw(libraries))

    for problem in problems:
        print(problem, file=sys.stderr)
    if not problems:
        print(f"{len(libraries)} libraries, no cycle, every include within its layer, no folder "
              "that includes one above it or one that includes it back")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
