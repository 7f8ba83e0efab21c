// Ending the program at once, as the exit command does.
#pragma once

namespace scrivola {

// Flushes what was written to stdout and stderr, then ends the process with
// `status`. No destructor, exit handler or further event runs. The sound is
// left open on purpose: the audio thread goes on reading its buffers until
// the process ends, so nothing may be torn down under it first; ending every
// thread at once is the one safe way out without a release.
[[noreturn]] void endProgramAtOnce(int status);

}  // namespace scrivola
