// What sound costs: the CPU time the mixer takes per second of audio, with
// nothing playing and with 16 overlapping effects and a streamed OGG song;
// and the memory that song takes while it plays, against what it takes
// decoded whole.
//
//   vantrel-bench-sound cpu [--rounds N] [--seconds S] SONG.ogg
//   vantrel-bench-sound memory SONG.ogg
//
// Run it with SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=disk
// SDL_DISKAUDIOFILE=/dev/null SDL_DISKAUDIODELAY=0: the disk driver then asks
// for audio as fast as it can be mixed. cpu: the process's CPU time (all
// threads; the main thread only waits) over the audio produced is the cost
// of a second of sound; each case is mixed for S seconds of audio (default
// 30), N rounds (default 5), and the medians are printed. memory, in a
// process of its own so that nothing before it has grown the heap: the
// resident set size while the song plays through, then after loadSound has
// decoded it whole.

#include "canvas/canvas.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::atomic<long long> mixedBytes{0};
double bytesPerSecond = 0;
int mixerFrequency = 0;
int mixerChannels = 0;

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

// VmRSS of this process in KiB, from /proc/self/status.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

// A mono, 16-bit, 22050 Hz WAV file of a 440 Hz tone lasting seconds.
bool writeTone(const std::string& path, double seconds) {
    const std::uint32_t frames = static_cast<std::uint32_t>(seconds * 22050);
    std::vector<std::uint8_t> bytes;
    auto u16 = [&bytes](std::uint32_t v) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    };
    auto u32 = [&u16](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    auto tag = [&bytes](const char* t) { bytes.insert(bytes.end(), t, t + 4); };
    tag("RIFF");
    u32(36 + frames * 2);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    tag("data");
    u32(frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i) {
        u16(static_cast<std::uint16_t>(
            static_cast<std::int16_t>(2000 * std::sin(2 * 3.14159265 * 440 * i / 22050))));
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return static_cast<bool>(file);
}

// CPU milliseconds per second of audio while `seconds` of audio are mixed.
double cpuPerAudioSecond(double seconds) {
    const long long target = static_cast<long long>(seconds * bytesPerSecond);
    mixedBytes = 0;
    const double start = cpuSeconds();
    while (mixedBytes < target) {
        SDL_Delay(5);
    }
    const double used = cpuSeconds() - start;
    return 1000.0 * used / (static_cast<double>(mixedBytes) / bytesPerSecond);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The CPU table.
int cpuTable(Canvas& canvas, const std::string& song, int rounds, double seconds) {
    const std::string tone = "vantrel-bench-sound-tone.wav";
    if (!writeTone(tone, seconds + 5)) {
        std::fprintf(stderr, "cannot write %s\n", tone.c_str());
        return 1;
    }
    const SoundId effect = canvas.loadSound(tone);
    std::remove(tone.c_str());
    if (effect == -1) {
        std::fprintf(stderr, "%s\n", canvas.getSoundError().c_str());
        return 1;
    }
    std::vector<double> silence, effects, music, both;
    for (int round = 0; round < rounds; ++round) {
        silence.push_back(cpuPerAudioSecond(seconds));
        for (int i = 0; i < MAX_EFFECTS_AT_ONCE; ++i) {
            canvas.playEffect(effect);
        }
        effects.push_back(cpuPerAudioSecond(seconds));
        canvas.stopEffects();
        if (!canvas.playMusic(song, true)) {
            std::fprintf(stderr, "%s\n", canvas.getSoundError().c_str());
            return 1;
        }
        music.push_back(cpuPerAudioSecond(seconds));
        for (int i = 0; i < MAX_EFFECTS_AT_ONCE; ++i) {
            canvas.playEffect(effect);
        }
        both.push_back(cpuPerAudioSecond(seconds));
        canvas.stopEffects();
        canvas.stopMusic();
    }
    const double base = median(silence);
    std::printf("| What the mixer plays (%d rounds of %.0f s of audio, medians) | CPU time per "
                "second of audio | More than silence | Share of one core in real time |\n"
                "|---|---|---|---|\n",
                rounds, seconds);
    auto row = [base](const char* what, double ms) {
        std::printf("| %s | %.2f ms | %+.2f ms (x %.1f) | %.2f %% |\n", what, ms, ms - base,
                    ms / base, ms / 10.0);
    };
    row("nothing (silence)", base);
    row("16 overlapping effects (WAV)", median(effects));
    row("the song, streamed (OGG)", median(music));
    row("16 effects and the song", median(both));
    return 0;
}

// The memory table.
int memoryTable(Canvas& canvas, const std::string& song) {
    Mix_Music* opened = Mix_LoadMUS(song.c_str());
    const double length = opened != nullptr ? Mix_MusicDuration(opened) : 0.0;
    Mix_FreeMusic(opened);
    SDL_Delay(100);

    const long before = residentKiB();
    if (!canvas.playMusic(song, false)) {
        std::fprintf(stderr, "%s\n", canvas.getSoundError().c_str());
        return 1;
    }
    long peak = before;
    while (canvas.isMusicPlaying()) {
        peak = std::max(peak, residentKiB());
        SDL_Delay(2);
    }
    canvas.stopMusic();

    const long beforeLoad = residentKiB();
    const SoundId whole = canvas.loadSound(song);
    const long loaded = residentKiB();

    std::printf("| The song, %.0f s | Memory |\n|---|---|\n", length);
    std::printf("| Streamed by playMusic: the most the process grew while it played through "
                "| %.2f MB |\n",
                (peak - before) / 1024.0);
    if (whole == -1) {
        std::printf("| Loaded whole by loadSound | refused: %s |\n",
                    canvas.getSoundError().c_str());
    } else {
        std::printf("| Loaded whole by loadSound: what the process grew by | %.1f MB |\n",
                    (loaded - beforeLoad) / 1024.0);
    }
    std::printf("| Decoded in the mixer's format (%d Hz, %d channel%s, 16-bit), as loadSound "
                "keeps it | %.1f MB |\n",
                mixerFrequency, mixerChannels, mixerChannels == 1 ? "" : "s",
                length * bytesPerSecond / 1048576.0);
    std::printf("| Decoded in its own format (44.1 kHz stereo 16-bit) | %.1f MB |\n",
                length * 176400 / 1048576.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    int rounds = 5;
    double seconds = 30;
    std::string song;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else {
            song = arg;
        }
    }
    if ((mode != "cpu" && mode != "memory") || song.empty() || rounds < 1 || seconds <= 0) {
        std::fprintf(stderr,
                     "usage: %s cpu [--rounds N] [--seconds S] SONG.ogg\n"
                     "       %s memory SONG.ogg\n",
                     argv[0], argv[0]);
        return 2;
    }
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 64, 64);
    Uint16 format = 0;
    Mix_QuerySpec(&mixerFrequency, &format, &mixerChannels);
    bytesPerSecond =
        static_cast<double>(mixerFrequency) * mixerChannels * SDL_AUDIO_BITSIZE(format) / 8;
    Mix_SetPostMix([](void*, Uint8*, int length) { mixedBytes += length; }, nullptr);
    return mode == "cpu" ? cpuTable(canvas, song, rounds, seconds) : memoryTable(canvas, song);
}
