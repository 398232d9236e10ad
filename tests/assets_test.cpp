// Files named by a relative path: found in the working directory, else beside
// the program, and a miss names every place looked.

#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "fixtures.h"
#include "wav.h"

using fixtures::setUpCanvas;

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

// The program's folder as the framework sees it (on Windows a drive-letter
// path, however the test build directory was spelled).
std::string programFolder() {
    char* base = SDL_GetBasePath();
    std::string folder = base != nullptr ? base : "";
    SDL_free(base);
    return folder;
}

// Runs the test from a folder that holds none of the files.
void leaveTheProgramsFolder() {
    std::error_code error;
    std::filesystem::current_path(std::filesystem::path("/"), error);
    ASSERT_FALSE(error) << error.message();
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
    // A folder of this test's own below the program's.
    const std::filesystem::path folder = besideTheProgram("assets_first_folder");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    ASSERT_FALSE(error) << error.message();
    const std::string here = (folder / "assets_first.wav").string();
    ASSERT_TRUE(writeWav(here, 900));
    std::filesystem::current_path(folder, error);
    ASSERT_FALSE(error) << error.message();
    Canvas& canvas = setUpCanvas();
    canvas.playSound("assets_first.wav", false);
    ASSERT_TRUE(canvas.hasSound());
    // 900 ms of 22050 Hz mono 16-bit audio, not 100 ms.
    Mix_Chunk* chunk = Mix_GetChunk(0);
    ASSERT_NE(nullptr, chunk);
    EXPECT_GT(chunk->alen, 22050u * 2 / 2);
    std::filesystem::current_path(std::filesystem::path("/"), error);
    std::filesystem::remove_all(folder, error);
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
        const std::string beside = programFolder() + "assets_nowhere.wav";
        EXPECT_NE(std::string::npos, message.find(beside))
            << "expected " << beside << " in: " << message;
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

TEST(Assets, EffectsAndMusicBesideTheProgramAreFoundFromAnotherFolder) {
    ASSERT_TRUE(writeWav(besideTheProgram("assets_effect.wav"), 200));
    ASSERT_TRUE(writeWav(besideTheProgram("assets_music.wav"), 1000));
    leaveTheProgramsFolder();
    Canvas& canvas = Canvas::getInstance();
    EXPECT_EQ(1, canvas.loadSound("assets_effect.wav")) << canvas.getSoundError();
    setUpCanvas();
    EXPECT_EQ(2, canvas.loadSound("assets_effect.wav")) << canvas.getSoundError();
    EXPECT_TRUE(canvas.playMusic("assets_music.wav", true)) << canvas.getSoundError();

    // A miss names every place looked, for both.
    const std::string beside = programFolder() + "assets_nowhere.ogg";
    EXPECT_EQ(-1, canvas.loadSound("assets_nowhere.ogg"));
    EXPECT_NE(std::string::npos, canvas.getSoundError().find(beside))
        << "expected " << beside << " in: " << canvas.getSoundError();
    EXPECT_FALSE(canvas.playMusic("assets_nowhere.ogg", true));
    EXPECT_NE(std::string::npos, canvas.getSoundError().find("\"assets_nowhere.ogg\", \"" + beside))
        << canvas.getSoundError();
}
