// Files named by a relative path: found in the working directory, else beside
// the program, and a miss names every place looked.

#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "wav.h"

namespace {

// The test programs live in VANTREL_TEST_BINARY_DIR; each test uses its own
// file names there so that tests may run side by side.
std::string besideTheProgram(const std::string& name) {
    return std::string(VANTREL_TEST_BINARY_DIR) + "/" + name;
}

bool copyFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
    return in.good() && out.good();
}

// Runs the test from a folder that holds none of the files.
void leaveTheProgramsFolder() { ASSERT_EQ(0, chdir("/")); }

Canvas& setUpCanvas() {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 64, 64);
    return canvas;
}

} // namespace

TEST(Assets, SoundBesideTheProgramIsFoundFromAnotherFolder) {
    ASSERT_TRUE(writeWav(besideTheProgram("assets_beside.wav"), 200));
    leaveTheProgramsFolder();
    Canvas& canvas = setUpCanvas();
    canvas.playSound("assets_beside.wav", false);
    EXPECT_TRUE(canvas.hasSound());
}

TEST(Assets, TheWorkingDirectoryComesFirst) {
    // Two different files of the same name: the one in the working directory wins.
    ASSERT_TRUE(writeWav(besideTheProgram("assets_first.wav"), 100));
    char folder[] = "/tmp/vantrel-assets-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string here = std::string(folder) + "/assets_first.wav";
    ASSERT_TRUE(writeWav(here, 900));
    ASSERT_EQ(0, chdir(folder));
    Canvas& canvas = setUpCanvas();
    canvas.playSound("assets_first.wav", false);
    ASSERT_TRUE(canvas.hasSound());
    // 900 ms of 22050 Hz mono 16-bit audio, not 100 ms.
    Mix_Chunk* chunk = Mix_GetChunk(0);
    ASSERT_NE(nullptr, chunk);
    EXPECT_GT(chunk->alen, 22050u * 2 / 2);
    std::remove(here.c_str());
    rmdir(folder);
}

TEST(Assets, AMissingSoundNamesEveryPlaceLooked) {
    leaveTheProgramsFolder();
    Canvas& canvas = setUpCanvas();
    try {
        canvas.playSound("assets_nowhere.wav", false);
        FAIL() << "a missing file was accepted";
    } catch (const std::string& message) {
        EXPECT_EQ(0u, message.find("Unable to open audio with error")) << message;
        EXPECT_NE(std::string::npos, message.find("\"assets_nowhere.wav\"")) << message;
        EXPECT_NE(std::string::npos, message.find(besideTheProgram("assets_nowhere.wav")))
            << message;
    }
    EXPECT_FALSE(canvas.hasSound());
}

TEST(Assets, FontBesideTheProgramIsFoundFromAnotherFolder) {
    ASSERT_TRUE(copyFile(VANTREL_TEST_FONT, besideTheProgram("assets_font.ttf")));
    leaveTheProgramsFolder();
    Canvas& canvas = Canvas::getInstance();
    EXPECT_EQ(2, canvas.loadFont("assets_font.ttf", 12));
    EXPECT_EQ(-1, canvas.loadFont("assets_no_font.ttf", 12));
}
