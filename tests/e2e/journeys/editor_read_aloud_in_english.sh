# shellcheck shell=bash
# The same under an English desktop: every field is called by its English caption, none keeps a
# Chinese name.

# shellcheck source=editor_read_aloud.sh
source "$(dirname "${BASH_SOURCE[0]}")/editor_read_aloud.sh"
READ_LANGUAGE=en
EDITOR_TITLE="Alarm settings"
