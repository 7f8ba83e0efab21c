// The sound file formats a recording can be written in, chosen by the file
// name's extension: WAV, FLAC or Ogg Vorbis.
#pragma once

#include <string>
#include <string_view>

namespace scrivola {

// The libsndfile format (major type and encoding) that `path`'s extension
// names, in any case; 0 when it names none of them.
int soundFileFormatFor(std::string_view path);

// Empty when `path` names a sound file format; otherwise why it cannot be
// recorded into, as one clause ("unknown file type '.mp3': ...").
std::string soundFileNameProblem(std::string_view path);

}  // namespace scrivola
