#!/bin/sh
# Fills a man page template: @VERSION@, and the lines ".@KEYWORDS@" and ".@EXAMPLES@" from
# README.md's script keyword table and the example block after it, so that a keyword added
# to the README appears in the manual with no further edit.
# Usage: gen-manpage.sh TEMPLATE README VERSION OUTPUT
set -eu
template=$1 readme=$2 version=$3 output=$4
awk -v version="$version" '
function roff(s,   out, a, b) {
    gsub(/\\/, "\\e", s)
    gsub(/-/, "\\-", s)
    out = ""
    while (match(s, /`[^`]*`/)) {
        out = out substr(s, 1, RSTART - 1) "\\fB" substr(s, RSTART + 1, RLENGTH - 2) "\\fR"
        s = substr(s, RSTART + RLENGTH)
    }
    return out s
}
function line(s) {
    if (s ~ /^[.\047]/) s = "\\&" s
    return s
}
function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
FNR == NR {
    sub(/\r$/, "")
    if ($0 ~ /^\| *Keyword *\| *Short *\|/) { intable = 1; next }
    if (intable) {
        if ($0 !~ /^\|/) { intable = 0; done = 1 }
        else if ($0 !~ /^\|[ -]*-[ -|]*$/) {
            row = $0
            sub(/^[ \t]*\|/, "", row); sub(/\|[ \t]*$/, "", row)
            n = split(row, cell, /\|/)
            effect = trim(cell[4])
            kw[++nkw] = ".TP\n" line(roff(trim(cell[1])) ", " roff(trim(cell[2])) \
                        (trim(cell[3]) == "none" ? "" : " (\\fI" roff(trim(cell[3])) "\\fR)")) \
                        (effect == "" ? "" : "\n" line(roff(effect)))
        }
        next
    }
    if (done && !inex && $0 ~ /^Examples/) { wantex = 1; next }
    if (wantex && $0 ~ /^```/) {
        if (inex) { wantex = 0; inex = 0 } else inex = 1
        next
    }
    if (inex) ex[++nex] = line(roff($0))
    next
}
{
    gsub(/@VERSION@/, version)
    if ($0 == ".@KEYWORDS@") {
        if (nkw == 0) { print "no keyword table found" > "/dev/stderr"; exit 1 }
        for (i = 1; i <= nkw; i++) print kw[i]
    } else if ($0 == ".@EXAMPLES@") {
        print ".RS\n.nf"
        for (i = 1; i <= nex; i++) print ex[i]
        print ".fi\n.RE"
    } else print
}
' "$readme" "$template" > "$output.tmp"
mv "$output.tmp" "$output"
