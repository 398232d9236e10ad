// What effects and music sound like: SDL's disk audio driver (the test's
// environment sets SDL_AUDIODRIVER=disk) writes the mixer's output to a file,
// 22050 Hz, signed 16-bit, mono, at the pace of a real sound card, and the
// tests read the samples back. Most sounds here hold one level throughout,
// so that what the mixer makes of them can be told exactly: two effects at
// 1000 and 2000 heard together give 3000.

#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sound_files.h"

using sound_files::committed;
using sound_files::levelFile;

namespace {

constexpr int RATE = 22050; // samples a second, as initWorld opens the mixer
constexpr Uint32 DEADLINE_MS = 20000;

std::size_t samples(double seconds) { return static_cast<std::size_t>(seconds * RATE); }

// Bytes the mixer has handed to the audio device so far.
std::atomic<long long> mixedBytes{0};

// The mixer's output file.
class Output {
public:
    // Points the disk driver at a file named after the test, then sets the
    // canvas up.
    Output() : path(sound_files::testFile("mixed.raw")) {
        std::remove(path.c_str());
        SDL_setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
        Canvas::getInstance().initWorld(0, 0, 64, 64);
        Mix_SetPostMix([](void*, Uint8*, int length) { mixedBytes += length; }, nullptr);
    }

    // Samples mixed so far: what is started now is heard from here on (the
    // device writes every sample the mixer hands it, in order).
    std::size_t now() const { return static_cast<std::size_t>(mixedBytes / 2); }

    // Waits until at least count samples have been mixed, for at most
    // DEADLINE_MS.
    void wait(std::size_t count) const {
        const Uint32 start = SDL_GetTicks();
        while (now() < count && SDL_GetTicks() - start < DEADLINE_MS) {
            SDL_Delay(10);
        }
        EXPECT_GE(now(), count) << "the mixer made too little sound in time";
    }

    // Waits until the mixer has made `seconds` of sound since sample from:
    // the tests time what they do by the sound, not by the clock, so that a
    // loaded machine changes nothing but how long they take.
    void after(std::size_t from, double seconds) const { wait(from + samples(seconds)); }

    // Waits for count samples, then closes the audio device, so that its
    // file is complete, and returns what it holds. (Windows lets no one read
    // the file while SDL writes it.) Nothing plays after this.
    std::vector<std::int16_t> finish(std::size_t count) const {
        wait(count + samples(0.1)); // what is mixed is written a buffer later
        for (SDL_AudioDeviceID device = 1; device < 64; ++device) {
            if (SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_PLAYING) {
                SDL_CloseAudioDevice(device);
            }
        }
        const std::vector<char> bytes = sound_files::readBytes(path);
        std::vector<std::int16_t> heard(bytes.size() / 2);
        for (std::size_t i = 0; i < heard.size(); ++i) {
            const auto low = static_cast<std::uint8_t>(bytes[2 * i]);
            const auto high = static_cast<std::uint8_t>(bytes[2 * i + 1]);
            heard[i] = static_cast<std::int16_t>(low | (high << 8));
        }
        EXPECT_GE(heard.size(), count) << "the audio device wrote less than the mixer made";
        return heard;
    }

private:
    std::string path;
};

// How many samples of each level in [from, to).
std::map<int, std::size_t> levels(const std::vector<std::int16_t>& heard, std::size_t from,
                                  std::size_t to) {
    std::map<int, std::size_t> counts;
    for (std::size_t i = from; i < to && i < heard.size(); ++i) {
        ++counts[heard[i]];
    }
    return counts;
}

// "0: 12345 samples, 1000: 678 samples" for messages.
std::string describe(const std::map<int, std::size_t>& counts) {
    std::string text;
    for (const auto& level : counts) {
        text += (text.empty() ? "" : ", ") + std::to_string(level.first) + ": " +
                std::to_string(level.second);
    }
    return "levels heard (level: samples): " + text;
}

std::size_t count(const std::map<int, std::size_t>& counts, int level) {
    const auto found = counts.find(level);
    return found == counts.end() ? 0 : found->second;
}

// Every level heard is one of these.
void expectOnly(const std::map<int, std::size_t>& counts, const std::set<int>& allowed) {
    for (const auto& level : counts) {
        EXPECT_TRUE(allowed.count(level.first) == 1)
            << "level " << level.first << " heard; " << describe(counts);
    }
}

// The runs of sound (no more than 10 ms of silence within one), as
// [start, end) pairs.
std::vector<std::pair<std::size_t, std::size_t>> bursts(const std::vector<std::int16_t>& heard) {
    std::vector<std::pair<std::size_t, std::size_t>> found;
    const std::size_t gap = samples(0.01);
    std::size_t quiet = gap;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        if (heard[i] == 0) {
            ++quiet;
            continue;
        }
        if (quiet >= gap) {
            found.push_back({i, i + 1});
        }
        found.back().second = i + 1;
        quiet = 0;
    }
    return found;
}

// A burst is the committed 440 Hz tone at half of full scale: lasting
// about seconds, loud enough, at the right pitch (counted in upward
// crossings of zero).
void expectTone(const std::vector<std::int16_t>& heard, std::pair<std::size_t, std::size_t> burst,
                double seconds) {
    const double length = static_cast<double>(burst.second - burst.first) / RATE;
    EXPECT_NEAR(seconds, length, 0.15) << "the tone lasted " << length << " s";
    double energy = 0;
    std::vector<std::size_t> crossings;
    bool below = false; // went below -2000 since the last crossing
    for (std::size_t i = burst.first; i < burst.second; ++i) {
        energy += static_cast<double>(heard[i]) * heard[i];
        // With a margin, so that the noise of a lossy coding near zero is
        // not taken for crossings.
        if (heard[i] < -2000) {
            below = true;
        } else if (below && heard[i] > 2000) {
            below = false;
            crossings.push_back(i);
        }
    }
    const double rms = std::sqrt(energy / static_cast<double>(burst.second - burst.first));
    EXPECT_NEAR(16383 / std::sqrt(2.0), rms, 2500) << "not the tone's loudness";
    ASSERT_GE(crossings.size(), 100u) << "no tone in the sound heard";
    const double periods = static_cast<double>(crossings.size() - 1);
    const double span = static_cast<double>(crossings.back() - crossings.front()) / RATE;
    EXPECT_NEAR(440.0, periods / span, 5.0) << "not the tone's pitch";
}

} // namespace

TEST(Hearing, TwoEffectsOverlapAndTheirSamplesAdd) {
    Output output;
    Canvas& canvas = Canvas::getInstance();
    const SoundId low = canvas.loadSound(levelFile("low.wav", 2000, 1000));
    const SoundId high = canvas.loadSound(levelFile("high.wav", 2000, 2000));
    const std::size_t start = output.now();
    canvas.playEffect(low);
    output.after(start, 0.3);
    canvas.playEffect(high);
    const auto heard = levels(output.finish(start + samples(4.0)), start, start + samples(4.0));

    expectOnly(heard, {0, 1000, 2000, 3000});
    EXPECT_GE(count(heard, 3000), samples(0.5)) << "both together, added; " << describe(heard);
    EXPECT_GT(count(heard, 1000), 0u) << "the first alone; " << describe(heard);
    EXPECT_GT(count(heard, 2000), 0u) << "the second alone; " << describe(heard);
}

TEST(Hearing, ASecondPlayDoesNotCutTheFirst) {
    Output output;
    Canvas& canvas = Canvas::getInstance();
    const SoundId effect = canvas.loadSound(levelFile("effect.wav", 2000, 1000));
    const std::size_t start = output.now();
    canvas.playEffect(effect);
    output.after(start, 0.3);
    canvas.playEffect(effect);
    const auto heard = levels(output.finish(start + samples(4.0)), start, start + samples(4.0));

    expectOnly(heard, {0, 1000, 2000});
    EXPECT_GE(count(heard, 2000), samples(0.5)) << "the two plays together; " << describe(heard);
    // Two whole plays: 4 s of one effect's samples, twice counted where they
    // overlap (a tenth of a second is allowed for where the count starts).
    const std::size_t played = count(heard, 1000) + 2 * count(heard, 2000);
    EXPECT_NEAR(static_cast<double>(samples(4.0)), static_cast<double>(played),
                static_cast<double>(samples(0.1)))
        << describe(heard);
}

TEST(Hearing, MusicLoopsAndPlaysOnUnderEffects) {
    Output output;
    Canvas& canvas = Canvas::getInstance();
    const SoundId effect = canvas.loadSound(levelFile("effect.wav", 500, 1000));
    const std::size_t start = output.now();
    ASSERT_TRUE(canvas.playMusic(levelFile("music.wav", 250, 4000), true))
        << canvas.getSoundError();
    output.after(start, 0.8);
    canvas.playEffect(effect);
    const auto heard = levels(output.finish(start + samples(2.5)), start, start + samples(2.5));

    expectOnly(heard, {0, 1000, 4000, 5000});
    // A 250 ms file heard for well over a second: it looped.
    EXPECT_GE(count(heard, 4000) + count(heard, 5000), samples(1.5)) << describe(heard);
    EXPECT_GE(count(heard, 5000), samples(0.4)) << "music and effect together; " << describe(heard);
    EXPECT_LT(count(heard, 1000), samples(0.02))
        << "the effect alone: the music stopped; " << describe(heard);
}

namespace {

// Music (level 4000) and an effect (level 1000) heard together, then
// stop(canvas): afterwards only the level left is heard.
void expectStopLeaves(void (Canvas::*stop)(), int left) {
    Output output;
    Canvas& canvas = Canvas::getInstance();
    const SoundId effect = canvas.loadSound(levelFile("effect.wav", 3000, 1000));
    ASSERT_TRUE(canvas.playMusic(levelFile("music.wav", 300, 4000), true))
        << canvas.getSoundError();
    const std::size_t start = output.now();
    canvas.playEffect(effect);
    output.after(start, 0.5);
    const std::size_t stopped = output.now();
    (canvas.*stop)();
    const std::vector<std::int16_t> heard = output.finish(stopped + samples(1.5));

    const auto before = levels(heard, 0, stopped);
    EXPECT_GT(count(before, 5000), 0u) << "both before the stop; " << describe(before);
    // From a quarter of a second after the call: what was mixed before it
    // has been written by then.
    const auto after = levels(heard, stopped + samples(0.25), stopped + samples(1.5));
    expectOnly(after, {left});
}

} // namespace

TEST(Hearing, StopEffectsLeavesTheMusic) { expectStopLeaves(&Canvas::stopEffects, 4000); }

TEST(Hearing, StopMusicLeavesTheEffects) { expectStopLeaves(&Canvas::stopMusic, 1000); }

TEST(Hearing, VolumesScaleTheSamples) {
    Output output;
    Canvas& canvas = Canvas::getInstance();
    const SoundId shorter = canvas.loadSound(levelFile("short.wav", 700, 8000));
    const SoundId longer = canvas.loadSound(levelFile("long.wav", 3000, 8000));
    canvas.setMusicVolume(0.5);
    canvas.setEffectsVolume(0.5);
    const std::size_t start = output.now();
    ASSERT_TRUE(canvas.playMusic(levelFile("music.wav", 400, 6000), true))
        << canvas.getSoundError(); // 6000 x 0.5
    output.after(start, 0.3);
    canvas.playEffect(shorter, 0.5); // 8000 x 0.5 x 0.5, over the music
    output.after(start, 1.3);
    canvas.playEffect(longer, 7.0);   // taken as 1: 8000 x 0.5
    canvas.playEffect(shorter, -1.0); // taken as 0: silent
    output.after(start, 1.6);
    canvas.setEffectsVolume(2.0); // taken as 1, for the effect playing too: 8000
    output.after(start, 2.6);
    canvas.setMusicVolume(-3.0); // taken as 0: the effect alone
    const auto heard = levels(output.finish(start + samples(4.5)), start, start + samples(4.5));

    expectOnly(heard, {0, 3000, 5000, 7000, 8000, 11000});
    for (int level : {3000, 5000, 7000, 8000, 11000}) {
        EXPECT_GE(count(heard, level), samples(0.1))
            << "level " << level << "; " << describe(heard);
    }
}

TEST(Hearing, OggMp3AndFlacPlayAsMusicAndAsEffects) {
    Output output;
    Canvas& canvas = Canvas::getInstance();
    struct Heard {
        std::string what;
        double seconds;
        std::size_t from;
        std::size_t to;
    };
    std::vector<Heard> parts;
    for (const std::string name : {"tone.ogg", "tone.mp3", "tone.flac"}) {
        const double seconds = name == "tone.flac" ? 0.5 : 1.0;
        const SoundId effect = canvas.loadSound(committed(name));
        ASSERT_NE(-1, effect) << canvas.getSoundError();

        std::size_t start = output.now();
        ASSERT_TRUE(canvas.playMusic(committed(name), false)) << canvas.getSoundError();
        output.wait(start + samples(seconds + 0.5));
        canvas.stopMusic();
        parts.push_back({name + " as music", seconds, start, output.now()});

        start = output.now();
        canvas.playEffect(effect);
        output.wait(start + samples(seconds + 0.5));
        parts.push_back({name + " as an effect", seconds, start, output.now()});
    }
    const std::vector<std::int16_t> heard = output.finish(parts.back().to);
    ASSERT_GE(heard.size(), parts.back().to);
    for (const Heard& part : parts) {
        SCOPED_TRACE(part.what);
        const std::vector<std::int16_t> piece(heard.begin() + static_cast<long>(part.from),
                                              heard.begin() + static_cast<long>(part.to));
        const auto found = bursts(piece);
        ASSERT_EQ(1u, found.size()) << "it should be heard as one tone";
        expectTone(piece, found[0], part.seconds);
    }
}

// A tone: the pitch asked for (its zero crossings), half of full scale, no
// click (no step between samples steeper than the sine's own), two tones
// overlapping, and one line on standard error for the limits.
TEST(Hearing, TonesHaveTheirPitchOverlapAndStartWithoutAClick) {
    Output output;
    Canvas& canvas = Canvas::getInstance();
    const std::size_t start = output.now();
    testing::internal::CaptureStderr();
    canvas.playTone(441, 0.3);         // ends high in its cycle: a click without the fade
    canvas.playTone(5, 0.2, 0.0);      // held to 20 Hz, silent
    canvas.playTone(100000, 0.2, 0.0); // held to 20,000 Hz: said once only
    canvas.playTone(441, -1);          // nothing
    output.after(start, 0.25);
    canvas.playTone(882, 0.23, 0.5);
    const std::vector<std::int16_t> heard = output.finish(start + samples(1.0));
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;

    const auto runs = bursts(heard);
    ASSERT_FALSE(runs.empty());
    const std::size_t from = runs.front().first;
    std::size_t crossings = 0;
    int peak = 0;
    int steepest = 0;
    for (std::size_t i = from + 1; i < from + samples(0.2); ++i) {
        crossings += (heard[i - 1] < 0) != (heard[i] < 0);
        peak = std::max(peak, std::abs(static_cast<int>(heard[i])));
    }
    for (std::size_t i = from; i < runs.back().second + 1 && i < heard.size(); ++i) {
        steepest = std::max(steepest, std::abs(heard[i] - heard[i - 1]));
    }
    // 441 Hz for 0.2 s crosses zero 176 times.
    EXPECT_NEAR(static_cast<double>(crossings), 176.0, 3.0);
    EXPECT_NEAR(peak, 16383, 400);
    // The sines' own steepest steps, 441 Hz and 882 Hz at half the level,
    // are about 2,060 each; an end cut off mid-cycle would step by 6,000 or more.
    EXPECT_LT(steepest, 4300) << "a click";
    EXPECT_LT(std::abs(heard[from]), 200) << "the tone starts at full level";
}
