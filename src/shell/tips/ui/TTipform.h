// The window of one tip: an icon, the text, "hide this tip" and a close button.
#pragma once

#include <functional>

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace pv {

struct UIStringTable;

class TTipform final : public QDialog
{
    Q_OBJECT

public:
    TTipform(const QString& text, const UIStringTable& strings, QWidget* parent = nullptr);

    /// Made for one tip, shown modally (run: how, empty: exec()) and released; true when
    /// "hide this tip" was ticked.
    static bool Run(const QString& text, const UIStringTable& strings,
                    const std::function<int(QDialog&)>& run, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button1 = nullptr;
};

} // namespace pv
