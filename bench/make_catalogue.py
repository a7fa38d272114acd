#!/usr/bin/env python3
"""Writes a catalogue of N films in the layout the program itself saves.

Usage: make_catalogue.py N OUT.xml [--seed S]

English titles are real ones, taken in turn from data/films-en.tsv beside this
script; Czech titles and notes are strung together from Czech and English words,
diacritics included. The same N and seed always give the same bytes.
"""
import argparse
import os
import random

CZECH = ("hvězdná noc tichá řeka ztracený čas žlutý kůň dlouhé léto starý mlýn malý princ "
         "zimní příběh poslední vlak černé jezero úterní ráno čarodějův učeň divoké "
         "husy bílá paní Šťastný návrat Ďáblova past Žižkov Čtvrtek úžasný svět").split()
ENGLISH = ("road home winter summer city lights last night first love black white "
           "garden river story song silent house island bridge").split()
LANGUAGES = ["EN"] * 6 + ["CZ"] * 3 + ["DE", "FR", "cz", "en", ""]
SUBTITLES = ["CZ"] * 5 + ["", "EN", "EN,CZ", "cz", "SK"]
WIDTHS = {"S1": 50, "S2": 50, "S4": 2, "S5": 11, "S7": 100}


def attribute_text(text):
    """The attribute value as the program writes it: Windows-1250 bytes, those
    above 127 as numeric references, the five markup characters as entities."""
    out = []
    for byte in text.encode("cp1250", errors="replace"):
        if byte > 127 or byte in (9, 10, 13):
            out.append("&#%d;" % byte)
        else:
            out.append({"<": "&lt;", ">": "&gt;", "&": "&amp;", "'": "&apos;",
                        '"': "&quot;"}.get(chr(byte), chr(byte)))
    return "".join(out)


def words(rng, vocabulary, fewest, most, width):
    text = " ".join(rng.choice(vocabulary) for _ in range(rng.randint(fewest, most)))
    return (text[:1].upper() + text[1:])[:width]


def header(films):
    fields = [("K", 'fieldtype="i4" readonly="true" SUBTYPE="Autoinc"')]
    for name in ("S1", "S2", "S3", "S4", "S5", "S6", "S7"):
        kind = 'fieldtype="i4"' if name in ("S3", "S6") else \
            'fieldtype="string" WIDTH="%d"' % WIDTHS[name]
        fields.append((name, kind))
    return ('<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS>'
            + "".join('<FIELD attrname="%s" %s/>' % field for field in fields)
            + '</FIELDS><PARAMS AUTOINCVALUE="%d"/></METADATA><ROWDATA>' % (films + 1))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("films", type=int)
    parser.add_argument("out")
    parser.add_argument("--seed", type=int, default=15)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "data", "films-en.tsv"), encoding="utf-8") as source:
        titles = [line.split("\t")[0] for line in source if line.split("\t")[0].strip()]
    discs = max(1, args.films // 3)
    with open(args.out, "w", encoding="ascii") as out:
        out.write(header(args.films))
        for k in range(1, args.films + 1):
            values = [("K", str(k)),
                      ("S1", attribute_text(titles[(k - 1) % len(titles)][:WIDTHS["S1"]])),
                      ("S2", attribute_text(words(rng, CZECH, 1, 5, WIDTHS["S2"]))),
                      ("S3", str(rng.randint(1, discs))),
                      ("S4", rng.choice(LANGUAGES))]
            subtitles = rng.choice(SUBTITLES)
            if subtitles:
                values.append(("S5", subtitles))
            values.append(("S6", str(rng.choice((1, 1, 1, 1, 2, 2, 3)))))
            if rng.random() < 0.4:
                values.append(("S7", attribute_text(words(rng, CZECH + ENGLISH, 2, 12, WIDTHS["S7"]))))
            out.write("<ROW " + " ".join('%s="%s"' % value for value in values) + "/>")
        out.write("</ROWDATA></DATAPACKET>")


if __name__ == "__main__":
    main()
