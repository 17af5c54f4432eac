#!/usr/bin/env bash
# Checks that a manual page documents every long option that the program's
# --help lists, each in a .TP entry of its own. Usage: check-manpage.sh PROGRAM PAGE
set -euo pipefail
program="$1" page="$2"
help="$("$program" --help)"
options="$(grep -oE '^[[:space:]]+--[a-z0-9][a-z0-9-]*' <<<"$help" | sed 's/^[[:space:]]*//' || true)"
if [ -z "$options" ]; then
  echo "no options found in '$program --help'" >&2
  exit 1
fi
missing=0
for option in $options; do
  # In roff source a dash is written \-; the option must be followed by a non-name character.
  pattern="${option//-/\\\\-}([^a-z0-9\\\\-]|\\\\[^-]|$)"
  # Documented = the tag line of a .TP entry starts with the option.
  if ! grep -A1 -E '^\.TP' "$page" | grep -qE "^\.[A-Z]+ ${pattern}"; then
    echo "$page: option $option of --help is not documented" >&2
    missing=1
  fi
done
exit "$missing"
