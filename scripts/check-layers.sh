#!/usr/bin/env bash
# Lists every project include that reaches from a lower library layer into a higher one, every
# call of the accessors app(), doc(), settings() and mainWindow() below the application layer,
# every reach of a pane or dialog into the main window, and every test of the model that runs on
# the application object; exits non-zero when there is any. The layers, bottom up, as
# CMakeLists.txt builds them, each a folder:
#   core     common/core/
#   model    model/ and storage/
#   widgets  common/widgets/
#   app      common/app/, app/Application and app/FileOpenEvent
#   ui       the main window, the panes and the dialogs
set -euo pipefail
cd "$(dirname "$0")/.."

core_files=$(ls common/core/*.h common/core/*.cpp)
model_files=$(ls model/*.h model/*.cpp storage/*.h storage/*.cpp)
widget_files=$(ls common/widgets/*.h common/widgets/*.cpp)
app_files=$(ls common/app/*.h common/app/*.cpp app/Application.* app/FileOpenEvent.*)
panes="cards|leftpane|cardedit|properties|charts|table|dialogs"
pane_files=$(ls cards/* leftpane/* cardedit/* properties/* charts/* table/* dialogs/*)

status=0
report() {
    if [ -n "$1" ]; then
        echo "$1"
        status=1
    fi
}
# only FILES PATTERN: every quoted include of the files must match the allowed pattern.
only() {
    # shellcheck disable=SC2086
    report "$(grep -Hn '^#include "' $1 | grep -vE "#include \"($2)\"" || true)"
}
# never FILES PATTERN: no quoted include of the files may match the pattern.
never() {
    # shellcheck disable=SC2086
    report "$(grep -Hn '^#include "' $1 | grep -E "#include \"($2)" || true)"
}
core_headers='common/core/[A-Za-z]+\.h'
model_headers="$core_headers|(model|storage)/[A-Za-z]+\.h"
only "$core_files" "$core_headers"
only "$model_files" "$model_headers"
never "$widget_files" "app/|common/app/|($panes)/"
never "$app_files" "app/MainWindow|app/UndoHistory|($panes)/"
# Panes and dialogs are handed what they need of the main window; of app/ they see the
# application object alone.
never "$pane_files" "app/[^A]|app/A[^p]"
# shellcheck disable=SC2086
report "$(grep -HnE '(^|[^:.>A-Za-z_])mainWindow\(\)' $pane_files || true)"
# Below the application layer nothing calls the accessors of the panes; it is handed what it needs.
# shellcheck disable=SC2086
report "$(grep -HnE '(^|[^:.>A-Za-z_])(app|doc|settings|mainWindow)\(\)' $core_files $widget_files \
    $model_files | grep -vE '^[^:]+:[0-9]+: *(//|static )' || true)"
# The model's tests run under a plain Qt application: one built on the program's application
# object would link every layer and hide a model that leans on them.
report "$(grep -Hn '^TAVROLO_TEST_MAIN(' tests/model/*.cpp tests/storage/*.cpp || true)"
[ $status -eq 0 ] && echo "No include reaches into a higher layer; nothing below app/ calls its" \
    "accessors; panes and dialogs do not reach into the main window; the model's tests run" \
    "without the application object."
exit $status
