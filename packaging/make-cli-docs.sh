#!/bin/sh
# Writes bendwise-cli's manual page and bash completion from its option table, through
# bendwise-cli-docs (cli/Docs.cpp), so neither keeps a second list of fields or options:
#   make-cli-docs.sh BENDWISE_CLI_DOCS SOURCE_DIR OUTPUT_DIR [DATE]
# OUTPUT_DIR/bendwise-cli.1      the help laid out as a manual page (packaging/help-to-man.awk),
#                               dated DATE (YYYY-MM-DD; none when not given)
# OUTPUT_DIR/bendwise-cli.bash   data/bendwise-cli.bash.in with its word lists filled in
set -eu
docs=$1 src=$2 out=$3 date=${4:-}

"$docs" help | awk -v version="$("$docs" version)" -v date="$date" -f "$src/packaging/help-to-man.awk" \
    >"$out/bendwise-cli.1.tmp"
mv "$out/bendwise-cli.1.tmp" "$out/bendwise-cli.1"

"$docs" completion "$src/data/bendwise-cli.bash.in" >"$out/bendwise-cli.bash.tmp"
mv "$out/bendwise-cli.bash.tmp" "$out/bendwise-cli.bash"
