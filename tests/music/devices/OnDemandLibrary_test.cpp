// Libraries opened on first use: a missing library or function is an answer with its reason,
// never a crash, and aubio and FluidSynth come with every function the program calls.
#include "music/devices/AubioLibrary.h"
#include "music/devices/FluidSynthLibrary.h"
#include "music/devices/OnDemandLibrary.h"

#include <cmath>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using Cosine = double (*)(double);

TEST(OnDemandLibrary, AMissingLibraryOrFunctionGivesNullAndSaysWhy)
{
    OnDemandLibrary missing("libpellivark-no-such-library.so.1");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_TRUE(missing.Error().contains(QStringLiteral("libpellivark-no-such-library.so.1")))
        << missing.Error().toStdString();
    Cosine cosine = &std::cos;
    EXPECT_FALSE(missing.Resolve("cos", cosine));
    EXPECT_EQ(cosine, nullptr);

    OnDemandLibrary math("libm.so.6");
    ASSERT_TRUE(math.IsLoaded()) << math.Error().toStdString();
    EXPECT_TRUE(math.Error().isEmpty());
    ASSERT_TRUE(math.Resolve("cos", cosine)) << math.Error().toStdString();
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    Cosine none = &std::cos;
    EXPECT_FALSE(math.Resolve("pellivark_no_such_function", none));
    EXPECT_EQ(none, nullptr);
    EXPECT_TRUE(math.Error().contains(QStringLiteral("pellivark_no_such_function")))
        << math.Error().toStdString();
}

TEST(OnDemandLibrary, AubioAndFluidSynthLoadOnceWithEveryFunction)
{
    // Asked from several threads at once, as the microphone's worker and the GUI thread may.
    std::vector<const AubioApi*> aubio(4, nullptr);
    std::vector<const FluidSynthApi*> fluid(4, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < aubio.size(); ++i)
        threads.emplace_back([&, i] {
            aubio[i] = LoadAubio();
            fluid[i] = LoadFluidSynth();
        });
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t i = 0; i < aubio.size(); ++i) {
        ASSERT_NE(aubio[i], nullptr);
        EXPECT_EQ(aubio[i], aubio[0]);
        ASSERT_NE(fluid[i], nullptr);
        EXPECT_EQ(fluid[i], fluid[0]);
    }
    QString error = QStringLiteral("unchanged");
    ASSERT_NE(LoadFluidSynth(&error), nullptr);
    EXPECT_TRUE(error.isEmpty());

    // The functions found are the libraries' own: they work.
    const AubioApi& a = *aubio[0];
    fvec_t* vector = a.new_fvec(8);
    ASSERT_NE(vector, nullptr);
    EXPECT_EQ(vector->length, 8U);
    a.del_fvec(vector);
    const FluidSynthApi& f = *fluid[0];
    fluid_settings_t* settings = f.new_fluid_settings();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(f.fluid_settings_setint(settings, "synth.polyphony", 32), FLUID_OK);
    f.delete_fluid_settings(settings);
}

} // namespace
} // namespace pv
