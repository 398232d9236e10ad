// Typing: the text typed and the keys typed (pressed or repeated) as the
// canvas answers them at each frame start, for events pushed into SDL's
// queue as the platform would push them.

#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "fixtures.h"

// Every allocation through operator new is counted, so that a test can see
// whether frames allocate.
namespace {
std::atomic<long> allocations{0};
} // namespace

// GCC takes the free() in the replacements below for one that does not
// match its new, not seeing that this very file's new called malloc.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
    ++allocations;
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

using fixtures::push;
using fixtures::pushKey;
using fixtures::startCanvas;

namespace {

// "é", "ß", "東" and "🙂" in UTF-8, spelt out so the file's encoding cannot
// change them.
const std::string E_ACUTE = "\xc3\xa9";
const std::string SHARP_S = "\xc3\x9f";
const std::string EAST = "\xe6\x9d\xb1";
const std::string SMILE = "\xf0\x9f\x99\x82";

// One text event, as SDL makes them: at most 31 bytes and a NUL.
void pushText(const std::string& text) {
    ASSERT_LT(text.size(), sizeof(SDL_TextInputEvent::text));
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::memcpy(event.text.text, text.data(), text.size());
    push(event);
}

void pushFocus(bool gained) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    push(event);
}

// "typed/pressed/held" for one key as 0s and 1s.
std::string keyState(Canvas& canvas, SDL_Keycode key) {
    std::ostringstream out;
    out << canvas.wasKeyTyped(key) << canvas.wasKeyPressed(key) << canvas.isKeyDown(key);
    return out.str();
}

} // namespace

TEST(TypedText, ArrivesOnceInOrderForOneFrame) {
    Canvas& canvas = startCanvas();
    EXPECT_EQ(canvas.getTypedText(), "");
    pushText("J");
    pushText("os" + E_ACUTE);
    pushText(" " + SHARP_S + EAST + SMILE);
    // Typed during this frame: not the answer until the next one starts.
    EXPECT_EQ(canvas.getTypedText(), "");
    canvas.isRunning();
    const std::string first = "Jos" + E_ACUTE + " " + SHARP_S + EAST + SMILE;
    EXPECT_EQ(canvas.getTypedText(), first);
    pushText("!");
    EXPECT_EQ(canvas.getTypedText(), first) << "the frame's answer stays until the next frame";
    canvas.isRunning();
    EXPECT_EQ(canvas.getTypedText(), "!") << "only what came during the last frame";
    canvas.isRunning();
    EXPECT_EQ(canvas.getTypedText(), "") << "nothing typed";

    // A text event that fills its buffer with no NUL is read to its end and
    // no further; bytes that are not UTF-8 are read as Latin-1 ("é" alone is
    // 0xE9 there), so that the answer is always UTF-8.
    SDL_Event full{};
    full.type = SDL_TEXTINPUT;
    std::memset(full.text.text, 'x', sizeof full.text.text);
    push(full);
    pushText("caf\xe9");
    canvas.isRunning();
    EXPECT_EQ(canvas.getTypedText(), std::string(sizeof full.text.text, 'x') + "caf" + E_ACUTE);
}

TEST(TypedText, SameAnswersWhateverTheProgramPolls) {
    Canvas& canvas = startCanvas();
    const std::vector<std::vector<std::string>> script = {
        {"a", "b"}, {}, {E_ACUTE}, {"c", "d", "e"}, {}, {SMILE},
    };
    auto run = [&](int perFrame, int& taken) {
        std::vector<std::string> answers;
        SDL_Event event;
        for (const auto& texts : script) {
            for (const std::string& text : texts) {
                pushText(text);
            }
            canvas.isRunning();
            answers.push_back(canvas.getTypedText());
            for (int i = 0; i != perFrame && canvas.pollEvent(&event); ++i) {
                taken += event.type == SDL_TEXTINPUT;
            }
        }
        // pollEvent ends at the end of SDL's poll cycle; events pushed after
        // it wait for the next cycle.
        do {
            while (canvas.pollEvent(&event)) {
                taken += event.type == SDL_TEXTINPUT;
            }
        } while (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT));
        return answers;
    };
    const std::vector<std::string> expected = {"ab", "", E_ACUTE, "cde", "", SMILE};
    for (int perFrame : {0, 1, -1}) {
        int taken = 0;
        EXPECT_EQ(run(perFrame, taken), expected) << perFrame << " events taken a frame";
        EXPECT_EQ(taken, 7) << "every text event is still handed out";
    }
}

TEST(TypedText, LosingTheFocusNeitherRepeatsNorLosesText) {
    Canvas& canvas = startCanvas();
    pushText("ab");
    pushFocus(false);
    pushText("c");
    pushFocus(true);
    pushText("d");
    canvas.isRunning();
    EXPECT_EQ(canvas.getTypedText(), "abcd");
    canvas.isRunning();
    EXPECT_EQ(canvas.getTypedText(), "");

    // A key held while the focus goes is released, and typed no more.
    pushKey(SDLK_BACKSPACE, true);
    canvas.isRunning();
    pushFocus(false);
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_BACKSPACE), "000");
}

// A field typed into at a low frame rate: many keys within one frame.
TEST(TypeInto, ReplaysTextAndBackspacesInTheOrderTyped) {
    Canvas& canvas = startCanvas();
    std::string name = "Ji";
    pushKey(SDLK_BACKSPACE, true);
    pushText("ox");
    pushKey(SDLK_BACKSPACE, true, true);
    pushText("s" + E_ACUTE);
    pushKey(SDLK_BACKSPACE, false);
    pushText("!");
    canvas.isRunning();
    canvas.typeInto(name);
    EXPECT_EQ(name, "Jos" + E_ACUTE + "!");
    EXPECT_EQ(canvas.getTypedText(), "oxs" + E_ACUTE + "!") << "the text alone";
    canvas.isRunning();
    canvas.typeInto(name);
    EXPECT_EQ(name, "Jos" + E_ACUTE + "!") << "a frame with nothing typed";

    // A Backspace held over an emptied field, with other keys between.
    pushKey(SDLK_BACKSPACE, true);
    for (int i = 0; i < 8; ++i) {
        pushKey(SDLK_LSHIFT, true, i > 0);
        pushKey(SDLK_BACKSPACE, true, true);
    }
    canvas.isRunning();
    canvas.typeInto(name);
    EXPECT_EQ(name, "");
}

TEST(TypedKeys, RepeatsAreTypedButNotPressed) {
    Canvas& canvas = startCanvas();
    pushKey(SDLK_BACKSPACE, true);
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_BACKSPACE), "111") << "the press";
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_BACKSPACE), "001") << "held, before the first repeat";
    pushKey(SDLK_BACKSPACE, true, true);
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_BACKSPACE), "101") << "a repeat";
    EXPECT_EQ(keyState(canvas, SDLK_DELETE), "000") << "another key";
    pushKey(SDLK_BACKSPACE, true, true);
    pushKey(SDLK_BACKSPACE, false);
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_BACKSPACE), "100") << "a repeat, then the release";
    EXPECT_TRUE(canvas.wasKeyReleased(SDLK_BACKSPACE));
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_BACKSPACE), "000");

    // A tap within one frame is typed once; a repeat of a key that went
    // down in another window is typed too.
    pushKey(SDLK_LEFT, true);
    pushKey(SDLK_LEFT, false);
    pushKey(SDLK_RIGHT, true, true);
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_LEFT), "110");
    EXPECT_EQ(keyState(canvas, SDLK_RIGHT), "101");
}

TEST(TypedText, FramesAllocateNothing) {
    Canvas& canvas = startCanvas();
    // Longer than any string keeps without allocating.
    const std::string word = "Jos" + E_ACUTE + " Mar" + SHARP_S + "a " + EAST + SMILE + "!";
    pushText(word);
    canvas.isRunning();
    canvas.isRunning();
    std::string name;
    name.reserve(1000);
    std::string typed;
    typed.reserve(1000);
    const long before = allocations;
    for (int frame = 0; frame < 50; ++frame) {
        if (frame % 10 == 0) {
            pushText(word);
        }
        canvas.isRunning();
        name += canvas.getTypedText();
        if (canvas.wasKeyTyped(SDLK_BACKSPACE)) {
            Canvas::removeLastCharacter(name);
        }
        canvas.typeInto(typed);
    }
    EXPECT_EQ(allocations - before, 0) << "allocations in 50 frames, 5 of them typing";
    std::string expected;
    for (int i = 0; i < 5; ++i) {
        expected += word;
    }
    EXPECT_EQ(name, expected);
    EXPECT_EQ(typed, expected);
}

TEST(TypedText, BeforeSetUpNothingIsTyped) {
    Canvas& canvas = Canvas::getInstance();
    canvas.start();
    canvas.isRunning();
    EXPECT_EQ(canvas.getTypedText(), "");
    EXPECT_FALSE(canvas.wasKeyTyped(SDLK_BACKSPACE));
}

// Backspace at the end of a text field: one whole character, whatever its
// size in UTF-8.
TEST(RemoveLastCharacter, TakesWholeCharacters) {
    std::string text = "a" + E_ACUTE + EAST + SMILE;
    const std::vector<std::string> expected = {"a" + E_ACUTE + EAST, "a" + E_ACUTE, "a", "", ""};
    for (const std::string& next : expected) {
        Canvas::removeLastCharacter(text);
        EXPECT_EQ(text, next);
    }
    // Bytes that make no character go one at a time, never more.
    for (const std::string& odd : {std::string("ab\x80"), std::string("ab\xc3"),
                                   std::string("a\xe6\x9d"), std::string("a\xa9\xa9")}) {
        std::string cut = odd;
        Canvas::removeLastCharacter(cut);
        EXPECT_EQ(cut, odd.substr(0, odd.size() - 1)) << "from " << odd.size() << " bytes";
    }
}
