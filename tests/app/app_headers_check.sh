#!/usr/bin/env bash
# src/app is the entry and the composition root: it includes the windows and what they use, and
# nothing outside it includes a header of it. Lists every source file outside src/app that does, and
# fails if there is one.
#
#   tests/app/app_headers_check.sh SRC_FOLDER
set -euo pipefail
src=${1:?usage: app_headers_check.sh SRC_FOLDER}
[ -d "$src/app" ] || { echo "$src/app: no such folder" >&2; exit 2; }

# "app/x.h", <app/x.h>, "../app/x.h" or "src/app/x.h", with any spacing around the '#'.
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*["<](\.\.?/)*(src/)?app/'
offenders=$(cd "$src" && grep -rnE "$pattern" --include='*.h' --include='*.hpp' --include='*.cpp' \
    --include='*.cc' --include='*.inl' . | grep -v '^\./app/' | sed 's|^\./||' || true)
if [ -n "$offenders" ]; then
    echo "headers of src/app included outside it (what windows need belongs in src/ui):" >&2
    echo "$offenders" >&2
    exit 1
fi
echo "no file outside src/app includes a header of it"
