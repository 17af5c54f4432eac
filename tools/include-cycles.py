#!/usr/bin/env python3
"""Include circles among modules (dir/name.cpp with dir/name.h; name_posix/_win32 belong to name).
Prints each strongly connected group and, for each edge in it, the shortest way back; exit 1 if any."""
import os, re, subprocess, sys
from collections import defaultdict
os.chdir(subprocess.run(["git", "rev-parse", "--show-toplevel"], capture_output=True, text=True).stdout.strip())
roots = ("app/", "engine/", "modbus/", "model/", "pages/", "platform/", "serial/", "sets/", "tools/sim/")
files = [f for f in subprocess.run(["git", "ls-files"], capture_output=True, text=True).stdout.split()
         if f.startswith(roots) and f.endswith((".cpp", ".h"))]
module = lambda p: re.sub(r"_(posix|win32)$", "", os.path.splitext(p)[0])
inc, uses = re.compile(r'^\s*#\s*include\s+"([^"]+)"'), defaultdict(set)
for f in files:
    for line in open(f, encoding="utf-8", errors="replace"):
        m = inc.match(line)
        if m and m.group(1) in files and module(m.group(1)) != module(f):
            uses[module(f)].add(module(m.group(1)))
index, low, stack, on, groups = {}, {}, [], set(), []
def visit(v):
    index[v] = low[v] = len(index); stack.append(v); on.add(v)
    for w in sorted(uses[v]):
        if w not in index: visit(w); low[v] = min(low[v], low[w])
        elif w in on: low[v] = min(low[v], index[w])
    if low[v] == index[v]:
        g = []
        while not g or g[-1] != v: g.append(stack.pop()); on.discard(g[-1])
        if len(g) > 1: groups.append(sorted(g))
for v in sorted(set(map(module, files))):
    if v not in index: visit(v)
def back(src, dst, inside):
    prev, todo = {src: None}, [src]
    for v in todo:
        for w in sorted(uses[v] & inside):
            if w not in prev: prev[w] = v; todo.append(w)
    p = [dst]
    while p[-1] != src: p.append(prev[p[-1]])
    return p[::-1]
for g in groups:
    print("circle:", " ".join(g))
    for a in g:
        for b in sorted(uses[a] & set(g)): print("   ", a, "->", " -> ".join(back(b, a, set(g))))
print(len(groups), "groups"); sys.exit(1 if groups else 0)
