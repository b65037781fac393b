#include "library/DialogFocus.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>

namespace vpx {

namespace {

// Whom activation would give the focus to when no widget holds it yet.
QWidget* FirstTabStop(QWidget& window)
{
    for (QWidget* w = window.nextInFocusChain(); w && w != &window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(&window) && !w->focusProxy())
            return w;
    }
    return nullptr;
}

class SelectOnShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Show comes before activation, which keeps a selection made here.
        if (event->type() == QEvent::Show && watched == parent())
            SelectFocusedText(*static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

QWidget* SelectFocusedText(QWidget& window)
{
    QWidget* focus = window.focusWidget();
    if (!focus) {
        focus = FirstTabStop(window);
        if (!focus)
            return nullptr;
        focus->setFocus(Qt::TabFocusReason);
    }
    if (auto* combo = qobject_cast<QComboBox*>(focus)) {
        if (QLineEdit* edit = combo->lineEdit())
            edit->selectAll();
    } else if (auto* edit = qobject_cast<QLineEdit*>(focus)) {
        edit->selectAll();
    }
    return focus;
}

void SelectFocusedTextOnOpen(QDialog& dialog)
{
    dialog.installEventFilter(new SelectOnShow(&dialog));
}

} // namespace vpx
