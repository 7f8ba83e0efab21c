// Command-line arguments as text give back their very bytes, whatever they
// are: file names need not be valid UTF-8.
#include "ui/command_line.h"

#include <gtest/gtest.h>

namespace scrivola {
namespace {

TEST(CommandLineTest, ArgumentsRoundTripTheirBytes) {
    const QByteArray cases[] = {
        "/tmp/take.wav",
        "/tmp/caf\xc3\xa9 \xf0\x9f\x8e\xb5.wav",  // valid: two and four bytes
        "/tmp/caf\xe9.wav",                       // Latin-1
        "\xc3",                                   // a cut sequence at the end
        "\xe2\x82.flac",                          // a cut sequence inside
        "\xc0\xaf \xe0\x80\xaf",                  // overlong
        "\xed\xa0\x80\xed\xb2\x80",               // encoded surrogates
        "\xf4\x90\x80\x80 \xff\xfe",              // beyond U+10FFFF; never valid
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        EXPECT_EQ(argumentBytes(decodeArgument(bytes)), bytes);
    }
    // Valid text reads as itself.
    EXPECT_EQ(decodeArgument("caf\xc3\xa9 \xf0\x9f\x8e\xb5"), QStringLiteral("café 🎵"));
}

}  // namespace
}  // namespace scrivola
