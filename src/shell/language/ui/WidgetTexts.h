// Announcing a window's texts to the language targets by the names of its controls.
#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace pv {

/// Where a window announces its texts: a target key ("MainForm.Speed1#hint") and the setter
/// that puts a text there.
using TextTargetSink =
    std::function<void(const QString& key, std::function<void(const QString&)> setter)>;

/// Announces the caption ("<form>.<name>") and hint ("<form>.<name>#hint") of every named
/// button and the caption of every named label below root.
void RegisterWidgetTexts(const QString& form, QWidget& root, const TextTargetSink& sink);

} // namespace pv
