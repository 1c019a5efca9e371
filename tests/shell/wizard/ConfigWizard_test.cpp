// The first-run wizard: the pages each start needs, the page buttons, the device choice and its
// test note, and the answer inputs the instrument gives every exercise on screens of three
// heights.
#include "music/strings/UIStrings.h"
#include "shell/wizard/ConfigWizardService.h"
#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

class FakeOutputs final : public IConfigWizardDevices
{
public:
    std::vector<SettingsDevice> Outputs() const override { return outputs; }
    bool SelectOutput(const QString& name) override
    {
        selected.push_back(name);
        if (name == refused)
            return false;
        open = name;
        return true;
    }
    void NoteOn(const SoundRecord& sound) override { notes.push_back({true, sound}); }
    void NoteOff(std::uint8_t note) override
    {
        notes.push_back({false, SoundRecord{0, 0, 0, note}});
    }

    std::vector<SettingsDevice> outputs{{QStringLiteral("Synth"), false},
                                        {QStringLiteral("Port A"), false}};
    QString refused;
    QString open = QStringLiteral("Synth");
    std::vector<QString> selected;
    std::vector<std::pair<bool, SoundRecord>> notes;
};

const std::vector<SettingsDevice> kNone;
const std::vector<SettingsDevice> kPlaceholder{{QStringLiteral("no device"), true}};
const std::vector<SettingsDevice> kOne{{QStringLiteral("Synth"), false}};
const std::vector<SettingsDevice> kTwo{{QStringLiteral("Synth"), false},
                                       {QStringLiteral("Port A"), false}};

TEST(ConfigWizard, TheWizardShowsThePagesAStartNeeds)
{
    using P = WizardPage;
    struct Case
    {
        const char* name;
        bool wizardDone;
        bool firstRun;
        const std::vector<SettingsDevice>& outputs;
        std::vector<WizardPage> pages;
        bool message;
    };
    const Case cases[] = {
        {"done, not the first run: no wizard", true, false, kTwo, {}, false},
        {"done, not the first run, no device: no wizard and nothing said",
         true,
         false,
         kPlaceholder,
         {},
         false},
        {"done, first run, two devices: the sound page alone", true, true, kTwo, {P::Sound}, false},
        {"done, first run, one device: the sound page alone", true, true, kOne, {P::Sound}, false},
        {"done, first run, only the placeholder: told, and no page to show",
         true,
         true,
         kPlaceholder,
         {},
         true},
        {"not done, first run, two devices: both pages, sound first",
         false,
         true,
         kTwo,
         {P::Sound, P::Instrument},
         false},
        {"not done, first run, one device", false, true, kOne, {P::Sound, P::Instrument}, false},
        {"not done, first run, only the placeholder: told, the instrument page",
         false,
         true,
         kPlaceholder,
         {P::Instrument},
         true},
        {"not done, first run, an empty list counts as none",
         false,
         true,
         kNone,
         {P::Instrument},
         true},
        {"not done, not the first run: the instrument page",
         false,
         false,
         kTwo,
         {P::Instrument},
         false},
        {"not done, not the first run, only the placeholder: told",
         false,
         false,
         kPlaceholder,
         {P::Instrument},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ConfigWizardPlan plan = PlanConfigWizard(c.wizardDone, c.firstRun, c.outputs);
        EXPECT_EQ(plan.Pages, c.pages);
        EXPECT_EQ(plan.NoDeviceMessage, c.message);
    }
}

TEST(ConfigWizard, TheInstrumentGivesEveryExerciseItsAnswerInputsByTheScreensHeight)
{
    struct Case
    {
        WizardInstrument instrument;
        int height;
        std::uint8_t shown;
        std::uint8_t chosen;
    };
    const Case cases[] = {
        {WizardInstrument::Piano, 500, 2, 2},   {WizardInstrument::Piano, 600, 10, 2},
        {WizardInstrument::Piano, 700, 11, 2},  {WizardInstrument::Guitar, 500, 4, 4},
        {WizardInstrument::Guitar, 600, 12, 4}, {WizardInstrument::Guitar, 700, 13, 4},
        {WizardInstrument::Other, 500, 1, 1},   {WizardInstrument::Other, 600, 9, 1},
        {WizardInstrument::Other, 700, 9, 1},   {WizardInstrument::None, 700, 9, 1},
        {WizardInstrument::Guitar, 501, 12, 4}, {WizardInstrument::Guitar, 650, 12, 4},
        {WizardInstrument::Guitar, 651, 13, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.instrument) << " at " << c.height);
        TSettingsRec settings = DefaultSettings();
        FakeOutputs outputs;
        ConfigWizardModel model(settings, outputs, {WizardPage::Instrument});
        model.ChooseInstrument(c.instrument);
        model.StoreOnFinish(c.height);
        EXPECT_EQ(AnswerInputPair(c.instrument, c.height), std::make_pair(c.shown, c.chosen));
        for (std::size_t kind = 1; kind <= 10; ++kind) {
            SCOPED_TRACE(kind);
            EXPECT_EQ(settings.KindPairs[kind], (std::array<std::uint8_t, 2>{c.shown, c.chosen}));
        }
        EXPECT_EQ(settings.KindPairs[0][0], 1) << "the wizard counts as done";
        EXPECT_EQ(settings.KindPairs[11], DefaultSettings().KindPairs[11]) << "kinds above 10";
    }
}

TEST(ConfigWizard, ThePageButtonsGoRoundTheShownPagesAndFinishOnTheLast)
{
    TSettingsRec settings = DefaultSettings();
    FakeOutputs outputs;
    ConfigWizardModel both(settings, outputs, {WizardPage::Sound, WizardPage::Instrument});
    EXPECT_EQ(both.ActivePage(), WizardPage::Sound);
    EXPECT_FALSE(both.BackEnabled());
    EXPECT_FALSE(both.ForwardFinishes());
    EXPECT_FALSE(both.Forward());
    EXPECT_EQ(both.ActivePage(), WizardPage::Instrument);
    EXPECT_TRUE(both.BackEnabled());
    EXPECT_TRUE(both.ForwardFinishes());
    both.Back();
    EXPECT_EQ(both.ActivePage(), WizardPage::Sound);
    both.Back();
    EXPECT_EQ(both.ActivePage(), WizardPage::Sound);
    EXPECT_FALSE(both.Forward());
    EXPECT_TRUE(both.Forward()) << "the finish button closes the wizard";

    ConfigWizardModel soundOnly(settings, outputs, {WizardPage::Sound});
    EXPECT_FALSE(soundOnly.BackEnabled());
    EXPECT_TRUE(soundOnly.ForwardFinishes());
    // Finishing a wizard without the instrument page changes no answer input.
    soundOnly.StoreOnFinish(900);
    EXPECT_EQ(settings.KindPairs, DefaultSettings().KindPairs);
}

TEST(ConfigWizard, TheChosenDeviceOpensAtOnceAndOneThatFailsLeavesTheStoredOne)
{
    TSettingsRec settings = DefaultSettings();
    settings.MidiOutDevice = QStringLiteral("Synth");
    FakeOutputs outputs;
    outputs.outputs.push_back({QStringLiteral("Broken"), false});
    outputs.refused = QStringLiteral("Broken");
    ConfigWizardModel model(settings, outputs, {WizardPage::Sound});
    EXPECT_EQ(model.OutputIndex, 0);

    model.ChooseOutput(1);
    EXPECT_EQ(settings.MidiOutDevice, QStringLiteral("Port A"));
    EXPECT_EQ(outputs.open, QStringLiteral("Port A"));
    model.ChooseOutput(2);
    EXPECT_EQ(settings.MidiOutDevice, QStringLiteral("Port A")) << "a failed open is not kept";
    EXPECT_EQ(outputs.selected.back(), QStringLiteral("Port A")) << "the stored one again";
    EXPECT_EQ(model.OutputIndex, 1);
}

TEST(ConfigWizard, ThePlayButtonSoundsThePianoUntilItsTimeIsUp)
{
    TSettingsRec settings = DefaultSettings();
    FakeOutputs outputs;
    ConfigWizardModel model(settings, outputs, {WizardPage::Sound});
    model.Play();
    EXPECT_TRUE(model.TestNoteSounding());
    model.TestNoteDone();
    EXPECT_FALSE(model.TestNoteSounding());
    ASSERT_EQ(outputs.notes.size(), 2U);
    EXPECT_TRUE(outputs.notes[0].first);
    EXPECT_EQ(outputs.notes[0].second, (SoundRecord{0, 0, 110, 60})) << "channel 1, 60 at 110";
    EXPECT_FALSE(outputs.notes[1].first);
    EXPECT_EQ(outputs.notes[1].second.note, 60);

    // A damaged voice still sounds a note; closing the wizard ends a note that sounds.
    settings.PianoVoice.Note = 300;
    model.Play();
    model.StoreOnFinish(600);
    ASSERT_EQ(outputs.notes.size(), 4U);
    EXPECT_EQ(outputs.notes[2].second.note, 60);
    EXPECT_FALSE(outputs.notes[3].first);
}

class FakeWizardDialog final : public IConfigWizardDialog
{
public:
    explicit FakeWizardDialog(std::function<bool()> user) : m_user(std::move(user)) {}
    bool Exec() override { return m_user(); }

private:
    std::function<bool()> m_user;
};

TEST(ConfigWizard, PendingAfterTheSettingsAskForItAndReleasedAfterItsShow)
{
    TSettingsRec settings = DefaultSettings();
    FakeOutputs outputs;
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    strings.StrNoMidiOutDevice = QStringLiteral("No output device");
    bool firstRun = true;
    bool finishes = true;
    int made = 0;
    int shownOutput = -2;
    ConfigWizardService service(ConfigWizardContext{
        settings, outputs, prompts, strings, [&] { return firstRun; }, [] { return 700; },
        [&](ConfigWizardModel& model) -> std::unique_ptr<IConfigWizardDialog> {
            ++made;
            return std::make_unique<FakeWizardDialog>([&finishes, &model, &shownOutput] {
                shownOutput = model.OutputIndex;
                model.ChooseInstrument(WizardInstrument::Guitar);
                return finishes;
            });
        }});
    EXPECT_FALSE(service.Pending());

    // Closed without the finish button: nothing stored, and the next start asks again.
    finishes = false;
    service.ShowConfigWizard();
    ASSERT_TRUE(service.Pending());
    EXPECT_EQ(service.Model()->Pages(),
              (std::vector<WizardPage>{WizardPage::Sound, WizardPage::Instrument}));
    // The settings open their output after the wizard was made: the shown page has it.
    EXPECT_EQ(service.Model()->OutputIndex, 0) << "no name yet: the first entry";
    settings.MidiOutDevice = QStringLiteral("Port A");
    EXPECT_FALSE(service.Show());
    EXPECT_EQ(shownOutput, 1);
    EXPECT_FALSE(service.Pending());
    EXPECT_EQ(settings.KindPairs, DefaultSettings().KindPairs);

    // Settings applied twice before the first show: one wizard, made anew.
    finishes = true;
    service.ShowConfigWizard();
    service.ShowConfigWizard();
    EXPECT_EQ(made, 3);
    EXPECT_TRUE(service.Show());
    EXPECT_EQ(settings.KindPairs[1], (std::array<std::uint8_t, 2>{13, 4}));
    EXPECT_EQ(settings.KindPairs[0][0], 1);

    // Done and not the first run: no wizard. No output at all on a first run: told once per
    // decision, and no wizard with nothing to show.
    firstRun = false;
    service.ShowConfigWizard();
    EXPECT_FALSE(service.Pending());
    firstRun = true;
    outputs.outputs = {{QStringLiteral("no device"), true}};
    service.ShowConfigWizard();
    EXPECT_FALSE(service.Pending());
    EXPECT_EQ(prompts.Count(QStringLiteral("message")), 1);
    EXPECT_FALSE(service.Show());
}

} // namespace
} // namespace pv
