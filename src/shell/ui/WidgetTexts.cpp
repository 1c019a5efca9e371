// Announcing a window's texts by the names of its controls.
#include "shell/ui/WidgetTexts.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>

namespace pv {

void RegisterWidgetTexts(const QString& form, QWidget& root, const TextTargetSink& sink)
{
    for (QAbstractButton* button : root.findChildren<QAbstractButton*>()) {
        if (button->objectName().isEmpty())
            continue;
        QPointer<QAbstractButton> target(button);
        const QString key = form + QLatin1Char('.') + button->objectName();
        sink(key, [target](const QString& text) {
            if (target)
                target->setText(text);
        });
        sink(key + QStringLiteral("#hint"), [target](const QString& text) {
            if (target)
                target->setToolTip(text);
        });
    }
    for (QLabel* label : root.findChildren<QLabel*>()) {
        if (label->objectName().isEmpty())
            continue;
        QPointer<QLabel> target(label);
        sink(form + QLatin1Char('.') + label->objectName(), [target](const QString& text) {
            if (target)
                target->setText(text);
        });
    }
}

} // namespace pv
