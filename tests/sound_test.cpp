// The sound slot against the real mixer state: what plays, what is paused,
// what the slot holds, and how bad files are turned away.

#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <vector>

#include "fixtures.h"
#include "wav.h"

using fixtures::DEADLINE_MS;
using fixtures::setUpCanvas;
using fixtures::waitFor;

namespace {

const std::string LOAD_ERROR = "Unable to open audio with error";

// A file name in the test build directory that no other test uses, so that
// tests may run side by side.
std::string testFile(const std::string& suffix) { return fixtures::suiteFileFor("sound_", suffix); }

std::string toneFile(const std::string& suffix, int milliseconds) {
    const std::string path = testFile(suffix + ".wav");
    EXPECT_TRUE(writeWav(path, milliseconds)) << "cannot write " << path;
    return path;
}

// Bytes of audio the mixer has produced since countMixedAudio() was called;
// they grow only as the audio device really takes data.
std::atomic<long> mixedBytes{0};
int bytesPerMillisecond = 0;

void countMixedAudio() {
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    ASSERT_EQ(1, Mix_QuerySpec(&frequency, &format, &channels)) << Mix_GetError();
    bytesPerMillisecond = frequency * channels * SDL_AUDIO_BITSIZE(format) / 8 / 1000;
    mixedBytes = 0;
    Mix_SetPostMix([](void*, Uint8*, int len) { mixedBytes += len; }, nullptr);
}

long mixedMilliseconds() { return mixedBytes / bytesPerMillisecond; }

// Plays a looping tone the client loaded itself, outside the slot.
Mix_Chunk* playOutsideTheSlot(const std::string& path) {
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    EXPECT_NE(nullptr, chunk) << Mix_GetError();
    EXPECT_NE(-1, Mix_PlayChannel(-1, chunk, -1)) << Mix_GetError();
    return chunk;
}

// Asks the canvas to play `path` and returns the message it throws.
std::string loadError(Canvas& canvas, const std::string& path) {
    try {
        canvas.playSound(path, false);
    } catch (const std::string& message) {
        return message;
    }
    ADD_FAILURE() << "playSound(\"" << path << "\") threw nothing";
    return "";
}

// A bad file is refused with the message and the library's reason, leaves the
// slot empty and silent, and the canvas plays the next good file. Returns the
// message.
std::string expectRefused(const std::string& path) {
    Canvas& canvas = setUpCanvas();
    const std::string message = loadError(canvas, path);
    EXPECT_EQ(LOAD_ERROR, message.substr(0, LOAD_ERROR.size())) << "whole message: " << message;
    EXPECT_GT(message.size(), LOAD_ERROR.size()) << "no reason after the message: " << message;
    EXPECT_FALSE(canvas.hasSound());
    EXPECT_EQ(0, Mix_Playing(-1));

    canvas.playSound(toneFile("good", 500), true);
    EXPECT_TRUE(canvas.hasSound());
    EXPECT_EQ(1, Mix_Playing(-1));
    return message;
}

} // namespace

TEST(SoundPlay, OnceFinishesButStaysInTheSlot) {
    Canvas& canvas = setUpCanvas();
    canvas.playSound(toneFile("tone", 100), false);
    EXPECT_TRUE(canvas.hasSound());
    EXPECT_EQ(1, Mix_Playing(-1));

    EXPECT_TRUE(waitFor([] { return Mix_Playing(-1) == 0; }))
        << "a 100 ms sample still plays after " << DEADLINE_MS << " ms";
    EXPECT_TRUE(canvas.hasSound());
}

TEST(SoundPlay, LoopKeepsPlayingPastItsLength) {
    Canvas& canvas = setUpCanvas();
    ASSERT_NO_FATAL_FAILURE(countMixedAudio());
    canvas.playSound(toneFile("tone", 100), true);

    EXPECT_TRUE(waitFor([] { return mixedMilliseconds() >= 500; }))
        << "the mixer produced only " << mixedMilliseconds() << " ms of audio";
    EXPECT_EQ(1, Mix_Playing(-1));
    EXPECT_TRUE(canvas.hasSound());
}

TEST(SoundPlay, SecondSampleReplacesTheFirst) {
    Canvas& canvas = setUpCanvas();
    canvas.playSound(toneFile("first", 2000), true);
    canvas.playSound(toneFile("second", 2000), true);
    EXPECT_EQ(1, Mix_Playing(-1));
    EXPECT_TRUE(canvas.hasSound());
}

TEST(SoundPause, PausesAndResumesEveryChannel) {
    Canvas& canvas = setUpCanvas();
    canvas.playSound(toneFile("tone", 2000), true);

    canvas.pauseSound(true);
    EXPECT_EQ(1, Mix_Paused(-1));
    EXPECT_EQ(1, Mix_Playing(-1)) << "a paused channel still counts as playing";

    canvas.pauseSound(false);
    EXPECT_EQ(0, Mix_Paused(-1));
    EXPECT_EQ(1, Mix_Playing(-1));
    EXPECT_TRUE(canvas.hasSound());
}

TEST(SoundPause, EmptySlotLeavesOtherChannelsAlone) {
    Canvas& canvas = setUpCanvas();
    Mix_Chunk* chunk = playOutsideTheSlot(toneFile("own", 2000));

    canvas.pauseSound(true);
    EXPECT_EQ(0, Mix_Paused(-1));
    EXPECT_EQ(1, Mix_Playing(-1));
    EXPECT_FALSE(canvas.hasSound());

    Mix_HaltChannel(-1);
    Mix_FreeChunk(chunk);
}

TEST(SoundStop, EmptiesTheSlotAndSilencesIt) {
    Canvas& canvas = setUpCanvas();
    canvas.playSound(toneFile("tone", 2000), true);
    canvas.stopSound();
    EXPECT_FALSE(canvas.hasSound());
    EXPECT_EQ(0, Mix_Playing(-1));
}

TEST(SoundStop, EmptySlotStillHaltsEveryChannel) {
    Canvas& canvas = setUpCanvas();
    Mix_Chunk* chunk = playOutsideTheSlot(toneFile("own", 2000));
    canvas.stopSound();
    EXPECT_EQ(0, Mix_Playing(-1));
    canvas.stopSound();
    EXPECT_FALSE(canvas.hasSound());
    Mix_FreeChunk(chunk);
}

TEST(SoundBadFile, Missing) {
    // The reason is the file system's, naming the file.
    const std::string path = testFile("missing.wav");
    const std::string message = expectRefused(path);
    EXPECT_NE(std::string::npos, message.find(path)) << "whole message: " << message;
}

TEST(SoundBadFile, Empty) {
    const std::string path = testFile("empty.wav");
    ASSERT_TRUE(writeBytes(path, {}));
    expectRefused(path);
}

TEST(SoundBadFile, TruncatedHeader) {
    // RIFF, WAVE and half of the format block: the header breaks off.
    std::vector<char> bytes = makeWav(100);
    bytes.resize(24);
    const std::string path = testFile("truncated.wav");
    ASSERT_TRUE(writeBytes(path, bytes));
    expectRefused(path);
}

TEST(SoundBadFile, RandomBytes) {
    std::mt19937 generator(20240611); // the same bytes on every platform
    std::vector<char> bytes(4096);
    for (char& b : bytes) {
        b = static_cast<char>(generator() & 0xFF);
    }
    const std::string path = testFile("random.wav");
    ASSERT_TRUE(writeBytes(path, bytes));
    expectRefused(path);
}

TEST(SoundBadFile, ReasonIsThisFilesNotAnEarlierOne) {
    std::vector<char> bytes(4096, '\x5a');
    const std::string path = testFile("noise.wav");
    ASSERT_TRUE(writeBytes(path, bytes));
    Canvas& canvas = setUpCanvas();
    SDL_SetError("an earlier, unrelated error");
    const std::string message = loadError(canvas, path);
    EXPECT_EQ(LOAD_ERROR, message.substr(0, LOAD_ERROR.size())) << "whole message: " << message;
    EXPECT_GT(message.size(), LOAD_ERROR.size()) << "no reason after the message: " << message;
    EXPECT_EQ(std::string::npos, message.find("earlier")) << "whole message: " << message;
}

TEST(SoundBadFile, StopsTheSamplePlayingBefore) {
    Canvas& canvas = setUpCanvas();
    canvas.playSound(toneFile("tone", 2000), true);
    ASSERT_EQ(1, Mix_Playing(-1));

    const std::string message = loadError(canvas, testFile("missing.wav"));
    EXPECT_EQ(LOAD_ERROR, message.substr(0, LOAD_ERROR.size())) << "whole message: " << message;
    EXPECT_EQ(0, Mix_Playing(-1));
    EXPECT_FALSE(canvas.hasSound());
}
