#!/usr/bin/env bash
# Lists every project include that reaches from a lower library layer into a higher one, and
# every call of the accessors app(), doc(), settings() and mainWindow() below the application
# layer, and every test of the model that runs on the application object, and exits non-zero
# when there is any. The layers, bottom up, as CMakeLists.txt builds them:
#   core     the widget-free helpers of common/ named in CORE below
#   model    model/ and storage/
#   widgets  the rest of common/
#   app      app/ and the accessors and title variables of common/
#   ui       the panes and dialogs
set -euo pipefail
cd "$(dirname "$0")/.."

CORE="BusyCursor|Colors|FileHelpers|FittedText|NumberDateText|RelativeDates|SignalBlocker|TextDrawing|TextHelpers|UrlOpener|ValueFormats|Version"
APP_COMMON="Accessors|TitleVariables"
core_files=$(ls common/*.h common/*.cpp | grep -E "^common/($CORE)\.(h|cpp)$")
widget_files=$(ls common/*.h common/*.cpp | grep -vE "^common/($CORE|$APP_COMMON)\.(h|cpp)$")
app_common_files=$(ls common/*.h common/*.cpp | grep -E "^common/($APP_COMMON)\.(h|cpp)$")
panes="cards|leftpane|cardedit|properties|charts|table|dialogs"

status=0
# check FILES ALLOWED: every quoted include of the files must match the allowed pattern.
check() {
    local files=$1 allowed=$2 found
    # shellcheck disable=SC2086
    found=$(grep -Hn '^#include "' $files | grep -vE "#include \"($allowed)\"" || true)
    if [ -n "$found" ]; then
        echo "$found"
        status=1
    fi
}
core_headers="common/($CORE)\.h"
model_headers="$core_headers|(model|storage)/[A-Za-z]+\.h"
check "$core_files" "$core_headers"
check "model/*.h model/*.cpp storage/*.h storage/*.cpp" "$model_headers"
# Widget helpers may use each other, but not the accessors, the title variables or app/.
found=$(grep -Hn '^#include "' $widget_files | grep -E "#include \"(app/|common/($APP_COMMON)\.h|($panes)/)" || true)
if [ -n "$found" ]; then
    echo "$found"
    status=1
fi
found=$(grep -Hn '^#include "' $app_common_files app/Application.* app/FileOpenEvent.* \
    | grep -E "#include \"(app/MainWindow|($panes)/)" || true)
if [ -n "$found" ]; then
    echo "$found"
    status=1
fi
# Below the application layer nothing calls the accessors of the panes; it is handed what it needs.
# shellcheck disable=SC2086
found=$(grep -HnE '(^|[^:.>A-Za-z_])(app|doc|settings|mainWindow)\(\)' $core_files $widget_files \
    model/*.h model/*.cpp storage/*.h storage/*.cpp | grep -vE '^[^:]+:[0-9]+: *(//|static )' || true)
if [ -n "$found" ]; then
    echo "$found"
    status=1
fi
# The model's tests run under a plain Qt application: one built on the program's application
# object would link every layer and hide a model that leans on them.
found=$(grep -Hn '^TAVROLO_TEST_MAIN(' tests/model/*.cpp tests/storage/*.cpp || true)
if [ -n "$found" ]; then
    echo "$found"
    status=1
fi
[ $status -eq 0 ] && echo "No include reaches into a higher layer; nothing below app/ calls its" \
    "accessors; the model's tests run without the application object."
exit $status
