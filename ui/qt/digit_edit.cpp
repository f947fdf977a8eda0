#include "ui/qt/digit_edit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

void DigitEdit::keyPressEvent(QKeyEvent* event) {
    // A key with Ctrl or Alt is a shortcut, not a typed character.
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!shortcut) {
        for (QChar c : event->text()) {
            if (c.isPrint() && !isAccepted(c)) {
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void DigitEdit::inputMethodEvent(QInputMethodEvent* event) {
    QString kept;
    for (QChar c : event->commitString()) {
        if (isAccepted(c)) kept.append(c);
    }
    if (kept == event->commitString()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}
