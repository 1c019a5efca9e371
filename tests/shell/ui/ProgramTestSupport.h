// Helpers the whole-program tests share.
#pragma once

#include "music/devices/FluidSynthOutput.h"
#include "music/sequencer/MidiOutDevices.h"
#include "support/SequencerFakes.h"
#include "support/TestOutput.h"

#include <functional>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

namespace pv::test {

/// Handles events until done holds; false when it never did (a guard against a hang, not a
/// measure of speed).
inline bool RunUntil(const std::function<bool()>& done, int guardMs = 60000)
{
    const QDeadlineTimer guard(guardMs);
    while (!done()) {
        if (guard.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

/// The built-in synthesizer when its sound font is installed (rendering silently), else a
/// recording output in its place.
inline IMidiOutDevices* FakeDevicesWithoutSoundFont()
{
    static FakeDevices fake(SteadyClock::Instance());
    return FluidSynthOutput::FindSoundFont() ? nullptr : &fake;
}

/// Saves what the widget shows to the test-output folder under name.
inline void SavePicture(QWidget& widget, const QString& name)
{
    EXPECT_TRUE(widget.grab().toImage().save(TestOutputDir() + name));
}

} // namespace pv::test
