// The splash window shown while the program starts (and again by the About command): a picture
// of the program's name with the version written on it.
#pragma once

#include "shell/startmenu/ProgramVersion.h"

#include <cstdint>

#include <QPixmap>
#include <QWidget>

class QLabel;

namespace pv {

class TVelkommen final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 290;
    static constexpr int kHeight = 296;

    explicit TVelkommen(QWidget* parent = nullptr);

    /// Shows it in front of everything and paints it at once (no event loop runs yet).
    void ShowAtStartUp();
    /// The version's texts on the labels (done by every show with the build's version).
    void ShowVersion(const ProgramVersion& version);
    /// A click on the picture hides the splash.
    void Panel1Click();

    QLabel* Label6() const { return m_label6; }
    QLabel* Label11() const { return m_label11; }

    /// The picture behind the labels.
    static QPixmap SplashPicture();

    std::uint16_t VersionMajor = 0;
    std::uint16_t VersionMinor = 0;
    std::uint16_t VersionRelease = 0;
    std::uint16_t VersionBuild = 0;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_image1 = nullptr;
    QLabel* m_label6 = nullptr;
    QLabel* m_label11 = nullptr;
};

} // namespace pv
