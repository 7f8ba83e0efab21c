// Renders of the performances in the test data, compared with the checksums
// of the renders that were listened to: any change to what the synthesizer,
// the player or the mixer make of a performance shows here.
#include "performance/performance_render.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>

#include "performance/performance_reader.h"

namespace scrivola {
namespace {

class HashSink final : public SoundSink {
public:
    bool write(const std::int16_t* samples, std::size_t frames) override {
        hash_.addData(QByteArrayView(reinterpret_cast<const char*>(samples),
                                     qsizetype(frames * sizeof(std::int16_t))));
        return true;
    }
    QString hex() { return QString::fromLatin1(hash_.result().toHex()); }

private:
    QCryptographicHash hash_{QCryptographicHash::Sha256};
};

struct Render {
    const char* file;
    std::uint64_t frames;
    const char* sha256;  // of the samples, 16-bit little-endian
};

TEST(PerformanceRender, RendersTheTestPerformancesAsBefore) {
    const Render renders[] = {
        // Strokes in every colour, both sliders, KEEP TONE, the resets; a
        // tick with a failed clock read, ticks without readings.
        {"strokes.scrivola", 309141,
         "96f8b0903f06a5e9281d16b33ee94d20f5bd96e17bedeebe1cdbd8de6a4202c5"},
        // Hand-written: start-up defaults, every reading from the time.
        {"hand.scrivola", 43411,
         "c6b60edb8aac2ddb55a202219813efb87006f4ff5b53d9d4c298010b2a5aeb46"},
    };
    for (const Render& render : renders) {
        const QByteArray path = QByteArrayLiteral(SCRIVOLA_PERFORMANCE_DATA "/") + render.file;
        ASSERT_FALSE(checkPerformanceFile(path).has_value()) << render.file;
        HashSink sink;
        const RenderOutcome outcome = renderPerformance(path, sink);
        EXPECT_TRUE(outcome.ok()) << outcome.error.toStdString();
        EXPECT_EQ(outcome.frames, render.frames) << render.file;
        EXPECT_EQ(sink.hex().toStdString(), render.sha256) << render.file;
    }
}

}  // namespace
}  // namespace scrivola
