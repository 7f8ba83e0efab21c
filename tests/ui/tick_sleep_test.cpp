// The window's timers sleep while nothing can change: one scripted session
// run twice, once with the timers sleeping as the window decides and once
// with them ticking all along, must give the same tables, pictures and level
// at every grid point, across every sleep and every wake.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <map>
#include <string>

#include "recording_sound_layer.h"
#include "scripted_message_box.h"
#include "synth/clock.h"
#include "ui/form1.h"

namespace scrivola {
namespace {

constexpr std::int64_t kGridNs = 15'625'000;

// The tick's clock, set by the test to the moment each tick runs.
class GridClock final : public PerformanceCounter {
public:
    std::int64_t ns = 0;
    std::optional<std::int64_t> frequency() override { return 1'000'000'000; }
    std::optional<std::int64_t> counter() override { return ns; }
    bool steady() const override { return true; }
};

// What anyone can hear or see of the ticks.
struct Observed {
    WaveTable voiceA;
    WaveTable voiceB;
    QImage wpb1, o1VU, picture1, picture2;
    std::int16_t level;

    bool operator==(const Observed&) const = default;
};

// One window driven through the timers' 1/64 s grid by hand: at each grid
// point the tick reads the clock 0.2 ms after it, and each timer ticks in
// turn as its driver would run it.
class Session {
public:
    explicit Session(bool sleeps) : sleeps_(sleeps) {
        sound.idle = true;  // the output stopped for silence throughout
        form.setTickClock(clock);
        EXPECT_TRUE(form.Form_Load());
    }

    void gridPoint(std::int64_t n) {
        clock.ns = n * kGridNs + 200'000;
        if (ticks(form.Timer1())) {
            form.Timer1_Timer();
        }
        if (ticks(form.Timer2())) {
            form.Timer2_Timer();
        }
    }

    Observed observed() {
        const FormControls& c = form.controls();
        return {
            sound.lastTable[0],       sound.lastTable[1],           c.WPB1->grab().toImage(),
            c.o1VU->grab().toImage(), c.Picture1->grab().toImage(), c.Picture2->grab().toImage(),
            form.state().level};
    }

    RecordingSoundLayer sound;
    ScriptedMessageBox box;
    GridClock clock;
    Form1 form{sound, box};

private:
    bool ticks(const TickTimer& timer) const {
        return sleeps_ ? timer.isTicking() : timer.isStarted();
    }
    bool sleeps_;
};

TEST(TickSleepTest, ASessionWithSleepsLooksAndSoundsAsOneWithout) {
    using Step = std::function<void(Form1&, ScriptedMessageBox&)>;
    std::multimap<std::int64_t, Step> script;
    const auto at = [&script](std::int64_t n, Step step) { script.emplace(n, std::move(step)); };
    // A green stroke sets the vibrato, then the note decays to silence.
    at(200, [](Form1& f, ScriptedMessageBox&) { f.lblcolor_Click(2); });
    at(200, [](Form1& f, ScriptedMessageBox&) { f.picdraw_MouseDown(LeftButton, 0, 1500, 3000); });
    for (int k = 1; k <= 30; ++k) {
        at(200 + k, [k](Form1& f, ScriptedMessageBox&) {
            f.picdraw_MouseMove(LeftButton, 0, 1500.0f + 20 * k, 3000.0f + 31 * k);
        });
    }
    at(231, [](Form1& f, ScriptedMessageBox&) { f.picdraw_MouseUp(LeftButton, 0, 2100, 3930); });
    // Asleep by now: voice A's ripple sounds even at level 0, until it is
    // switched off again.
    at(450, [](Form1& f, ScriptedMessageBox&) { f.switches().setValue(kVoiceARipplePulse, 1); });
    at(520, [](Form1& f, ScriptedMessageBox&) { f.switches().setValue(kVoiceARipplePulse, 0); });
    // A blue stroke pressed in silence sets the tremolo; its release sounds.
    at(700, [](Form1& f, ScriptedMessageBox&) { f.lblcolor_Click(1); });
    at(701, [](Form1& f, ScriptedMessageBox&) { f.picdraw_MouseDown(LeftButton, 0, 2600, 5000); });
    at(702, [](Form1& f, ScriptedMessageBox&) { f.picdraw_MouseMove(LeftButton, 0, 2650, 5100); });
    at(720, [](Form1& f, ScriptedMessageBox&) { f.picdraw_MouseUp(LeftButton, 0, 2650, 5100); });
    // The sliders; a press in silence held still until the window sleeps,
    // and a release that sounds at the new level and decay step.
    at(900, [](Form1& f, ScriptedMessageBox&) { f.controls().VScroll1->setValue(40); });
    at(905, [](Form1& f, ScriptedMessageBox&) { f.controls().Slider1->setValue(3); });
    at(1100, [](Form1& f, ScriptedMessageBox&) { f.picdraw_MouseDown(LeftButton, 0, 2650, 5100); });
    at(1400, [](Form1& f, ScriptedMessageBox&) { f.picdraw_MouseUp(LeftButton, 0, 2650, 5100); });
    // Menu items and commands, and the window shown again.
    at(1600, [](Form1& f, ScriptedMessageBox&) { f.mnukeeptone_Click(); });
    at(1610, [](Form1& f, ScriptedMessageBox&) { f.hide(); });
    at(1800, [](Form1& f, ScriptedMessageBox&) { f.show(); });
    at(2000, [](Form1& f, ScriptedMessageBox& box) {
        box.answers.push_back(kAnswerYes);
        f.cmdrst_Click();
    });
    at(2150, [](Form1& f, ScriptedMessageBox&) { f.Command1_Click(); });
    at(2160, [](Form1& f, ScriptedMessageBox&) { f.mnuchngtone_Click(); });
    // A stroke after the resets, sounding from its release.
    at(2300, [](Form1& f, ScriptedMessageBox&) { f.picdraw_MouseDown(LeftButton, 0, 900, 900); });
    at(2301, [](Form1& f, ScriptedMessageBox&) { f.picdraw_MouseMove(LeftButton, 0, 950, 990); });
    at(2400, [](Form1& f, ScriptedMessageBox&) { f.picdraw_MouseUp(LeftButton, 0, 950, 990); });
    // The steps that come while the window sleeps.
    const std::int64_t wakers[] = {200, 450, 700, 900, 1100, 1400, 1600, 1800, 2000, 2150, 2300};

    Session sleeping(true);
    Session awake(false);
    for (std::int64_t n = 1; n <= 2600; ++n) {
        if (std::find(std::begin(wakers), std::end(wakers), n) != std::end(wakers)) {
            ASSERT_TRUE(sleeping.form.tickSleep().isAsleep()) << "grid point " << n;
        }
        const auto [first, last] = script.equal_range(n);
        for (auto step = first; step != last; ++step) {
            step->second(sleeping.form, sleeping.box);
            step->second(awake.form, awake.box);
        }
        sleeping.gridPoint(n);
        awake.gridPoint(n);
        ASSERT_TRUE(sleeping.observed() == awake.observed()) << "grid point " << n;
        // Asleep with the output stopped for silence, nothing is watched.
        ASSERT_EQ(sleeping.form.soundWatch().isActive(), !sleeping.form.tickSleep().isAsleep())
            << "grid point " << n;
    }
}

}  // namespace
}  // namespace scrivola
