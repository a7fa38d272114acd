#!/usr/bin/env python3
"""Times `kinovka-cli import` of the same N films from each format it reads.

Usage: import_formats.py --cli BIN --measure BIN --out DIR [--films N] [--runs R]

The films (seeded, Czech letters included) are written once as Kinovka's CSV,
as Ant Movie Catalog 4.2 binary and XML, as a GCstar collection and as a Tellico
zip, each in the layout the document on those formats describes. Every run
imports one file into a new empty catalogue through kinovka-measure; the table
shows the medians of wall time, processor time and peak memory, and each
format's processor time against CSV's (the wall time also holds the waiting for
a processor and for the disk, which a shared machine makes vary).
"""
import argparse
import os
import random
import statistics
import struct
import subprocess
import zipfile
from xml.sax.saxutils import quoteattr, escape

WORDS = ("hvězdná noc tichá řeka ztracený čas žlutý kůň dlouhé léto starý mlýn malý "
         "princ road home winter summer city lights last night first love").split()
LANGUAGES = ["English", "Czech", "German", "French"]


def films(n):
    rng = random.Random(7)
    for k in range(n):
        title = lambda: " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 5))).capitalize()
        yield {"en": title(), "cz": title(), "cd": str(k // 5 + 1), "lang": rng.choice(LANGUAGES),
               "subs": ", ".join(rng.sample(LANGUAGES, rng.randint(0, 2))), "discs": rng.randint(1, 2),
               "note": title(), "director": title(), "year": 1950 + rng.randint(0, 70)}


def csv(path, n):
    with open(path, "w", encoding="utf-8", newline="") as out:
        out.write("S1,S2,S3,S4,S5,S6,S7\r\n")
        for f in films(n):
            out.write('"%s","%s",%s,%s,"%s",%d,"%s"\r\n' % (f["en"], f["cz"], f["cd"], f["lang"][:2].upper(),
                                                          f["subs"][:11], f["discs"], f["note"]))


def amc(path, n):
    i = lambda v: struct.pack("<i", v)
    t = lambda s: i(len(s.encode("cp1250"))) + s.encode("cp1250")
    with open(path, "wb") as out:
        out.write(b" AMC_4.2 Ant Movie Catalog 4.2.x   antp/soulsnake    www.antp.be ")
        out.write(t("") * 4 + t("") * 2 + i(0))
        for k, f in enumerate(films(n)):
            out.write(b"".join(i(v) for v in (k + 1, 44000, -1, -1, 80, f["year"], 100, -1, -1, f["discs"], -1)))
            out.write(b"\1" + t("CD " + f["cd"]) + t("DVD") + t("") + t("") + t(f["en"]) + t(f["cz"]) + t(f["director"]))
            out.write(t("") * 9 + t(f["note"]) + t("") * 5 + t(f["lang"]) + t(f["subs"]) + t("700"))
            out.write(t("") + i(0) + i(0))


def amc_xml(path, n):
    with open(path, "w", encoding="cp1250") as out:
        out.write('<?xml version="1.0" encoding="windows-1250"?>\n<AntMovieCatalog Format="42"><Catalog><Contents>\n')
        for k, f in enumerate(films(n)):
            out.write('<Movie Number="%d" MediaLabel="CD %s" OriginalTitle=%s TranslatedTitle=%s Director=%s Year="%d" '
                      'Disks="%d" Languages="%s" Subtitles="%s" Comments=%s/>\n'
                      % (k + 1, f["cd"], quoteattr(f["en"]), quoteattr(f["cz"]), quoteattr(f["director"]),
                         f["year"], f["discs"], f["lang"], f["subs"], quoteattr(f["note"])))
        out.write("</Contents></Catalog></AntMovieCatalog>\n")


def gcstar_items(n):
    for k, f in enumerate(films(n)):
        yield ('<item id="%d" title=%s original=%s number="%d" identifier="%s" director=%s date="%d">'
               '<comment>%s</comment><audio><line><col>%s</col></line></audio></item>\n'
               % (k + 1, quoteattr(f["cz"]), quoteattr(f["en"]), f["discs"], f["cd"], quoteattr(f["director"]),
                  f["year"], escape(f["note"]), f["lang"]))


def gcstar(path, n):
    with open(path, "w", encoding="utf-8") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n<collection type="GCfilms" items="%d" version="1.7.0">\n' % n)
        out.writelines(gcstar_items(n))
        out.write("</collection>\n")


def tellico(path, n):
    entries = []
    for k, f in enumerate(films(n)):
        entries.append('<entry id="%d"><title>%s</title><cd>%s</cd><languages><language>%s</language></languages>'
                       '<directors><director>%s</director></directors><comments>%s</comments></entry>\n'
                       % (k + 1, escape(f["en"]), f["cd"], f["lang"], escape(f["director"]), escape(f["note"])))
    document = ('<?xml version="1.0" encoding="UTF-8"?>\n<tellico xmlns="http://periapsis.org/tellico/" syntaxVersion="11">'
                '<collection title="Filmy" type="3"><fields><field name="cd" title="CD" type="1" flags="0"/></fields>\n'
                + "".join(entries) + "</collection></tellico>\n")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.writestr("tellico.xml", document)


FORMATS = [("CSV", "films.csv", csv), ("Ant Movie Catalog", "films.amc", amc), ("AMC XML", "films-amc.xml", amc_xml),
           ("GCstar", "films.gcs", gcstar), ("Tellico zip", "films.tc", tellico)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--measure", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--films", type=int, default=100000)
    ap.add_argument("--runs", type=int, default=3)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    catalogue = os.path.join(args.out, "import-target.xml")
    print("import of %d films, medians of %d runs" % (args.films, args.runs))
    print("%-18s %10s %10s %10s %8s %10s" % ("format", "file MB", "wall s", "cpu s", "vs CSV", "peak MiB"))
    csv_cpu = None
    for name, file_name, write in FORMATS:
        path = os.path.join(args.out, "%d-%s" % (args.films, file_name))
        if not os.path.exists(path):
            write(path, args.films)
        results = []
        for _ in range(args.runs):
            subprocess.run([args.cli, "new", catalogue, "--force"], check=True, capture_output=True)
            done = subprocess.run([args.measure, args.cli, "import", catalogue, path], capture_output=True, text=True,
                                  check=True)
            wall, peak, cpu = done.stdout.split()[:3]
            results.append((float(wall), int(peak), float(cpu)))
        wall = statistics.median(r[0] for r in results)
        cpu = statistics.median(r[2] for r in results)
        peak = statistics.median(r[1] for r in results) / 1024
        csv_cpu = csv_cpu or cpu
        print("%-18s %10.1f %10.2f %10.2f %8.2f %10.0f" % (name, os.path.getsize(path) / 1e6, wall, cpu, cpu / csv_cpu, peak))


if __name__ == "__main__":
    main()
