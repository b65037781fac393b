#pragma once

// Desktop dialogs open with the text of the field that has the focus selected,
// so that what the user types replaces it instead of being added to it (or, in a
// field at its length limit, refused).

class QDialog;
class QWidget;

namespace vpx {

// From now on, every time `dialog` is shown: the widget the focus will be on when
// the dialog becomes active (its focus widget, or else the first one Tab reaches)
// gets the focus and, when it is a one-line edit or an editable combo box, has its
// text selected.
void SelectFocusedTextOnOpen(QDialog& dialog);

// The same, once and at once, for `window`; returns the widget holding the focus.
QWidget* SelectFocusedText(QWidget& window);

} // namespace vpx
