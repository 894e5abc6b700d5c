#!/usr/bin/env bash
# Runs shellcheck over every shell script of the project (by name or by its first line) and fails on
# any warning or error.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts=()
while IFS= read -r -d '' file; do
    case $file in
    *.sh) scripts+=("$file") ;;
    *) [ -f "$file" ] && head -n1 "$file" | grep -qE '^#!.*\b(ba)?sh\b' && scripts+=("$file") ;;
    esac
done < <(git ls-files -z --cached --others --exclude-standard)
echo "shellcheck: ${#scripts[@]} scripts"
shellcheck --severity=warning "${scripts[@]}"
