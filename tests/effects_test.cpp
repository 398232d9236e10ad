// Sound effects and music against the mixer's state: what loads and what is
// turned away (with its reason), ids, how many effects play at once, and
// where effects, music and the one-sample slot meet. What the mixer makes of
// them, sample by sample, is in sound_hearing_test.cpp.

#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "sound_files.h"

using fixtures::DEADLINE_MS;
using fixtures::setUpCanvas;
using fixtures::waitFor;
using sound_files::committed;
using sound_files::testFile;

namespace {

std::string toneFile(const std::string& name, int milliseconds) {
    const std::string path = testFile(name);
    EXPECT_TRUE(writeWav(path, milliseconds)) << "cannot write " << path;
    return path;
}

// The effect channels come after the mixer's usual eight, which the slot
// keeps to.
constexpr int FIRST = MIX_CHANNELS;

// Effect channels playing (paused ones count as playing).
int effectsPlaying() {
    int playing = 0;
    for (int channel = FIRST; channel < FIRST + MAX_EFFECTS_AT_ONCE; ++channel) {
        playing += Mix_Playing(channel);
    }
    return playing;
}

// Channels after the effects' playing: the slot's sample.
int othersPlaying() { return Mix_Playing(-1) - effectsPlaying(); }

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every bad file is refused by loadSound with "Couldn't load PATH: reason";
// the reasons that say what kind of file it is are checked by name.
void expectEveryBadFileRefused(Canvas& canvas) {
    for (const auto& bad : sound_files::badFiles()) {
        SCOPED_TRACE(bad.first);
        EXPECT_EQ(-1, canvas.loadSound(bad.second));
        const std::string error = canvas.getSoundError();
        const std::string prefix = "Couldn't load " + bad.second + ": ";
        EXPECT_EQ(prefix, error.substr(0, prefix.size())) << "whole message: " << error;
        EXPECT_GT(error.size(), prefix.size() + 5) << "no reason: " << error;
    }
    const std::string text = testFile("text.ogg");
    canvas.loadSound(text);
    EXPECT_TRUE(contains(canvas.getSoundError(), "holds text")) << canvas.getSoundError();
    canvas.loadSound(testFile("tune.mid"));
    EXPECT_TRUE(contains(canvas.getSoundError(), "MIDI")) << canvas.getSoundError();
    EXPECT_TRUE(contains(canvas.getSoundError(), "use WAV, OGG, MP3 or FLAC"))
        << canvas.getSoundError();
    canvas.loadSound(testFile("empty.wav"));
    EXPECT_TRUE(contains(canvas.getSoundError(), "empty")) << canvas.getSoundError();
    canvas.loadSound(testFile("huge.wav"));
    EXPECT_TRUE(contains(canvas.getSoundError(), "promises 4294967280 bytes"))
        << canvas.getSoundError();
    canvas.loadSound(sound_files::slowWav());
    EXPECT_TRUE(contains(canvas.getSoundError(), "MAX_SOUND_SECONDS")) << canvas.getSoundError();

    const std::string missing = testFile("missing.ogg");
    EXPECT_EQ(-1, canvas.loadSound(missing));
    EXPECT_TRUE(contains(canvas.getSoundError(), "Couldn't open " + missing + " (looked in: "))
        << canvas.getSoundError();
}

} // namespace

TEST(EffectsLoad, EveryFormatLoadsWithIdsInOrder) {
    Canvas& canvas = setUpCanvas();
    EXPECT_EQ(1, canvas.loadSound(toneFile("tone.wav", 300)));
    EXPECT_EQ(2, canvas.loadSound(committed("tone.ogg"))) << canvas.getSoundError();
    EXPECT_EQ(3, canvas.loadSound(committed("tone.mp3"))) << canvas.getSoundError();
    EXPECT_EQ(4, canvas.loadSound(committed("tone.flac"))) << canvas.getSoundError();
    EXPECT_EQ("", canvas.getSoundError());
    for (SoundId sound = 1; sound <= 4; ++sound) {
        canvas.playEffect(sound);
    }
    EXPECT_EQ(4, effectsPlaying());
    EXPECT_EQ(0, othersPlaying()) << "effects must keep off the slot's channels";
    canvas.playSound(toneFile("slot.wav", 300), false);
    EXPECT_EQ(1, Mix_Playing(0)) << "the slot's sample takes the first channel, as before";
}

TEST(EffectsLoad, BadFilesAreRefusedWithTheirReason) {
    Canvas& canvas = setUpCanvas();
    expectEveryBadFileRefused(canvas);
    // Nothing was kept: the next good sound is the first.
    EXPECT_EQ(1, canvas.loadSound(toneFile("good.wav", 200)));
    EXPECT_EQ("", canvas.getSoundError());
}

TEST(EffectsLoad, BadFilesAreRefusedBeforeInitWorldToo) {
    Canvas& canvas = Canvas::getInstance();
    // The damaged OGG and FLAC files look right at their start; before the
    // audio opens they cannot be decoded, so they are left out here (see
    // the next test).
    for (const auto& bad : sound_files::badFiles()) {
        if (contains(bad.first, "FLAC") || contains(bad.first, "OGG cut short in its headers")) {
            continue;
        }
        SCOPED_TRACE(bad.first);
        EXPECT_EQ(-1, canvas.loadSound(bad.second));
        EXPECT_TRUE(contains(canvas.getSoundError(), "Couldn't load " + bad.second + ": "))
            << canvas.getSoundError();
    }
    EXPECT_EQ(-1, canvas.loadSound(sound_files::slowWav()));
    EXPECT_EQ(1, canvas.loadSound(toneFile("good.wav", 200)));
}

TEST(EffectsLoad, LoadedBeforeInitWorldPlayOnceTheAudioOpens) {
    Canvas& canvas = Canvas::getInstance();
    const SoundId wav = canvas.loadSound(toneFile("tone.wav", 2000));
    const SoundId ogg = canvas.loadSound(committed("tone.ogg"));
    std::vector<char> damaged = sound_files::readBytes(committed("tone.ogg"));
    damaged.resize(200);
    const std::string damagedPath = testFile("damaged.ogg");
    ASSERT_TRUE(writeBytes(damagedPath, damaged));
    const SoundId bad = canvas.loadSound(damagedPath);
    ASSERT_EQ(1, wav);
    ASSERT_EQ(2, ogg) << canvas.getSoundError();
    ASSERT_EQ(3, bad) << "before the audio opens only the start of the file can be checked";
    canvas.playEffect(wav); // nothing to play it on yet: no effect, no failure

    ::testing::internal::CaptureStderr();
    setUpCanvas();
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(contains(printed, "sound 3 will not play")) << "standard error: " << printed;
    EXPECT_TRUE(contains(canvas.getSoundError(), "Couldn't load " + damagedPath + ": its OGG data"))
        << canvas.getSoundError();

    EXPECT_EQ(0, effectsPlaying());
    canvas.playEffect(wav);
    canvas.playEffect(ogg);
    canvas.playEffect(bad); // decoding failed: it plays nothing, quietly
    EXPECT_EQ(2, effectsPlaying());
}

TEST(EffectsLoad, IdsThatNameNoSoundThrow) {
    Canvas& canvas = Canvas::getInstance();
    EXPECT_THROW(canvas.playEffect(1), std::out_of_range) << "before anything was loaded";
    canvas.loadSound(testFile("missing.wav"));
    setUpCanvas();
    ASSERT_EQ(1, canvas.loadSound(toneFile("tone.wav", 200)));
    EXPECT_THROW(canvas.playEffect(0), std::out_of_range);
    EXPECT_THROW(canvas.playEffect(2, 0.5), std::out_of_range);
    canvas.loadSound(testFile("missing.wav"));
    // A failed playMusic afterwards is not what the id of -1 came from.
    EXPECT_FALSE(canvas.playMusic(testFile("missing-music.ogg"), false));
    try {
        canvas.playEffect(-1);
        ADD_FAILURE() << "playEffect(-1) threw nothing";
    } catch (const std::out_of_range& error) {
        const std::string message = error.what();
        EXPECT_TRUE(contains(message, "Sound id -1 names no loaded sound (loaded sounds: 1)"))
            << message;
        EXPECT_TRUE(contains(message, "loadSound failed; the last failure: Couldn't open"))
            << message;
        EXPECT_TRUE(contains(message, "missing.wav") && !contains(message, "missing-music"))
            << message;
    }
}

TEST(EffectsPlay, SixteenAtOnceAndTheOldestMakesRoom) {
    Canvas& canvas = setUpCanvas();
    const SoundId first = canvas.loadSound(toneFile("first.wav", 5000));
    const SoundId other = canvas.loadSound(toneFile("other.wav", 5000));
    const SoundId last = canvas.loadSound(toneFile("last.wav", 5000));
    ASSERT_TRUE(canvas.playMusic(toneFile("music.wav", 1000), true)) << canvas.getSoundError();
    canvas.playSound(toneFile("slot.wav", 1000), true);

    canvas.playEffect(first);
    ASSERT_EQ(1, Mix_Playing(FIRST)) << "the first effect takes the first effect channel";
    Mix_Chunk* firstChunk = Mix_GetChunk(FIRST);
    SDL_Delay(20); // a later start for every other effect
    for (int i = 1; i < MAX_EFFECTS_AT_ONCE; ++i) {
        canvas.playEffect(other);
    }
    ASSERT_EQ(MAX_EFFECTS_AT_ONCE, effectsPlaying());

    canvas.playEffect(last); // every channel busy
    EXPECT_EQ(MAX_EFFECTS_AT_ONCE, effectsPlaying());
    EXPECT_NE(firstChunk, Mix_GetChunk(FIRST)) << "the oldest effect should have made room";
    for (int channel = FIRST + 1; channel < FIRST + MAX_EFFECTS_AT_ONCE; ++channel) {
        EXPECT_EQ(Mix_GetChunk(FIRST + 1), Mix_GetChunk(channel))
            << "an effect newer than the first was cut on channel " << channel;
    }
    EXPECT_TRUE(canvas.isMusicPlaying()) << "a full set of effects must leave the music alone";
    EXPECT_EQ(1, othersPlaying()) << "a full set of effects must leave the slot alone";
}

TEST(EffectsPlay, SlotCallsReachTheEffectsAndStopEffectsLeavesTheRest) {
    Canvas& canvas = setUpCanvas();
    const SoundId effect = canvas.loadSound(toneFile("effect.wav", 5000));
    ASSERT_TRUE(canvas.playMusic(toneFile("music.wav", 1000), true)) << canvas.getSoundError();
    canvas.playSound(toneFile("slot.wav", 5000), true);
    canvas.playEffect(effect);
    canvas.playEffect(effect, 0.3);

    canvas.stopEffects();
    EXPECT_EQ(0, effectsPlaying());
    EXPECT_EQ(1, othersPlaying()) << "stopEffects must leave the slot's sample";
    EXPECT_TRUE(canvas.isMusicPlaying()) << "stopEffects must leave the music";

    canvas.playEffect(effect);
    canvas.playEffect(effect);
    canvas.pauseSound(true);
    for (int channel = FIRST; channel < FIRST + 2; ++channel) {
        EXPECT_EQ(1, Mix_Paused(channel)) << "effect channel " << channel;
    }
    EXPECT_TRUE(canvas.isMusicPlaying()) << "pauseSound must not pause the music";
    canvas.pauseSound(false);
    EXPECT_EQ(0, Mix_Paused(FIRST));

    canvas.stopSound();
    EXPECT_EQ(0, effectsPlaying()) << "stopSound halts every channel, effects included";
    EXPECT_TRUE(canvas.isMusicPlaying()) << "stopSound must not stop the music";
    canvas.playEffect(effect); // still loaded
    EXPECT_EQ(1, effectsPlaying());
}

TEST(EffectsPlay, BeforeInitWorldNothingPlaysAndVolumesWait) {
    Canvas& canvas = Canvas::getInstance();
    const SoundId effect = canvas.loadSound(toneFile("effect.wav", 2000));
    canvas.playEffect(effect, 0.5);
    canvas.stopEffects();
    canvas.setEffectsVolume(0.5);
    canvas.setMusicVolume(0.25);
    const std::string music = toneFile("music.wav", 2000);
    EXPECT_FALSE(canvas.playMusic(music, true));
    EXPECT_TRUE(contains(canvas.getSoundError(), "only after initWorld")) << canvas.getSoundError();
    canvas.pauseMusic(true);
    canvas.stopMusic();
    EXPECT_FALSE(canvas.isMusicPlaying());

    setUpCanvas();
    EXPECT_EQ(32, Mix_VolumeMusic(-1)) << "the music volume set before initWorld";
    ASSERT_TRUE(canvas.playMusic(music, true)) << canvas.getSoundError();
    EXPECT_EQ(32, Mix_VolumeMusic(-1));
    canvas.playEffect(effect, 0.5);
    EXPECT_EQ(32, Mix_Volume(FIRST, -1)) << "half of the effects volume set before initWorld";
}

TEST(Music, EveryFormatStreamsAndReplacesTheLast) {
    Canvas& canvas = setUpCanvas();
    const std::vector<std::pair<std::string, Mix_MusicType>> files = {
        {toneFile("music.wav", 2000), MUS_WAV},
        {committed("tone.ogg"), MUS_OGG},
        {committed("tone.mp3"), MUS_MP3},
        {committed("tone.flac"), MUS_FLAC}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.first);
        EXPECT_TRUE(canvas.playMusic(file.first, true)) << canvas.getSoundError();
        EXPECT_EQ("", canvas.getSoundError());
        EXPECT_TRUE(canvas.isMusicPlaying());
        EXPECT_EQ(file.second, Mix_GetMusicType(nullptr)) << "not the music asked for";
    }
    EXPECT_EQ(0, Mix_Playing(-1)) << "music must not take a mixing channel";
}

TEST(Music, PausesResumesStopsAndEnds) {
    Canvas& canvas = setUpCanvas();
    ASSERT_TRUE(canvas.playMusic(toneFile("long.wav", 3000), true)) << canvas.getSoundError();
    canvas.pauseMusic(true);
    EXPECT_FALSE(canvas.isMusicPlaying());
    EXPECT_EQ(1, Mix_PausedMusic());
    canvas.pauseMusic(false);
    EXPECT_TRUE(canvas.isMusicPlaying());
    canvas.stopMusic();
    EXPECT_FALSE(canvas.isMusicPlaying());
    canvas.pauseMusic(false); // nothing to resume
    EXPECT_FALSE(canvas.isMusicPlaying());

    ASSERT_TRUE(canvas.playMusic(toneFile("short.wav", 200), false)) << canvas.getSoundError();
    EXPECT_TRUE(canvas.isMusicPlaying());
    EXPECT_TRUE(waitFor([&canvas] { return !canvas.isMusicPlaying(); }))
        << "200 ms of music played once still plays after " << DEADLINE_MS << " ms";
}

TEST(Music, BadFilesReturnFalseWithTheirReason) {
    Canvas& canvas = setUpCanvas();
    const std::string good = toneFile("good.wav", 3000);
    for (const auto& bad : sound_files::badFiles()) {
        SCOPED_TRACE(bad.first);
        ASSERT_TRUE(canvas.playMusic(good, true)) << canvas.getSoundError();
        EXPECT_FALSE(canvas.playMusic(bad.second, true));
        const std::string error = canvas.getSoundError();
        const std::string prefix = "Couldn't play " + bad.second + ": ";
        EXPECT_EQ(prefix, error.substr(0, prefix.size())) << "whole message: " << error;
        EXPECT_GT(error.size(), prefix.size() + 5) << "no reason: " << error;
        EXPECT_FALSE(canvas.isMusicPlaying()) << "the music before a failed one stops too";
    }
    const std::string missing = testFile("missing.mp3");
    EXPECT_FALSE(canvas.playMusic(missing, false));
    EXPECT_TRUE(contains(canvas.getSoundError(), "Couldn't open " + missing + " (looked in: "))
        << canvas.getSoundError();
    EXPECT_TRUE(canvas.playMusic(good, false)) << canvas.getSoundError();
}
