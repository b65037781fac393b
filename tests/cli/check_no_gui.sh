#!/bin/sh
# check_no_gui.sh PROGRAM...: each program loads QtCore and no GUI library of Qt.
status=0
for program in "$@"; do
    libs=$(ldd "$program") || { echo "ldd failed on $program"; exit 1; }
    if ! printf '%s\n' "$libs" | grep -q 'libQt6Core\.so'; then
        echo "$program: QtCore not among its libraries (is ldd telling the truth?)"
        status=1
    fi
    gui=$(printf '%s\n' "$libs" | grep -E 'libQt6(Gui|Widgets|OpenGL|OpenGLWidgets)\.so')
    if [ -n "$gui" ]; then
        echo "$program links GUI libraries:"
        printf '%s\n' "$gui"
        status=1
    fi
done
[ $status -eq 0 ] && echo "no GUI libraries in: $*"
exit $status
