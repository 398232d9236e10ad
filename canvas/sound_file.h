#ifndef VANTREL_CANVAS_SOUND_FILE_H
#define VANTREL_CANVAS_SOUND_FILE_H

// Reading sound files safely for effects and music: the format is told from
// the file's first bytes, so that only WAV, Ogg Vorbis, MP3 and FLAC reach a
// decoder, and the claims of a WAV or FLAC header are checked before SDL_mixer
// acts on them.
// Internal to the canvas; not installed.

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {
namespace detail {

enum class SoundFormat { Wav, Ogg, Mp3, Flac };

/// Bytes identifySound needs from the start of a file to tell its format.
constexpr std::size_t SOUND_SIGNATURE_BYTES = 44;

/// Tells the format of a sound file from its first bytes (size of them, at
/// most SOUND_SIGNATURE_BYTES are looked at). Returns false, with a reason a
/// learner can read in *error, for an empty file, text, another kind of
/// file, a sound format that is not played here (MIDI, AIFF, Opus...), a
/// file too short to hold any sound, or an Ogg Vorbis header that claims
/// more channels than SDL converts or an impossible number of samples a
/// second.
bool identifySound(const std::uint8_t* head, std::size_t size, SoundFormat* format,
                   std::string* error);

/// Checks the blocks of the WAV file at the start of the stream before SDL
/// reads it, and puts the stream back at its start. Returns false, with a
/// reason in *error, when the format block is missing or claims more
/// channels than SDL converts or an impossible number of samples a second,
/// when the data block claims to run past the end of the file
/// (SDL would first set the whole claimed size aside, up to 4 GB) or, with
/// limitLength, holds more than MAX_SOUND_SECONDS of sound. Other damage is
/// left to SDL's own checks.
bool checkWav(SDL_RWops* stream, bool limitLength, std::string* error);

/// Checks the metadata blocks of the FLAC file at the start of the stream,
/// and puts the stream back at its start. Returns false, with a reason in
/// *error, unless the stream information comes first and once only and
/// every block lies within the file.
bool checkFlac(SDL_RWops* stream, std::string* error);

/// "it is longer than MAX_SOUND_SECONDS (600 s): about N s...", for
/// messages about a sound seconds long.
std::string tooLongMessage(double seconds);

/// Reads the whole file at path into *bytes. Returns false, with a reason in
/// *error, when it cannot be read or is far too big to be an effect.
bool readSoundFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error);

/// Checks a whole sound file in memory as far as that can be done without
/// the mixer (before initWorld): its format, and a WAV file's header and
/// data, read through. Returns false, with a reason in *error, when it
/// fails.
bool checkSoundFile(const std::vector<std::uint8_t>& bytes, std::string* error);

/// Decodes a whole sound file in memory into a sample in the mixer's format
/// (the mixer must be open). Returns nullptr, with a reason in *error, when
/// the file is not a sound played here, is damaged, holds no sound, or is
/// longer than MAX_SOUND_SECONDS.
Mix_Chunk* decodeEffect(const std::vector<std::uint8_t>& bytes, std::string* error);

/// Opens the sound file at the stream's start for streaming as music (the
/// mixer must be open). Takes the stream over: it is closed with the music,
/// or at once on failure. Returns nullptr, with a reason in *error, when it
/// is not a sound played here or its header is damaged.
Mix_Music* openMusic(SDL_RWops* stream, std::string* error);

} // namespace detail
} // namespace vantrel

#endif
