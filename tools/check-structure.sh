#!/bin/sh
# The layering of the console's sources, checked without a build:
#   1. platform/ holds only its subfolders (ui/, port/, os/), no files;
#   2. no panel API below the operator floor: no include of the panel API in
#      serial/, modbus/, engine/, model/, sets/ or the command-line modes, and
#      no control constant or control call in serial/, modbus/, engine/, sets/;
#   3. no include circle among modules (tools/include-cycles.py);
#   4. includes run down the floors (the table below);
#   5. at most 15 file-level mutable variables besides the original named
#      globals (tools/count-state.sh; needs clang-query, skipped without it).
# Prints what each check finds. Exits 0 unless --strict is given, in which
# case any finding makes it exit 1.
cd "$(git -C "$(dirname "$0")" rev-parse --show-toplevel)" || exit 1
strict=0
[ "$1" = "--strict" ] && strict=1
failed=0
report() {  # report NAME OUTPUT: prints the check's findings, counts a failure
    if [ -n "$2" ]; then
        printf '%s: FAIL\n%s\n' "$1" "$2" | sed '2,$s/^/    /'
        failed=$((failed + 1))
    else
        printf '%s: ok\n' "$1"
    fi
}

report "platform/ has only subfolders" "$(find platform -maxdepth 1 -type f)"

report "no panel API include below the operator floor" \
    "$(git grep -lE '#include "platform/ui/(ui|headless_ui)\.h"' -- serial modbus engine model sets \
        'app/command_*.cpp' app/watch_command.cpp)"
report "no control or control call below the operator floor" \
    "$(git grep -nE 'uir::|SetCtrl|GetCtrl|Popup\(|HidePanel|DisplayPanel|SetPanelAttribute|SetTableCell|EVENT_|ATTR_' \
        -- serial modbus engine sets)"

report "no include circle among modules" "$(python3 tools/include-cycles.py >/dev/null 2>&1 ||
    python3 tools/include-cycles.py | grep '^circle:')"

# Floors: a file under the folder on the left may include from the folders
# (or files) on the right, and from its own folder. The first matching
# folder names a file's floor, so the longer paths come first.
floors=$(git grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' -- \
    app sets pages engine serial modbus model platform tools/sim ':!*.md' | awk '
BEGIN {
    n = split("platform/ui/qt platform/ui platform/port platform/os tools/sim app sets pages engine serial modbus model", order, " ")
    allow["app"] = "*"
    allow["sets"] = "pages engine serial modbus model platform"
    allow["pages"] = "serial modbus model platform"
    allow["engine"] = "serial modbus model platform"
    allow["serial"] = "modbus model platform"
    allow["modbus"] = "model platform"
    allow["model"] = "platform/os platform/ui/uir.h platform/ui/callback_types.h"
    allow["platform/ui/qt"] = "platform/ui platform/os"
    allow["platform/ui"] = "platform/os"
    allow["platform/port"] = "platform/os"
    allow["platform/os"] = ""
    allow["tools/sim"] = "platform/port platform/os"
}
function floor(path,    i) {
    for (i = 1; i <= n; i++) if (index(path, order[i] "/") == 1) return order[i]
    return ""
}
function allowed(from, to,    list, k, i) {
    if (allow[from] == "*" || floor(to) == from) return 1
    k = split(allow[from], list, " ")
    for (i = 1; i <= k; i++) {
        if (to == list[i] || index(to, list[i] "/") == 1) return 1
    }
    return 0
}
{
    file = $0; sub(/:.*/, "", file)
    target = $0; sub(/^[^"]*"/, "", target); sub(/".*/, "", target)
    from = floor(file)
    if (from == "" || floor(target) == "") next
    if (!allowed(from, target)) print $0
}')
report "includes run down the floors" "$floors"

if command -v clang-query >/dev/null 2>&1; then
    report "at most 15 feature variables at file level" "$(sh tools/count-state.sh | tail -1 | awk '
        { line = $0; sub(/.*features /, ""); if ($1 + 0 > 15) print line }')"
else
    echo "at most 15 feature variables at file level: skipped (no clang-query)"
fi

[ "$failed" -eq 0 ] && echo "structure: all checks pass" || echo "structure: $failed check(s) with findings"
[ "$strict" -eq 1 ] && [ "$failed" -ne 0 ] && exit 1
exit 0
