#include "audio/sound_file_format.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

namespace scrivola {
namespace {

struct SoundFileType {
    std::string_view extension;
    int format;
};

constexpr SoundFileType kTypes[] = {
    {"wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
    {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
    {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
    {"oga", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
};

// What follows the last dot of the file's own name; empty when the name has
// no extension.
std::string_view extensionOf(std::string_view path) {
    const std::string_view name = path.substr(path.find_last_of('/') + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot + 1);
}

}  // namespace

int soundFileFormatFor(std::string_view path) {
    std::string extension(extensionOf(path));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const SoundFileType& type : kTypes) {
        if (extension == type.extension) {
            return type.format;
        }
    }
    return 0;
}

std::string soundFileNameProblem(std::string_view path) {
    if (soundFileFormatFor(path) != 0) {
        return {};
    }
    const std::string_view extension = extensionOf(path);
    const std::string which = extension.empty()
                                  ? std::string("the name has no file type")
                                  : "unknown file type '." + std::string(extension) + "'";
    return which + "; name the file .wav, .flac or .ogg";
}

}  // namespace scrivola
