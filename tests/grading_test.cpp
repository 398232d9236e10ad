// vantrel-grade's own logic: comparing frames, reading back what a sandbox
// reported (which a submission could have made as strange as it liked), the
// verdict drawn from it, and the reports' escaping. Whole gradings, with the
// sandboxes, are in grading/class.sh.

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "compare.h"
#include "report.h"
#include "results.h"
#include "text.h"

using namespace grading;

namespace {

const std::string DIR = VANTREL_TEST_BINARY_DIR "/grading-unit";

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void makeFolder(const std::string& path) {
    std::string partial;
    for (std::size_t at = 0; at != std::string::npos;) {
        at = path.find('/', at + 1);
        partial = path.substr(0, at);
        mkdir(partial.c_str(), 0755);
    }
}

// A w x h PNG of one colour, with the rectangle (x, y, rw, rh) in another.
std::string png(const std::string& name, int w, int h, Uint32 colour, SDL_Rect patch = {0, 0, 0, 0},
                Uint32 patchColour = 0) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(s, nullptr, SDL_MapRGBA(s->format, colour >> 24, colour >> 16, colour >> 8, 255));
    SDL_FillRect(
        s, &patch,
        SDL_MapRGBA(s->format, patchColour >> 24, patchColour >> 16, patchColour >> 8, 255));
    makeFolder(DIR);
    const std::string path = DIR + "/" + name;
    IMG_SavePNG(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}

Uint32 pixel(const std::string& path, int x, int y) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * 4;
    const Uint32 rgb = static_cast<Uint32>(p[0]) << 24 | p[1] << 16 | p[2] << 8;
    SDL_FreeSurface(s);
    SDL_FreeSurface(loaded);
    return rgb;
}

} // namespace

TEST(Compare, CountsThePixelsThatDifferAndDrawsThemRed) {
    const std::string reference = png("reference.png", 40, 30, 0xC0C0C000);
    // A 5 x 4 patch far off, and a 10 x 10 one just inside the fuzz.
    const std::string submission =
        png("submission.png", 40, 30, 0xC0C0C000, {2, 3, 5, 4}, 0xFFFF0000);
    const std::string nearly = png("nearly.png", 40, 30, 0xC0C0C000, {0, 0, 10, 10}, 0xD0D0D000);
    const std::string difference = DIR + "/difference.png";
    Comparison same = compareFrames(reference, reference, 10, "");
    EXPECT_TRUE(same.compared) << same.problem;
    EXPECT_EQ(0, same.differing);
    EXPECT_EQ(1200, same.total);
    Comparison patch = compareFrames(reference, submission, 10, difference);
    EXPECT_EQ(20, patch.differing);
    EXPECT_EQ(0xFF000000u, pixel(difference, 2, 3)) << "a differing pixel is red";
    EXPECT_EQ(0xFF000000u, pixel(difference, 6, 6));
    const Uint32 faded = pixel(difference, 20, 20);
    EXPECT_NE(0xFF000000u, faded);
    EXPECT_EQ(faded >> 24, (faded >> 16) & 0xFF) << "elsewhere, grey";
    EXPECT_GE(faded >> 24, 192u) << "and faded";
    // 16 levels off in each colour channel: 5.4 % of 255 by the root mean square.
    EXPECT_EQ(0, compareFrames(reference, nearly, 10, "").differing);
    EXPECT_EQ(100, compareFrames(reference, nearly, 5, "").differing);
}

TEST(Compare, AFrameOfAnotherSizeDiffersOutsideTheOverlap) {
    const std::string reference = png("small.png", 40, 30, 0x10203000);
    const std::string larger = png("large.png", 50, 30, 0x10203000);
    const Comparison c = compareFrames(reference, larger, 10, "");
    ASSERT_TRUE(c.compared) << c.problem;
    EXPECT_EQ(1500, c.total);
    EXPECT_EQ(300, c.differing);
    EXPECT_EQ(50, c.width);
    EXPECT_EQ(40, c.referenceWidth);
}

TEST(Compare, RefusesWhatIsNotAFrameWithTheReason) {
    const std::string reference = png("reference.png", 40, 30, 0xC0C0C000);
    writeFile(DIR + "/text.png", "frame-20.png? no, a text file");
    Comparison c = compareFrames(reference, DIR + "/text.png", 10, "");
    EXPECT_FALSE(c.compared);
    EXPECT_EQ("text.png is not a PNG image", c.problem);
    // A header claiming 100000 x 100000 pixels is refused before decoding.
    std::string header = readStart(reference, 33);
    header[16] = header[20] = 0;
    header[17] = header[21] = 0x01;
    header[18] = header[22] = static_cast<char>(0x86);
    header[19] = header[23] = static_cast<char>(0xA0);
    writeFile(DIR + "/huge.png", header);
    c = compareFrames(reference, DIR + "/huge.png", 10, "");
    EXPECT_FALSE(c.compared);
    EXPECT_NE(std::string::npos, c.problem.find("claims a size of 100000 x 100000")) << c.problem;
    c = compareFrames(DIR + "/missing.png", reference, 10, "");
    EXPECT_EQ(0u, c.problem.find("the reference's")) << c.problem;
}

TEST(Frames, PointsSortingAndMistakes) {
    const auto frames = parseFrames("40:3,20,60:0.5");
    ASSERT_EQ(3u, frames.size());
    EXPECT_EQ(20, frames[0].number);
    EXPECT_EQ(1, frames[0].weight);
    EXPECT_EQ(40, frames[1].number);
    EXPECT_EQ(3, frames[1].weight);
    EXPECT_EQ(0.5, frames[2].weight);
    for (const char* bad : {"", "0", "20,", ",20", "20,20", "x", "20:-1", "20:x", "20:1e9", "-5"}) {
        EXPECT_THROW(parseFrames(bad), std::string) << bad;
    }
}

// ---- Verdicts, from results folders written as vantrel-grade writes them ---------

namespace {

struct Folder {
    explicit Folder(const std::string& name) : path(DIR + "/results/" + name) {
        makeFolder(path + "/frames");
        writeFile(path + "/facts", "name=" + name + "\n");
        writeFile(path + "/build.facts", "status=0\nseconds=1.5\n");
        writeFile(path + "/build.log", "");
    }
    Folder& run(const std::string& facts, const std::string& log) {
        writeFile(path + "/run.facts", facts);
        writeFile(path + "/run.log", log);
        return *this;
    }
    Folder& frame(long number, const std::string& compared) {
        writeFile(path + "/frames/frame-" + std::to_string(number) + ".png", "png");
        std::ofstream(path + "/compare.log", std::ios::app) << compared << "\n";
        return *this;
    }
    std::string path;
};

Settings settings() {
    Settings s;
    s.results = DIR + "/results";
    s.frames = parseFrames("20,40:2");
    s.limits.processes = 16;
    return s;
}

std::string verdict(const std::string& name) { return readSubmission(settings(), name).verdict(); }

} // namespace

TEST(Verdict, EachWayOfFailingIsNamed) {
    Folder("pass")
        .run("status=0\n", "initWorld called\n")
        .frame(20, "frame 20 differing 12 of 100")
        .frame(40, "frame 40 differing 0 of 100");
    EXPECT_EQ("PASS", verdict("pass"));

    Folder("differs")
        .run("status=0\n", "initWorld called\n")
        .frame(20, "frame 20 differing 501 of 120000")
        .frame(40, "frame 40 differing 0 of 120000 size 400x300 reference 640x480");
    EXPECT_EQ("FAIL: frame 20 differs (501 pixels); frame 40 differs (0 pixels; its frame is "
              "400x300 pixels, the reference's 640x480)",
              verdict("differs"));

    Folder broken("broken");
    writeFile(broken.path + "/build.facts", "status=1\n");
    writeFile(broken.path + "/build.log", "./broken.cpp: In function 'int main()':\n"
                                          "./broken.cpp:5:3: error: 'x' was not declared\n");
    EXPECT_EQ("FAIL: does not build: broken.cpp:5:3: error: 'x' was not declared",
              verdict("broken"));

    // The framework's own lines are not the program's message.
    Folder("thrown").run("status=134\n", "initWorld called\nSorry, you can only use an "
                                         "initializeWorld function once!\ninitWorld called\n");
    EXPECT_EQ("FAIL: crashed: Sorry, you can only use an initializeWorld function once!",
              verdict("thrown"));
    Folder("runtime").run("status=134\n",
                          "terminate called after throwing an instance of "
                          "'std::out_of_range'\n  what():  vector::_M_range_check\n");
    EXPECT_EQ("FAIL: crashed: vector::_M_range_check", verdict("runtime"));
    Folder("segfault").run("status=139\n", "initWorld called\nhello\n");
    EXPECT_EQ("FAIL: crashed: segmentation fault (SIGSEGV)", verdict("segfault"));
    Folder("status").run("status=3\n", "could not load cat.png\n");
    EXPECT_EQ("FAIL: ended with status 3: could not load cat.png", verdict("status"));

    Folder("memory").run("status=134\n", "terminate called after throwing an instance of "
                                         "'std::bad_alloc'\n  what():  std::bad_alloc\n");
    EXPECT_EQ("FAIL: killed at the memory limit (512 MB)", verdict("memory"));
    Folder("together").run("status=137\nlimit=memory\n", "");
    EXPECT_EQ("FAIL: killed at the memory limit (512 MB)", verdict("together"));
    Folder("output").run("status=141\noutput_capped=1\n", "xxxx");
    EXPECT_EQ("FAIL: killed at the output limit (8 MB)", verdict("output"));
    Folder("cpu").run("status=152\n", "");
    EXPECT_EQ("FAIL: killed at the CPU-time limit (20 s)", verdict("cpu"));
    Folder("time").run("status=137\nlimit=time\ntasks=3\n", "");
    EXPECT_EQ("FAIL: killed at the time limit (30 s)", verdict("time"));
    Folder("forks").run("status=137\nlimit=time\ntasks=17\n", "");
    EXPECT_EQ("FAIL: killed at the process limit (16 processes and threads)", verdict("forks"));

    Folder("no-start")
        .run("status=0\n", "initWorld called\nVantrel: no frame was saved: the program "
                           "never called start() and then isRunning(), which count "
                           "the frames of a recording\n");
    EXPECT_EQ("FAIL: saved no frames: the program never called start() and then isRunning(), "
              "which count the frames of a recording",
              verdict("no-start"));
    Folder("no-init").run("status=0\n", "");
    EXPECT_EQ("FAIL: saved no frames: the program never called initWorld", verdict("no-init"));
    Folder("early")
        .run("status=0\n", "initWorld called\nVantrel: frame 40 was not saved: the "
                           "program ended after 30 frames\n")
        .frame(20, "frame 20 differing 0 of 100");
    EXPECT_EQ("FAIL: frame 40 was not saved (the program ended after 30 frames)", verdict("early"));

    Folder("deaf")
        .run("status=0\n", "initWorld called\nVantrel: the program went on for 120 "
                           "frames after the close request; the recording stopped it\n")
        .frame(20, "frame 20 differing 0 of 100")
        .frame(40, "frame 40 differing 0 of 100");
    const Submission deaf = readSubmission(settings(), "deaf");
    EXPECT_EQ("FAIL: ignored the close request (the recording stopped it 120 frames later); its "
              "frames match",
              deaf.verdict());
    EXPECT_EQ(2, deaf.matching);
    EXPECT_EQ(3, deaf.score) << "its frames still count";

    // No status at all: the sandbox failed, which is no fault of the program's.
    Folder("lost").run("seconds=0.1\n", "bwrap: Creating new namespace failed\n");
    EXPECT_EQ(Outcome::GradingError, readSubmission(settings(), "lost").outcome);
}

TEST(Verdict, WhatASandboxReportedIsReadWithCare) {
    // Malformed and oversized facts are ignored, not trusted.
    Folder("forged")
        .run("status=0; rm -rf /\nlimit=none\ntasks=-4\nstatus=999\n", std::string(300 * 1024, 'x'))
        .frame(20, "frame 20 differing 5 of 4")
        .frame(40, "frame 40 differing -1 of 100\nframe 40 nonsense");
    const Submission forged = readSubmission(settings(), "forged");
    EXPECT_EQ(Outcome::GradingError, forged.outcome) << forged.verdict();
    EXPECT_EQ(256u * 1024, forged.run.log.size()) << "a log is read up to a limit";
    EXPECT_EQ(300 * 1024, forged.run.logSize);
    // A frame the comparison did not vouch for does not match.
    Folder("unvouched")
        .run("status=0\n", "initWorld called\n")
        .frame(20, "frame 20 differing 5 of 4")
        .frame(40, "frame 40 unreadable frame-40.png is not a PNG image");
    EXPECT_EQ("FAIL: frame 20 could not be compared: it was not compared; frame 40 could not be "
              "compared: frame-40.png is not a PNG image",
              verdict("unvouched"));
}

TEST(Reports, StrangeNamesAndLogsStayInside) {
    Folder odd("odd");
    writeFile(odd.path + "/facts", "name=<b>|x\xff\x01</b>\n");
    odd.run("status=3\n", std::string("\"quoted\" \\ <tag> & \x01\x02 \xc3\x28\n", 24));
    Settings s = settings();
    writeFile(s.results + "/submissions.txt", "odd\n../escape\n");
    const auto submissions = readSubmissions(s);
    ASSERT_EQ(1u, submissions.size()) << "a folder outside the results is not read";
    const Submission& sub = submissions.front();
    EXPECT_EQ("<b>|x\xEF\xBF\xBD</b>", sub.name) << "invalid UTF-8 replaced, controls dropped";

    const std::string table = markdownTable(s, submissions);
    EXPECT_NE(std::string::npos, table.find("| \\<b\\>\\|x\xEF\xBF\xBD\\</b\\> |")) << table;

    const std::string html = htmlReport(s, sub, submissions);
    EXPECT_EQ(std::string::npos, html.find("<b>|x")) << "no raw markup from a name";
    EXPECT_NE(std::string::npos, html.find("&lt;b&gt;|x"));
    EXPECT_EQ(std::string::npos, html.find('\x01'));

    const std::string json = jsonResult(s, sub);
    EXPECT_NE(std::string::npos, json.find("\\\"quoted\\\" \\\\ <tag>")) << json;
    for (char c : json) {
        EXPECT_FALSE(c >= 0 && c < 0x20 && c != '\n') << "a raw control character in the JSON";
    }

    const std::string xml = junitReport(s, submissions);
    EXPECT_NE(std::string::npos, xml.find("&quot;quoted&quot; \\ &lt;tag&gt; &amp;"));
    EXPECT_EQ(std::string::npos, xml.find('\x01'));
    EXPECT_NE(std::string::npos, xml.find("tests=\"4\" failures=\"3\" errors=\"0\""))
        << "the run and both frames fail, the build passes";
}

TEST(Text, Base64AndNumbers) {
    EXPECT_EQ("", base64(""));
    EXPECT_EQ("TQ==", base64("M"));
    EXPECT_EQ("TWE=", base64("Ma"));
    EXPECT_EQ("TWFu", base64("Man"));
    EXPECT_EQ("/+8A", base64(std::string("\xff\xef\x00", 3)));
    EXPECT_EQ("3", formatNumber(3));
    EXPECT_EQ("2.5", formatNumber(2.5));
    EXPECT_EQ("0.33", formatNumber(1.0 / 3));
    EXPECT_EQ("3", formatNumber(2.999999999999));
    EXPECT_EQ("8 MB", formatBytes(8 << 20));
    EXPECT_EQ("1.5 KB", formatBytes(1536));
}
