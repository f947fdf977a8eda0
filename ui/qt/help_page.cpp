#include "ui/qt/help_page.h"

#include <QLabel>

#include "ui/core/window_texts.h"
#include "ui/qt/controls.h"
#include "ui/qt/page_control.h"

HelpPage::HelpPage(QWidget* parent) : QWidget(parent) {
    helpText = controls::label(this, Control::标签3, {});
    helpText->setText(controls::qtLines(texts::kHelpText));
    // The only label that wraps, at word breaks.
    helpText->setWordWrap(true);
    helpText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PageControl::place(helpText, 9, 33, 540, 335);
}
