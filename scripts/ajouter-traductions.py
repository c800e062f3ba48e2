#!/usr/bin/env python3
"""Adds translations to shell/langues/translat.txt.

    ajouter-traductions.py MISSING TABLE.py
MISSING is the list the dictionary test writes (KINEPO_TEXTES_MANQUANTS), one escaped French
text per line; TABLE.py defines T = {french: (spanish, english)} with texts stripped of their
surrounding spaces, which are given back. Texts of MISSING with no entry in T are printed.
"""
import runpy
import sys
from pathlib import Path

dico = Path(__file__).resolve().parent.parent / "shell" / "langues" / "translat.txt"
manquants = Path(sys.argv[1]).read_text(encoding="utf-8").splitlines()
table = runpy.run_path(sys.argv[2])["T"]


def deseschapper(t):
    return t.replace("\\n", "\n").replace("\\t", "\t").replace("\\\\", "\\")


def echapper(t):
    return t.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t")


lignes = []
sans = []
for brut in manquants:
    if not brut:
        continue
    fr = deseschapper(brut)
    coeur = fr.strip()
    if coeur not in table:
        sans.append(brut)
        continue
    debut = fr[: len(fr) - len(fr.lstrip())]
    fin = fr[len(fr.rstrip()):]
    es, en = table[coeur]
    lignes.append("\t".join(echapper(debut + x + fin) for x in (fr.strip(), es, en)))
with dico.open("a", encoding="utf-8") as f:
    for l in lignes:
        f.write(l + "\n")
print(f"{len(lignes)} lignes ajoutées")
for s in sans:
    print("sans traduction:", s)
