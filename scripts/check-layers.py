#!/usr/bin/env python3
"""Checks the program's layers: the libraries under src/ and what their files include.

The build notes every library it makes (name, folders, links) in a manifest (layers.txt in the
build folder). This script fails when
  - the links between the libraries form a cycle;
  - a file under src/ includes a header of a library that its own library does not link,
    directly or through others (an include that reaches up or sideways);
  - a folder under src/ with sources belongs to no library;
  - the graph drawn in docs/ARCHITECTURE.md (between the "layers:begin" and "layers:end"
    markers) is not the graph of the build (--write-doc redraws it).
"""
import argparse
import os
import re
import sys

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


def check_includes(libraries, root):
    owner = {}
    for name, library in libraries.items():
        for folder in library["folders"]:
            owner[folder] = name
    problems = []
    src = os.path.join(root, "src")
    for folder, _, files in os.walk(src):
        relative = os.path.relpath(folder, root)
        sources = [f for f in files if f.endswith((".cpp", ".h"))]
        if not sources:
            continue
        if relative not in owner:
            problems.append(f"{relative}: no library holds this folder")
            continue
        name = owner[relative]
        allowed = reachable(libraries, name) | {name}
        for file in sorted(sources):
            with open(os.path.join(folder, file), encoding="utf-8", errors="replace") as text:
                includes = INCLUDE.findall(text.read())
            for include in includes:
                beside = os.path.join(relative, include)
                target = beside if os.path.exists(os.path.join(root, beside)) else \
                    os.path.join("src", include)
                if not os.path.exists(os.path.join(root, target)):
                    continue  # generated, or found on another include path
                included = owner.get(os.path.dirname(os.path.normpath(target)))
                if included is None or included in allowed:
                    continue
                problems.append(f"{relative}/{file} includes \"{include}\": {name} does not "
                                f"link {included}")
    return problems


def program_libraries(libraries):
    return {n: l for n, l in libraries.items() if all(f.startswith("src/") for f in l["folders"])}


def draw(libraries):
    """A mermaid graph of the libraries under src/, each link drawn once (no shortcuts)."""
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
    problems += check_includes(libraries, args.root)

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
        print(f"{len(libraries)} libraries, no cycle, every include within its layer")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
