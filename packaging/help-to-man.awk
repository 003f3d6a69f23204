# Turns `bendwise-cli --help` into the bendwise-cli(1) manual page, so the page says what
# the program says. Usage:
#   bendwise-cli --help | awk -v version="$(bendwise-cli --version)" -v date=YYYY-MM-DD \
#       -f help-to-man.awk
#
# The help's layout is read as follows:
#   - the first paragraph, "bendwise-cli - WHAT IT DOES", is NAME;
#   - the "usage:" lines are SYNOPSIS, the paragraph after them DESCRIPTION;
#   - a line in capitals at column 0 ("OPTIONS", "ANGLES (delta, ...)") opens a section;
#   - an item is a term and its text two or more blanks apart ("  --fields   instead of"),
#     or a term alone with its text on the lines below, indented further;
#   - a line indented as far as the item's text, or further, continues the item;
#   - any other line is running text of the section;
#   - EXAMPLES holds commands, each with an optional comment two or more blanks after it.

function esc(s) {
    gsub(/\\/, "\\e", s)
    gsub(/-/, "\\-", s)
    gsub(/\302\260/, "\\(de", s)  # the degree sign, UTF-8
    return s
}
# Prints filled text in lines of at most 80 bytes (longer ones are hard to diff and
# mandoc -Tlint calls them out), broken at single blanks; a piece that would begin with a
# control character is guarded with \&. A word longer than a line stays whole.
function wrapped(s,   at, cut) {
    while (length(s) > 80) {
        cut = 0
        for (at = 81; at > 1; at--) {
            if (substr(s, at, 1) == " " && substr(s, at - 1, 1) != " " && substr(s, at + 1, 1) != " ") {
                cut = at
                break
            }
        }
        if (!cut) break
        guarded(substr(s, 1, cut - 1))
        s = substr(s, cut + 1)
    }
    guarded(s)
}
function guarded(s) {
    if (s ~ /^[.']/) s = "\\&" s
    print s
    after_sh = 0
}
function text(s) {
    s = esc(s)
    if (nofill) guarded(s)
    else wrapped(s)
}
# A new paragraph, unless the section has only just begun (.PP after .SH is redundant).
function pp() {
    if (!after_sh) print ".PP"
    after_sh = 0
}
function sh(title) {
    print ".SH " title
    after_sh = 1
}
function indent_of(s) { match(s, /^ */); return RLENGTH }
# Splits the line's text (after its indent) at the first run of two or more blanks into
# term[] and rest[]; returns the column where the rest begins, 0 when there is no such run.
function split_item(s,   body, at) {
    body = substr(s, indent_of(s) + 1)
    if (!match(body, /  +/)) { term = body; rest = ""; return 0 }
    term = substr(body, 1, RSTART - 1)
    rest = substr(body, RSTART + RLENGTH)
    return indent_of(s) + RSTART - 1 + RLENGTH
}
function spaces(n,   s) { s = ""; while (n-- > 0) s = s " "; return s }
function header(s) { return s ~ /^[A-Z][A-Z ,]*[A-Z]( \(.*\))?$/ }

{ lines[NR] = $0 }

END {
    split(version, v, " ")
    print ".TH BENDWISE\\-CLI 1 \"" date "\" \"" esc(version) "\" \"User Commands\""
    i = 1
    sh("NAME")
    name = ""
    for (; i <= NR && lines[i] != ""; i++) name = name (name == "" ? "" : " ") lines[i]
    sub(/ - /, " \\- ", name)
    wrapped(name)
    for (; i <= NR && lines[i] !~ /^usage: /; i++) {}
    sh("SYNOPSIS")
    print ".nf"
    nofill = 1
    for (; i <= NR && lines[i] != ""; i++) {
        s = lines[i]
        sub(/^usage: /, "", s)
        sub(/^       /, "", s)
        if (s ~ /^\[/) s = "             " s
        text(s)
    }
    print ".fi"
    nofill = 0
    sh("DESCRIPTION")
    section = "DESCRIPTION"
    desc_col = 0   # column of the open item's text; 0: no item open
    for (; i <= NR; i++) {
        s = lines[i]
        if (s == "") continue
        if (header(s)) {
            section = s
            sub(/ \(.*/, "", section)
            sh(section)
            if (s != section) text(substr(s, length(section) + 2))
            desc_col = 0
            continue
        }
        ind = indent_of(s)
        if (section == "EXAMPLES") {
            col = split_item(s)
            if (ind == 2) {
                if (in_example) print (in_comment ? ".RE" : ".fi")
                pp()
                print ".nf"
                in_example = 1; in_comment = 0
            } else if (!command_goes_on) {
                if (!in_comment) { print ".fi"; print ".RS"; in_comment = 1 }
                text(substr(s, ind + 1))  # the comment goes on
                continue
            } else {
                term = spaces(ind - 2) term  # the command goes on from a line ending in \
            }
            command_goes_on = term ~ /\\$/
            guarded("\\fB" esc(term) "\\fR")
            if (col) { print ".fi"; print ".RS"; text(rest); in_comment = 1 }
            continue
        }
        next_ind = (i < NR && lines[i + 1] != "") ? indent_of(lines[i + 1]) : 0
        if (desc_col && ind >= desc_col) { text(substr(s, ind + 1)); continue }
        col = split_item(s)
        # A term with its text below: the lines below hang deeper (8 or more), or the
        # term's line has a blank where their text begins ("--pi-station STA the ...").
        if (!col && next_ind > ind && substr(s, next_ind, 1) ~ /^ ?$/) {
            term = substr(s, ind + 1, next_ind - ind - 1)
            sub(/ +$/, "", term)
            rest = substr(s, next_ind + 1)
            col = rest == "" ? 0 : next_ind
        } else if (!col && next_ind < ind + 8) {
            next_ind = 0
        }
        if (ind > 0 && (col || next_ind > ind)) {
            print ".TP"
            guarded("\\fB" esc(term) "\\fR")
            if (col) text(rest)
            desc_col = col ? col : next_ind
            continue
        }
        if (desc_col || section_text != section) pp()
        section_text = section
        desc_col = 0
        text(substr(s, ind + 1))
    }
    if (in_example) print (in_comment ? ".RE" : ".fi")
    sh("SEE ALSO")
    print ".BR bendwise (1)"
}
