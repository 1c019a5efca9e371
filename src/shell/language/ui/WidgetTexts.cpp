// Announcing a window's texts by the names of its controls.
#include "shell/language/ui/WidgetTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QToolButton>

namespace pv {

void RegisterWidgetTexts(const QString& form, QWidget& root, const TextTargetSink& sink)
{
    for (QAbstractButton* button : root.findChildren<QAbstractButton*>()) {
        if (button->objectName().isEmpty())
            continue;
        // A button that works a command's action shows the action's caption and hint, and
        // takes them back from it whenever the action changes: its texts go to the action.
        if (auto* tool = qobject_cast<QToolButton*>(button); tool && tool->defaultAction()) {
            QPointer<QAction> action(tool->defaultAction());
            const QString key = form + QLatin1Char('.') + button->objectName();
            sink(key, [action](const QString& text) {
                if (action)
                    action->setIconText(text);
            });
            sink(key + QStringLiteral("#hint"), [action](const QString& text) {
                if (action)
                    action->setToolTip(text);
            });
            continue;
        }
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
