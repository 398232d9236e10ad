// The recording mode's settings: frame file names, which frames are saved,
// and the input script's order. Whole runs are in recording/runs.sh.

#include "canvas/recording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <string>

using vantrel::detail::checkFramePattern;
using vantrel::detail::frameFileName;
using vantrel::detail::isFrameToSave;
using vantrel::detail::parseInputScript;
using vantrel::detail::parseSaveFrames;
using vantrel::detail::RecordingSettings;
using vantrel::detail::ScriptedInput;

TEST(FramePattern, NamesFramesAsPrintfWould) {
    EXPECT_EQ("frame-0007.png", frameFileName("frame-%04d.png", 7));
    EXPECT_EQ("frame-12345.png", frameFileName("frame-%04d.png", 12345));
    EXPECT_EQ("out/7.png", frameFileName("out/%i.png", 7));
    EXPECT_EQ("100%-   42.png", frameFileName("100%%-%5d.png", 42));
    // Frame numbers past the range of int still come out whole (where long
    // is wider than int: on Windows both are 32 bits).
    if constexpr (sizeof(long) > sizeof(int)) {
        const long past = static_cast<long>(3000000000LL);
        EXPECT_EQ("f3000000000", frameFileName("f%d", past));
    }
}

TEST(FramePattern, OnlyOneIntegerConversionIsAccepted) {
    for (const char* good : {"%d", "a%04db", "%%%d", "%i%%", "%123d"}) {
        EXPECT_NO_THROW(checkFramePattern(good)) << good;
    }
    // Anything else could make printf read what is not there.
    for (const char* bad :
         {"", "frame.png", "%d%d", "%s", "%n", "%ld", "%-4d", "%1234d", "%", "%04", "%.3d", "%x"}) {
        EXPECT_THROW(checkFramePattern(bad), std::string) << bad;
    }
}

TEST(SaveFrames, ListsAndEveryK) {
    RecordingSettings list;
    parseSaveFrames("30,5,12", list);
    for (long frame : {5L, 12L, 30L}) {
        EXPECT_TRUE(isFrameToSave(list, frame)) << frame;
    }
    for (long frame : {1L, 6L, 31L}) {
        EXPECT_FALSE(isFrameToSave(list, frame)) << frame;
    }
    RecordingSettings every;
    parseSaveFrames("every:10", every);
    EXPECT_FALSE(isFrameToSave(every, 1));
    EXPECT_TRUE(isFrameToSave(every, 10));
    EXPECT_TRUE(isFrameToSave(every, 600));
    EXPECT_FALSE(isFrameToSave(every, 605));
    for (const char* bad : {"", ",", "1,", ",1", "0", "-3", "1.5", "every:", "every:x", "3 4",
                            "99999999999999999999"}) {
        RecordingSettings settings;
        EXPECT_THROW(parseSaveFrames(bad, settings), std::string) << bad;
    }
}

TEST(InputScript, EventsComeInFrameOrderAndInWrittenOrderWithinAFrame) {
    ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError(); // for the key names
    std::istringstream text("frame 9 close\n"
                            "frame 2 mouse move -5 7\n"
                            "\tframe 2   mouse click middle  # in the same frame, after the move\n"
                            "frame 1 key down space\n"
                            "frame 4 mouse wheel -3\n"
                            "frame 9 pad 7 button dpad_up down\n"
                            "frame 9 pad 0 axis TRIGGERLEFT 0.25\n");
    const auto script = parseInputScript(text, "script.txt");
    ASSERT_EQ(7u, script.size());
    EXPECT_EQ(ScriptedInput::KeyDown, script[0].kind);
    EXPECT_EQ(SDLK_SPACE, script[0].key);
    EXPECT_EQ(ScriptedInput::MouseMove, script[1].kind);
    EXPECT_EQ(-5, script[1].x);
    EXPECT_EQ(7, script[1].y);
    EXPECT_EQ(ScriptedInput::MouseClick, script[2].kind);
    EXPECT_EQ(SDL_BUTTON_MIDDLE, script[2].button);
    EXPECT_EQ(3, script[2].line);
    EXPECT_EQ(ScriptedInput::MouseWheel, script[3].kind);
    EXPECT_EQ(-3, script[3].y);
    EXPECT_EQ(ScriptedInput::Close, script[4].kind);
    EXPECT_EQ(9, script[4].frame);
    EXPECT_EQ(ScriptedInput::PadButtonDown, script[5].kind);
    EXPECT_EQ(7, script[5].pad);
    EXPECT_EQ(SDL_CONTROLLER_BUTTON_DPAD_UP, script[5].control);
    EXPECT_EQ(0.25, script[6].value);
    SDL_Quit();
}

TEST(InputScript, TextLinesTypeTheRestOfTheLineExactly) {
    ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
    std::istringstream text("frame 3 text José\n"
                            "\tframe  4 text  # not a comment \r\n"
                            "frame 5\ttext\tC#\n"
                            "frame 6 key repeat backspace # a held key\n"
                            "frame 7 text text\n");
    const auto script = parseInputScript(text, "typing.txt");
    ASSERT_EQ(5u, script.size());
    EXPECT_EQ(ScriptedInput::Text, script[0].kind);
    EXPECT_EQ("Jos\xc3\xa9", script[0].text);
    EXPECT_EQ(" # not a comment ", script[1].text) << "spaces and # belong to the text";
    EXPECT_EQ(4, script[1].frame);
    EXPECT_EQ("C#", script[2].text);
    EXPECT_EQ(ScriptedInput::KeyRepeat, script[3].kind);
    EXPECT_EQ(SDLK_BACKSPACE, script[3].key);
    EXPECT_EQ("text", script[4].text);

    // Nothing to type, bytes that are not UTF-8 or a pad line that cannot be
    // played stop the script with the line named.
    for (const char* bad :
         {"frame 1 text", "frame 1 text ", "frame 1 text \r", "frame 1 text \xe9t\xe9",
          "frame 1 pad 8 button A down", "frame 1 pad 0 button TOUCHPAD up",
          "frame 1 pad 0 button A", "frame 1 pad 0 axis LEFTX 1.5",
          "frame 1 pad 0 axis TRIGGERRIGHT -0.5", "frame 1 pad 0 axis LEFTX 0.5 more"}) {
        std::istringstream line(std::string("frame 1 close\n") + bad + "\n");
        try {
            parseInputScript(line, "bad.txt");
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const std::string& message) {
            EXPECT_EQ(0u, message.find("bad.txt:2: expected ")) << message;
        }
    }
    SDL_Quit();
}

namespace {

// Runs a recorder for `frames` frames, saving each frame it names except
// those in `skipped` (frames where the program did not call update()).
std::string reportAfter(const char* saveList, long limit, long frames,
                        std::initializer_list<long> skipped = {}) {
    RecordingSettings settings;
    settings.on = true;
    settings.frames = limit;
    parseSaveFrames(saveList, settings);
    vantrel::detail::Recorder recorder(settings);
    for (long frame = 1; frame <= frames; ++frame) {
        recorder.startFrame(nullptr);
        if (!recorder.frameToSave().empty() &&
            std::find(skipped.begin(), skipped.end(), frame) == skipped.end()) {
            recorder.frameSaved();
        }
    }
    return recorder.unsavedReport();
}

} // namespace

TEST(UnsavedReport, SaysWhichFramesWereNotSavedAndWhy) {
    ASSERT_EQ(0, SDL_Init(SDL_INIT_EVENTS)) << SDL_GetError(); // the close request is an event
    EXPECT_EQ("", reportAfter("20,40", 40, 40));
    EXPECT_EQ("Vantrel: no frame was saved: the program never called start() and then "
              "isRunning(), which count the frames of a recording",
              reportAfter("20,40", 40, 0));
    EXPECT_EQ("Vantrel: frame 40 was not saved: the program ended after 30 frames",
              reportAfter("20,40", 40, 30));
    EXPECT_EQ("Vantrel: frame 20 was not saved: the program did not call update() in every "
              "frame asked for",
              reportAfter("20,40", 40, 40, {20}));
    EXPECT_EQ("Vantrel: frames 20, 40 were not saved: the program did not call update() in "
              "every frame asked for; the program ended after 25 frames",
              reportAfter("20,40", 40, 25, {20}));
    // Frames past the frame limit are never reached, so never missing.
    EXPECT_EQ("", reportAfter("20,400", 40, 40));
    // every:K without a limit: the first one is due; later ones only as far as the run went.
    EXPECT_EQ("Vantrel: frame 10 was not saved: the program ended after 5 frames",
              reportAfter("every:10", 0, 5));
    EXPECT_EQ("", reportAfter("every:10", 0, 35));
    EXPECT_EQ("Vantrel: frames 10, 20, 30 and 2 more were not saved: the program ended after "
              "5 frames",
              reportAfter("10,20,30,40,50", 0, 5));
    SDL_Quit();
}
