#!/bin/sh
# Writes bendwise-cli's manual page and bash completion from what the program itself says,
# so neither keeps a second list of fields or options:
#   make-cli-docs.sh BENDWISE_CLI SOURCE_DIR OUTPUT_DIR
# OUTPUT_DIR/bendwise-cli.1      from --help and --version (packaging/help-to-man.awk)
# OUTPUT_DIR/bendwise-cli.bash   data/bendwise-cli.bash.in with its word lists filled in:
#   fields         the names of --fields that take an entry (a result field given as an
#                  entry is a usage error, exit status 2)
#   switches       "  NAME=on|off" lines of --help
#   options        every --option --help names
#   file options   "--option FILE"; value options "--option WORD" in capitals or a choice
#   choices        "--option word|word"
set -eu
cli=$1 src=$2 out=$3
help=$("$cli" --help)

"$cli" --help | awk -v version="$("$cli" --version)" -f "$src/packaging/help-to-man.awk" \
    >"$out/bendwise-cli.1.tmp"
mv "$out/bendwise-cli.1.tmp" "$out/bendwise-cli.1"

fields=""
for name in $("$cli" --fields | sed -n 's/^\([a-z-]*\)=.*/\1/p'); do
    [ "$name" = pair ] && continue
    status=0
    "$cli" "$name=" >/dev/null 2>&1 || status=$?
    [ "$status" -ne 2 ] && fields="$fields $name"
done
words() { printf '%s\n' "$help" | grep -o -e "$1" | sed "$2" | sort -u | tr '\n' ' ' | sed 's/ $//'; }
switches=$(words '^  [a-z]*=on|off' 's/^  //; s/=.*//')
options=$(words ' --[a-z][a-z-]*' 's/^ //')
file_options=$(words '\--[a-z][a-z-]* FILE' 's/ .*//')
value_options=$(words '\--[a-z][a-z-]* \([A-Z][A-Z]*\|[a-z][a-z]*|[a-z][a-z|]*\)' 's/ .*//')
choices=$(words '\--[a-z][a-z-]* [a-z][a-z]*|[a-z][a-z|]*' 's/ /=/')
if [ -z "$fields" ] || [ -z "$switches" ] || [ -z "$file_options" ]; then
    echo "make-cli-docs.sh: $cli named no fields, switches or file options" >&2
    exit 1
fi
sed -e "s/@FIELDS@/${fields# }/" -e "s/@SWITCHES@/$switches/" -e "s/@OPTIONS@/$options/" \
    -e "s/@FILE_OPTIONS@/$file_options/" -e "s/@VALUE_OPTIONS@/$value_options/" \
    -e "s/@CHOICES@/$choices/" "$src/data/bendwise-cli.bash.in" >"$out/bendwise-cli.bash.tmp"
mv "$out/bendwise-cli.bash.tmp" "$out/bendwise-cli.bash"
