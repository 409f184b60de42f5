#!/usr/bin/env python3
"""Writes the built-in default schema texts of the resource library:
resources/text/655.txt (attribute types) and resources/text/654.txt (object
classes), one definition per line, lines ended by CR LF.

They are the core, cosine and inetOrgPerson definitions of the standard
schema files. Definitions that directory servers build in are kept there as
comments (marked "# system schema"); they are taken too, as is uid, which
servers build in as well, since the model must know cn, objectClass, top and
their like without a server."""

import os
import re
import sys

SCHEMA_DIR = "/etc/ldap/schema"
FILES = ["core.schema", "cosine.schema", "inetorgperson.schema"]
ALSO_COMMENTED = {"0.9.2342.19200300.100.1.1"}  # uid


def definitions(path):
    """(keyword, text, commented) for every definition of a schema file."""
    out = []
    current = None
    marked = False
    for raw in open(path, encoding="utf-8"):
        line = raw.rstrip("\r\n")
        commented = line.startswith("#") and not line.startswith("##")
        body = line[1:] if commented else line
        if line.strip() == "# system schema":
            marked = True
            continue
        m = re.match(r"(attributetype|objectclass)\s+(.*)$", body, re.I)
        if m:
            if current:
                out.append(current)
            current = [m.group(1).lower(), m.group(2).strip(), commented, marked]
            marked = False
            continue
        if current and body[:1] in (" ", "\t") and (commented == current[2]):
            current[1] += " " + body.strip()
            continue
        if current:
            out.append(current)
            current = None
        if line.strip() and not line.startswith("#"):
            marked = False
    if current:
        out.append(current)
    return out


def oid_of(text):
    m = re.match(r"\(\s*([0-9.]+)", text)
    return m.group(1) if m else None


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    active, commented = [], []
    for name in FILES:
        for kind, text, is_comment, marked in definitions(os.path.join(SCHEMA_DIR, name)):
            if not is_comment:
                active.append((kind, text))
            elif marked or oid_of(text) in ALSO_COMMENTED:
                commented.append((kind, text))
    seen = {oid_of(t) for _, t in active}
    merged = [d for d in commented if oid_of(d[1]) not in seen] + active
    texts = {"attributetype": [], "objectclass": []}
    for kind, text in merged:
        texts[kind].append(re.sub(r"\s+", " ", text))
    out_dir = os.path.join(root, "resources", "text")
    os.makedirs(out_dir, exist_ok=True)
    for kind, rid in (("attributetype", 655), ("objectclass", 654)):
        with open(os.path.join(out_dir, "%d.txt" % rid), "wb") as f:
            for t in texts[kind]:
                f.write(t.encode("utf-8") + b"\r\n")
        print("%d.txt: %d definitions" % (rid, len(texts[kind])), file=sys.stderr)


if __name__ == "__main__":
    main()
