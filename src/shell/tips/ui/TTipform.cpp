// The tip window, laid out from its text's height down.
#include "shell/tips/ui/TTipform.h"

#include "music/strings/UIStrings.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace pv {

namespace {

constexpr int kWidth = 380;
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kTextLeft = kMargin + kIconSize + kMargin;
constexpr int kTextWidth = kWidth - kTextLeft - kMargin;
constexpr int kMinTextHeight = 35;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 24;

} // namespace

TTipform::TTipform(const QString& text, const UIStringTable& strings, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Tipform"));
    setWindowTitle(strings.StrProgramTitle.isEmpty() ? QStringLiteral("Pellivark")
                                                     : strings.StrProgramTitle);
    setModal(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconSize, kIconSize));
    Image1->setGeometry(kMargin, kMargin, kIconSize, kIconSize);

    Label1 = new QLabel(text, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int textHeight = std::max(kMinTextHeight, Label1->heightForWidth(kTextWidth));
    Label1->setGeometry(kTextLeft, kMargin, kTextWidth, textHeight);

    // Each part under the one before it: the rule 8 below the text, the box and the button
    // 12 below the rule, the window's end 32 below them.
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    const int bevelTop = Label1->y() + Label1->height() + 8;
    Bevel1->setGeometry(kMargin / 2, bevelTop, kWidth - kMargin, 2);

    CheckBox1 = new QCheckBox(strings.StrHideTip, this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(false);
    const int rowTop = bevelTop + 12;
    CheckBox1->setGeometry(kMargin, rowTop, kWidth - 3 * kMargin - kButtonWidth, kButtonHeight);

    Button1 = new QPushButton(strings.StrClose, this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button1->setGeometry(kWidth - kMargin - kButtonWidth, rowTop, kButtonWidth, kButtonHeight);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(kWidth, rowTop + 32);
}

bool TTipform::Run(const QString& text, const UIStringTable& strings,
                   const std::function<int(QDialog&)>& run, QWidget* parent)
{
    TTipform tip(text, strings, parent);
    if (run)
        run(tip);
    else
        tip.exec();
    // The close box ends the window as the button does: only the box's tick counts.
    return tip.CheckBox1->isChecked();
}

} // namespace pv
