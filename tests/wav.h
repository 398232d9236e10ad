#ifndef VANTREL_TESTS_WAV_H
#define VANTREL_TESTS_WAV_H

// Writes short WAV files for the sound tests, so that no binary sample has to
// live in the repository.

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

enum class Waveform { Sine, Square };

namespace wav_detail {

inline void putU16(std::vector<char>& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

inline void putU32(std::vector<char>& out, std::uint32_t value) {
    putU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    putU16(out, static_cast<std::uint16_t>(value >> 16));
}

inline void putTag(std::vector<char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

} // namespace wav_detail

/// The bytes of a mono, signed 16-bit PCM WAV file holding `milliseconds` of
/// a `frequency` Hz tone at half of full scale, sampled `sampleRate` times a
/// second.
inline std::vector<char> makeWav(int milliseconds, int sampleRate = 22050,
                                 Waveform waveform = Waveform::Sine, double frequency = 440.0) {
    using namespace wav_detail;
    const double pi = 3.14159265358979323846;
    const std::uint32_t frames =
        static_cast<std::uint32_t>(static_cast<std::int64_t>(sampleRate) * milliseconds / 1000);
    const std::uint32_t dataBytes = frames * 2;

    std::vector<char> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    putU32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putU32(out, 16);                                         // size of the format block
    putU16(out, 1);                                          // PCM
    putU16(out, 1);                                          // mono
    putU32(out, static_cast<std::uint32_t>(sampleRate));     // frames per second
    putU32(out, static_cast<std::uint32_t>(sampleRate) * 2); // bytes per second
    putU16(out, 2);                                          // bytes per frame
    putU16(out, 16);                                         // bits per sample
    putTag(out, "data");
    putU32(out, dataBytes);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double phase = 2.0 * pi * frequency * i / sampleRate;
        double level = std::sin(phase);
        if (waveform == Waveform::Square) {
            level = level >= 0.0 ? 1.0 : -1.0;
        }
        putU16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(level * 16383.0)));
    }
    return out;
}

/// Writes `bytes` to the file at `path`, replacing it. Returns false when the
/// file cannot be written.
inline bool writeBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

/// Writes a WAV tone (see makeWav) to `path`. Returns false when the file
/// cannot be written.
inline bool writeWav(const std::string& path, int milliseconds, int sampleRate = 22050,
                     Waveform waveform = Waveform::Sine, double frequency = 440.0) {
    return writeBytes(path, makeWav(milliseconds, sampleRate, waveform, frequency));
}

#endif
