// The main window's controls as a recording fake, and the journal the fakes write to, for the
// tests of every feature that drives the controls.
#pragma once

#include "music/base/ExerciseKind.h"
#include "shell/commands/MainControls.h"

#include <map>

#include <QStringList>

namespace pv::test {

/// One list of the calls that matter for order, shared by every fake.
struct Journal
{
    QStringList lines;
    void Add(const QString& line) { lines << line; }
    void Add(const QString& what, ExerciseKind kind) { lines << what + u' ' + Num(kind); }
    static QString Num(ExerciseKind kind) { return QString::number(KindNumber(kind)); }
    /// The place of line, -1 when it was never written.
    qsizetype At(const QString& line) const { return lines.indexOf(line); }
    bool Has(const QString& line) const { return lines.contains(line); }
    qsizetype Count(const QString& line) const { return lines.count(line); }
};

/// Records what is set on the controls and answers with it; Base is IMainControls or an
/// interface built on it.
template <class Base> class RecordingControlsOf : public Base
{
public:
    void SetEnabled(MainControl c, bool on) override { enabled[c] = on; }
    bool IsEnabled(MainControl c) const override
    {
        const auto it = enabled.find(c);
        return it == enabled.end() || it->second;
    }
    void SetVisible(MainControl c, bool on) override { visible[c] = on; }
    void SetChecked(MainControl c, bool on) override { checked[c] = on; }
    void SetDown(MainControl c, bool on) override { down[c] = on; }
    bool IsDown(MainControl c) const override
    {
        const auto it = down.find(c);
        return it != down.end() && it->second;
    }
    void SetText(MainControl c, const QString& t) override { text[c] = t; }
    QString Text(MainControl c) const override
    {
        const auto it = text.find(c);
        return it == text.end() ? QString() : it->second;
    }
    void SetWidth(MainControl c, int w) override { width[c] = w; }
    int Width(MainControl c) const override
    {
        const auto it = width.find(c);
        return it == width.end() ? 0 : it->second;
    }
    void SetToolWindowVisible(int n, bool on) override { toolWindows[n] = on; }

    std::map<MainControl, bool> enabled, visible, checked, down;
    std::map<MainControl, QString> text;
    std::map<MainControl, int> width;
    std::map<int, bool> toolWindows;
};

class RecordingControls final : public RecordingControlsOf<IMainControls>
{
};

} // namespace pv::test
