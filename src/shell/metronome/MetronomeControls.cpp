#include "shell/metronome/MetronomeControls.h"

#include "music/base/ExerciseKindUi.h"

#include <algorithm>
#include <utility>

namespace pv {

SequencerBeat SequencerBeatOf(std::uint32_t code)
{
    return SequencerBeat{static_cast<int>(code & 0x0Fu), static_cast<int>((code >> 8) & 0xFFu)};
}

TempoTarget TempoTargetOf(std::optional<ExerciseKind> kind)
{
    if (!kind)
        return TempoTarget::None;
    return KindUi(*kind).Tempo == KindTempo::RhythmEngines ? TempoTarget::RhythmWindows
                                                           : TempoTarget::DefaultTempo;
}

QString TempoLabel(int position)
{
    return QStringLiteral("= ") + QString::number(position);
}

namespace {

int MarginOf(int beatsPerBar)
{
    if (beatsPerBar <= 2)
        return 17;
    if (beatsPerBar == 3)
        return 14;
    if (beatsPerBar <= 5)
        return 8;
    return 2;
}

std::uint32_t ColourOf(int box, int beat)
{
    if (beat == 0)
        return kMetronomeSilver;
    if (box == 1 && beat == 1)
        return kMetronomeLime;
    if (box == beat)
        return kMetronomeGreen;
    return kMetronomeSilver;
}

} // namespace

MetronomePicture MetronomePictureOf(int width, int height, int beat, int beatsPerBar, int swing)
{
    MetronomePicture picture;
    picture.PendulumX = (width - kPendulumWidth) / 2;
    picture.PendulumY = 1;
    const int current = swing == kPendulumRight ? kPendulumRight : kPendulumLeft;
    if (beat != 0) {
        picture.Pendulum = current;
        picture.NextSwing = 1 - current;
    } else {
        picture.Pendulum = kPendulumRest;
        picture.NextSwing = current;
    }
    if (beatsPerBar <= 0)
        return picture;
    const int margin = MarginOf(beatsPerBar);
    const int boxWidth = (width - 2 * margin) / beatsPerBar;
    for (int i = 1; i <= beatsPerBar; ++i) {
        MetronomeBox box{(i - 1) * boxWidth + margin + 1, height - boxWidth + 2,
                         i * boxWidth + margin - 1, height, ColourOf(i, beat)};
        if (box.Right <= box.Left || box.Bottom <= box.Top)
            continue;
        picture.Boxes.push_back(box);
    }
    return picture;
}

MetronomeControls::MetronomeControls(MetronomeContext context) : m_c(std::move(context)) {}

void MetronomeControls::MetroClick(bool fromSender)
{
    if (fromSender)
        m_c.Settings.MetronomeOn = !m_c.Settings.MetronomeOn;
    const bool on = m_c.Settings.MetronomeOn;
    m_c.Ui.SetChecked(MainControl::Playmetronome1, on);
    m_c.Ui.SetDown(MainControl::Metro, on);
    m_c.Sequencer.SetMetronome(m_c.Ui.IsDown(MainControl::Metro));
}

void MetronomeControls::SpeedButton12Click(bool fromSender)
{
    // The visual metronome's flag shares its byte of the settings record with the count-in.
    if (fromSender)
        m_c.Settings.CountIn = !m_c.Settings.CountIn;
    const bool on = m_c.Settings.CountIn;
    m_c.Ui.SetChecked(MainControl::ShowMetronome1, on);
    m_c.Ui.SetDown(MainControl::SpeedButton12, on);
    const std::optional<ExerciseKind> kind = m_c.State.CurrentKind;
    const bool shown = kind && m_c.InMetronomeKinds && m_c.InMetronomeKinds(*kind) && on;
    m_c.Ui.SetToolWindowVisible(1, shown);
}

void MetronomeControls::TrackBar1Change(int position)
{
    m_c.Ui.SetText(MainControl::Label8, TempoLabel(position));
    if (position > 0)
        (void)m_c.Sequencer.SetTempo(static_cast<std::uint32_t>(position));
    switch (TempoTargetOf(m_c.State.CurrentKind)) {
    case TempoTarget::None:
        break;
    case TempoTarget::RhythmWindows:
        if (m_c.SetRhythmTempo)
            m_c.SetRhythmTempo(position);
        break;
    case TempoTarget::DefaultTempo:
        m_c.Settings.DefaultTempo = static_cast<std::uint8_t>(std::clamp(position, 0, 255));
        break;
    }
}

std::vector<CommandRow> MetronomeControls::Rows()
{
    CommandRow click;
    click.Id = QStringLiteral("Playmetronome1");
    click.TextId = QStringLiteral("MainForm.Playmetronome1");
    click.Text = QStringLiteral("Play the metronome");
    click.Checkable = true;
    click.Button = QStringLiteral("Metro");
    click.ButtonText = QStringLiteral("Metronome");
    click.Hint = QStringLiteral("Metronome");
    click.Run = [this] { MetroClick(true); };

    CommandRow visual;
    visual.Id = QStringLiteral("ShowMetronome1");
    visual.TextId = QStringLiteral("MainForm.ShowMetronome1");
    visual.Text = QStringLiteral("Show the metronome");
    visual.Checkable = true;
    visual.Button = QStringLiteral("SpeedButton12");
    visual.ButtonText = QStringLiteral("Visual metronome");
    visual.Hint = QStringLiteral("Visual metronome");
    visual.Run = [this] { SpeedButton12Click(true); };
    return {click, visual};
}

bool MetronomeControls::Register(CommandRegistry& registry)
{
    return registry.Register(QStringLiteral("metronome"), Rows());
}

} // namespace pv
