#ifndef VANTREL_TESTS_SOUND_FILES_H
#define VANTREL_TESTS_SOUND_FILES_H

// Sound files for the effect and music tests: WAV files written here, the
// committed OGG, MP3 and FLAC tones (tests/sounds/, copied into the build),
// and the bad files every loader must turn away.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "fixtures.h"
#include "wav.h"

namespace sound_files {

/// A file in the test build folder named after the running test, so that
/// tests running side by side never share one.
inline std::string testFile(const std::string& name) { return fixtures::suiteFileFor("", name); }

/// One of the committed tones: "tone.ogg" (1 s), "tone.mp3" (1 s) or
/// "tone.flac" (0.5 s), a 440 Hz sine at half of full scale, 22050 Hz mono.
inline std::string committed(const std::string& name) {
    return std::string(VANTREL_TEST_BINARY_DIR) + "/sounds/" + name;
}

inline std::vector<char> readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file),
                             std::istreambuf_iterator<char>());
}

/// A mono, 16-bit, 22050 Hz WAV file whose every sample is level.
inline std::vector<char> levelWav(int milliseconds, std::int16_t level) {
    std::vector<char> bytes = makeWav(milliseconds);
    for (std::size_t at = 44; at + 1 < bytes.size(); at += 2) {
        bytes[at] = static_cast<char>(level & 0xFF);
        bytes[at + 1] = static_cast<char>((level >> 8) & 0xFF);
    }
    return bytes;
}

/// Writes a level WAV (see levelWav) named after the test; returns its path.
inline std::string levelFile(const std::string& name, int milliseconds, std::int16_t level) {
    const std::string path = testFile(name);
    EXPECT_TRUE(writeBytes(path, levelWav(milliseconds, level))) << "cannot write " << path;
    return path;
}

/// The little-endian 32-bit number at byte `at` replaced by value.
inline void putU32(std::vector<char>* bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        (*bytes)[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

/// Files no loader may accept, by what is wrong with them, each written
/// named after the test with the ending given. Every one must be refused
/// with a reason, without a crash.
inline std::vector<std::pair<std::string, std::string>> badFiles() {
    std::vector<std::pair<std::string, std::string>> files;
    auto add = [&files](const std::string& what, const std::string& name,
                        const std::vector<char>& bytes) {
        const std::string path = testFile(name);
        EXPECT_TRUE(writeBytes(path, bytes)) << "cannot write " << path;
        files.emplace_back(what, path);
    };
    add("empty", "empty.wav", {});
    std::vector<char> header = makeWav(100);
    header.resize(24); // RIFF, WAVE and half of the format block
    add("WAV header cut short", "cut.wav", header);
    std::vector<char> ogg = readBytes(committed("tone.ogg"));
    ogg.resize(30); // the first page breaks off before it names its codec
    add("OGG cut short in its first page", "cut.ogg", ogg);
    ogg = readBytes(committed("tone.ogg"));
    ogg.resize(200); // the headers break off
    add("OGG cut short in its headers", "headers.ogg", ogg);
    std::vector<char> flac = readBytes(committed("tone.flac"));
    flac.resize(30);
    add("FLAC cut short", "cut.flac", flac);
    // The stream information block given twice: SDL_mixer's FLAC decoder
    // would lose what it set up for the first.
    flac = readBytes(committed("tone.flac"));
    std::vector<char> twice(flac.begin(), flac.begin() + 42);
    twice[4] = static_cast<char>(twice[4] & 0x7F); // "fLaC", then not the last block
    twice.insert(twice.end(), flac.begin() + 4, flac.end());
    twice[42] = static_cast<char>(twice[42] & 0x7F);
    add("FLAC stream information twice", "twice.flac", twice);
    // A mono tone whose stream information announces two channels: SDL_mixer's
    // FLAC decoder would read a second channel no frame has.
    flac = readBytes(committed("tone.flac"));
    flac[20] = static_cast<char>((flac[20] & 0xF1) | (1 << 1));
    add("FLAC frames with fewer channels than announced", "channels.flac", flac);
    // A comment with no text: SDL_mixer would copy it as a string that is not there.
    flac = readBytes(committed("tone.flac"));
    std::vector<char> comment(flac.begin(), flac.begin() + 42); // "fLaC", stream information
    comment[4] = static_cast<char>(comment[4] & 0x7F);
    const char block[] = {'\x84', 0, 0, 12, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    comment.insert(comment.end(), block, block + sizeof block);
    add("FLAC comment without text", "comment.flac", comment);
    const std::string tag = "ID3t..*"; // shorter than any loader reads to tell its kind
    add("MP3 tag and nothing else", "tag.mp3", std::vector<char>(tag.begin(), tag.end()));
    std::mt19937 generator(20240611); // the same bytes on every platform
    std::vector<char> noise(4096);
    for (char& b : noise) {
        b = static_cast<char>(generator() & 0xFF);
    }
    add("random bytes", "random.wav", noise);
    const std::string text = "Not a sound at all, just a line of text.\n";
    add("text named .ogg", "text.ogg", std::vector<char>(text.begin(), text.end()));
    const char midi[] = "MThd\0\0\0\x06\0\0\0\x01\0\x60MTrk\0\0\0\0";
    add("MIDI", "tune.mid", std::vector<char>(midi, midi + sizeof midi - 1));
    std::vector<char> huge = levelWav(100, 1000);
    putU32(&huge, 4, 0xFFFFFFFFu);  // RIFF length
    putU32(&huge, 40, 0xFFFFFFF0u); // data length: nearly 4 GB where 100 ms follow
    add("huge WAV header", "huge.wav", huge);
    // 17920 channels: SDL_mixer's streaming reader keeps the count in a
    // byte, 0, and divides by it.
    std::vector<char> crowd = makeWav(100);
    crowd[22] = 0;
    crowd[23] = 0x46;
    add("WAV header claiming 17920 channels", "crowd.wav", crowd);
    std::vector<char> cut = makeWav(200);
    cut.resize(cut.size() / 2);
    add("WAV data cut short", "half.wav", cut);
    return files;
}

/// A WAV at 1 sample a second: 20 KB of it last nearly three hours, which
/// would take half a gigabyte decoded. Writes it named after the test.
inline std::string slowWav() {
    std::vector<char> slow = makeWav(453);
    putU32(&slow, 24, 1); // frames per second
    putU32(&slow, 28, 2); // bytes per second
    const std::string path = testFile("slow.wav");
    EXPECT_TRUE(writeBytes(path, slow)) << "cannot write " << path;
    return path;
}

} // namespace sound_files

#endif
