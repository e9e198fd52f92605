#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT
#
# What a link took into the program that is not ours, and what we say of it:
#
#	cmake/components.py notices <linker map> <output> <vendor> <contact>
#	cmake/components.py bill <artefact> <linker map> <version> <architecture> <vendor>
#
# The linker's map is read here and nowhere else: every archive member and
# start file, the Debian package that owns it (dpkg -S), its version and
# source, and the licence of the code. The notices and the CycloneDX 1.6 bill
# (<artefact>.cdx.json) are both written from that one reading, and
# .ci/check-bills imports this file rather than read the map a second way.
# A change of toolchain or library changes the answer by itself; a file that
# no package owns, or code whose licence nobody here has read, stops the
# build rather than ship undeclared. The bill has no clock in it and its
# serial number comes from its content: one artefact, one document.
import collections
import hashlib
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import uuid


class Fault(Exception):
    """Something that must not ship: the caller says where."""


# The licences reviewed for this program, by the Debian source of the code:
# an SPDX expression, and the texts of /usr/share/common-licenses to give in
# full. MinGW-w64's printf and strtod (gdtoa) carry Lucent's and David M.
# Gay's notices, which SPDX has no name for; their texts are in the
# package's copyright file.
LICENCES = {
    "glibc": ("LGPL-2.1-or-later", ["LGPL-2.1"]),
    "gcc": ("GPL-3.0-or-later WITH GCC-exception-3.1", ["GPL-3"]),
    "mingw-w64": ("ZPL-2.1 AND LicenseRef-Lucent AND LicenseRef-David-Gay", []),
}

# Where each kind of artefact holds the program, under its own top directory.
PROGRAM = {".tar.gz": "bin/converter", ".deb": "usr/bin/converter",
           ".zip": "converter.exe", ".msi": "converter.exe"}


def query(*arguments, check=False):
    return subprocess.run(["dpkg-query", *arguments], check=check, capture_output=True, text=True)


def owner(path):
    """The package that owns <path>, its bytes checked against the
    package's md5sums."""
    real = os.path.realpath(path)
    # A library reached through a symbolic link is listed by either name.
    for listed in (real, os.path.normpath(path)):
        found = query("-S", listed)
        # Diversions and other packages that share a directory come as more
        # names or lines; the owner is the line's first package.
        m = re.search(r"^([^ ,:\n]+(?::[a-z0-9]+)?)(?:, [^:\n]+)*: ", found.stdout, re.M)
        if found.returncode == 0 and m:
            break
    else:
        raise Fault(f"The link took {real} into the program, and no Debian package owns it: "
                    "nothing says what it is or under which licence it may be passed on")
    # The notices and the bill speak of the package's code, not of a file
    # changed since: its bytes must be those that the package's md5sums give.
    sums = query("--control-show", m[1], "md5sums").stdout
    known = re.search(r"^([0-9a-f]+)  " + re.escape(listed.lstrip("/")) + "$", sums, re.M)
    if not known:
        raise Fault(f"{m[1]} gives no md5sum for {listed}, so nothing shows that the link "
                    "took the package's own bytes")
    if hashlib.md5(pathlib.Path(real).read_bytes()).hexdigest() != known[1]:
        raise Fault(f"{real} is not the file that {m[1]} installed (its md5sum differs): "
                    "the link took code that no package vouches for")
    return m[1]


def link_components(link_map):
    """The parts that the link of <link_map> took in, one per package, in
    the order of their names: the archive members and start files not ours
    that the map names, by the package that owns each."""
    link_map = pathlib.Path(link_map)
    build_dir = link_map.resolve().parent
    files = collections.Counter()
    for line in link_map.read_text(errors="replace").splitlines():
        # Only the list of the archive members that the link took names
        # one at the start of a line; the memory map indents its own.
        if m := re.match(r"(/[^()]+)\([^()]+\)", line):
            files[m[1]] += 1
        # A start file comes with no members; our own objects are in the
        # build tree.
        elif (m := re.match(r"LOAD (/.*\.(o|obj))$", line)) and \
                build_dir not in pathlib.Path(m[1]).resolve().parents:
            files[m[1]] += 0
    if not files:
        raise Fault(f"{link_map} names no library file: is it a linker map?")
    taken = {}
    for path, members in files.items():
        name = pathlib.Path(os.path.realpath(path)).name
        if members:
            name += f": {members} member" + ("s" if members != 1 else "")
        taken.setdefault(owner(path), []).append(name)
    parts = []
    for package in sorted(taken):
        version, source, source_version = query(
            "-W", "-f=${Version}\t${source:Package}\t${source:Version}", package,
            check=True).stdout.split("\t")
        # A cross toolchain rebuilds glibc or gcc under a source package of
        # its own and marks the version: 2.36-8cross1 is glibc 2.36-8, and
        # gcc-mingw-w64's 12.2.0-14+deb12u1+25.2+b1 is gcc 12.2.0-14+deb12u1.
        origin, origin_version = source, source_version
        if source.startswith("cross-toolchain-base"):
            origin = "glibc"
        elif m := re.match(r"(gcc-\d+)-cross", source):
            origin = m[1]
        elif source == "gcc-mingw-w64" and (m := re.match(r"(\d+)\.", version)):
            origin = f"gcc-{m[1]}"
        if origin != source:
            origin_version = re.sub(r"(cross\d+|\+" + re.escape(source_version) + r"(\+b\d+)?)$",
                                    "", version)
        files = sorted(taken[package])
        licence, texts = LICENCES.get(re.sub(r"^gcc-\d+$", "gcc", origin), (None, None))
        if licence is None:
            raise Fault(f"The link took {', '.join(files)} from {package} (source {origin}), whose "
                        "licence has not been reviewed for this program: add it to "
                        "cmake/components.py")
        copyright = f"/usr/share/doc/{package.split(':')[0]}/copyright"
        if not os.path.exists(copyright):
            raise Fault(f"{package} has no {copyright} to give its licence")
        parts.append(dict(package=package, version=version, source=source,
                          source_version=source_version, origin=origin,
                          origin_version=origin_version, licence=licence, texts=texts,
                          copyright=copyright, files=files))
    return parts


def notices(parts, vendor, contact):
    """THIRD-PARTY-NOTICES: what the program embeds, from which Debian
    package and version, where that source is to be had, and each licence in
    full."""
    def where(name, version):
        # Debian's snapshot service keeps every version that the archive had.
        return (f"https://snapshot.debian.org/package/{name}/{version.replace('+', '%2B')}/\n"
                f"             apt-get source {name}={version}")

    out = """THIRD-PARTY NOTICES

converter itself is under the MIT licence (see LICENSE). This program was
linked statically, and so it also contains code from the parts below, which
come from Debian's packages and stay under their own licences. Each part's
Debian copyright file, and the licences it refers to, follow in full.
"""
    for n, p in enumerate(parts, 1):
        out += (f"\n{n}. {p['origin']} {p['origin_version']}\n   Licence:  {p['licence']}\n"
                f"   Package:  {p['package']} {p['version']}, built from the source package "
                f"{p['source']} {p['source_version']}\n   Embedded: {', '.join(p['files'])}\n"
                f"   Source:   {where(p['origin'], p['origin_version'])}\n")
        if p["source"] != p["origin"]:
            out += f"   Built by: {where(p['source'], p['source_version'])}\n"
    address = re.sub(r"^.*<(.*)>$", r"\1", contact)
    if any("LGPL" in p["licence"] for p in parts):
        out += f"""
The GNU C Library is under the GNU Lesser General Public License, version 2.1
or later, whose text follows. It lets you change the library and relink
converter with your copy. converter's complete source, from which this
program builds byte for byte, is published with it; build the tarball again
with `cmake --workflow --preset package-tarball` against your library. The
library's own source is at the addresses above. For at least three years
from this release {vendor} will also give anyone who asks the
complete corresponding source of these parts, for no more than the cost of
sending it: write to {address}.
"""
    texts = dict.fromkeys(t for p in parts for t in p["texts"])
    for title, path in [(p["package"], p["copyright"]) for p in parts] + \
            [(t, f"/usr/share/common-licenses/{t}") for t in texts]:
        # Copyright files are not all UTF-8: their bytes go through as they are.
        text = pathlib.Path(path).read_text(errors="surrogateescape")
        out += f"\n\n{'=' * 78}\n{title}: {path}\n{'=' * 78}\n\n{text}"
    return out


def read_in(artefact, path):
    """The bytes of <path> (PROGRAM's, or the notices) in <artefact>."""
    with tempfile.TemporaryDirectory() as where:
        if str(artefact).endswith(".msi"):
            subprocess.run(["msiextract", "-C", where, str(artefact)], check=True,
                           capture_output=True)
        elif str(artefact).endswith(".deb"):
            from debian.debfile import DebFile
            DebFile(artefact).data.tgz().extractall(where)
        else:
            shutil.unpack_archive(artefact, where)
        return next(pathlib.Path(where).rglob(path)).read_bytes()


def program_in(artefact):
    """The program as <artefact> holds it: its path there, and its bytes."""
    path = next(p for kind, p in PROGRAM.items() if str(artefact).endswith(kind))
    return path, read_in(artefact, path)


def depends(deb):
    """A .deb's Depends, as its control file gives them: (name, constraint
    or None)."""
    from debian.debfile import DebFile
    from debian.deb822 import PkgRelation
    groups = PkgRelation.parse_relations(DebFile(deb).debcontrol().get("Depends", ""))
    # An alternative has no one package for a purl to name.
    if alternatives := [group for group in groups if len(group) != 1]:
        raise Fault(f"{pathlib.Path(deb).name}: cannot read the dependency "
                    f"'{PkgRelation.str(alternatives)}'")
    return [(group[0]["name"], " ".join(group[0]["version"] or ()) or None) for group in groups]


def bill(artefact, parts, version, arch, vendor):
    """The CycloneDX 1.6 bill of <artefact>: it and the program in it with
    their SHA-256; each part that the link took in, with Debian source
    package, version, licence and purl; for a .deb, what it depends on at
    run time."""
    artefact = pathlib.Path(artefact)

    def purl(name, version, qualifier):
        version = version.replace("+", "%2B").replace("~", "%7E")
        return f"pkg:deb/debian/{name}" + (f"@{version}" if version else "") + f"?{qualifier}"

    def properties(*pairs):
        return [{"name": f"converter:{name}", "value": value} for name, value in pairs if value]

    def sha256(data):
        return [{"alg": "SHA-256", "content": hashlib.sha256(data).hexdigest()}]

    components = []
    for p in parts:
        description = f"Linked into the program: {', '.join(p['files'])}."
        if p["package"].endswith("-cross") and p["origin"] == "glibc":
            description += (" This is the cross toolchain's own copy of the C library, not the "
                            f"archive's current libc6-dev for {arch}, which multiarch could not "
                            "install on the build machine.")
        components.append({
            "type": "library", "bom-ref": p["package"], "name": p["origin"],
            "version": p["origin_version"], "description": description, "scope": "required",
            "licenses": [{"expression": p["licence"]}],
            "purl": purl(p["origin"], p["origin_version"], "arch=source"),
            "properties": properties(("relationship", "embedded"),
                                     ("debian-binary-package", f"{p['package']} {p['version']}"),
                                     ("debian-source-package", f"{p['source']} {p['source_version']}"))})
    # A .deb's program finds the rest at run time, in the packages that its
    # Depends names: depended on, not embedded.
    for name, constraint in depends(artefact) if artefact.name.endswith(".deb") else ():
        components.append({
            "type": "library", "bom-ref": f"depends:{name}", "name": name,
            "description": "Installed beside the program: the .deb depends on it.",
            "scope": "required", "purl": purl(name, "", f"arch={arch}"),
            "properties": properties(("relationship", "runtime dependency (Depends)"),
                                     ("version-constraint", constraint))})
    program, program_bytes = program_in(artefact)
    body = {
        "version": 1,
        "metadata": {"component": {
            "type": "application", "bom-ref": "converter", "supplier": {"name": vendor},
            "name": "converter", "version": version,
            "description": f"Converts one temperature between Celsius and Fahrenheit ({artefact.name})",
            "licenses": [{"license": {"id": "MIT"}}],
            "hashes": sha256(artefact.read_bytes()),
            "components": [{"type": "file", "bom-ref": "program", "name": program,
                            "description": "The program, as the artefact holds it.",
                            "hashes": sha256(program_bytes)}],
            "properties": properties(("file", artefact.name), ("architecture", arch))}},
        "components": components,
        "dependencies": [{"ref": "converter", "dependsOn": [c["bom-ref"] for c in components]}],
    }
    digest = hashlib.sha1(json.dumps(body, sort_keys=True).encode()).hexdigest()
    serial = uuid.uuid5(uuid.NAMESPACE_URL, f"sbom:{digest}")
    return {"bomFormat": "CycloneDX", "specVersion": "1.6", "serialNumber": serial.urn, **body}


def main():
    try:
        match sys.argv[1:]:
            case ["notices", link_map, output, vendor, contact]:
                text = notices(link_components(link_map), vendor, contact)
                pathlib.Path(output).write_text(text, errors="surrogateescape")
            case ["bill", artefact, link_map, version, arch, vendor]:
                document = bill(artefact, link_components(link_map), version, arch, vendor)
                pathlib.Path(f"{artefact}.cdx.json").write_text(json.dumps(document, indent=2) + "\n")
            case _:
                sys.exit("usage: cmake/components.py notices <map> <output> <vendor> <contact>\n"
                         "       cmake/components.py bill <artefact> <map> <version> <arch> <vendor>")
    except Fault as fault:
        sys.exit(f"components: {fault}")


if __name__ == "__main__":
    main()
