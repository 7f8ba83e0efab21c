// The performance file both ways: what the writer writes reads back the
// same, and every kind of bad input is refused with its line and reason.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <limits>

#include "performance/performance_reader.h"
#include "performance/performance_writer.h"

namespace scrivola {
namespace {

const QByteArray kHeader = R"({"format":"scrivola-performance","version":1})"
                           "\n";
const QByteArray kState = "{\"k\":\"state\"}\n";

QString writeFile(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = dir.filePath(QStringLiteral("take.scrivola"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    return path;
}

struct BadFile {
    QByteArray content;
    std::int64_t line;
    const char* reason;  // part of the reason given
};

TEST(PerformanceFile, RefusesBadInputNamingTheLineAndTheReason) {
    const QByteArray event = kHeader + kState;
    const BadFile cases[] = {
        {"", 0, "empty"},
        {"\x7f"
         "ELF\x02\x01",
         1, "not a performance"},
        {"{\"format\":\"something-else\",\"version\":1}\n", 1, "must name the format"},
        {"{\"format\":\"scrivola-performance\",\"version\":2}\n" + kState, 1,
         "newer version of the format (2)"},
        {"{\"format\":\"scrivola-performance\",\"version\":\"1\"}\n", 1, "\"version\""},
        {"{\"format\":\"scrivola-performance\",\"version\":1,\"rate\":5}\n", 1, "\"rate\""},
        {kHeader, 2, "ends before the starting state"},
        {kHeader + "{\"k\":\"tick\",\"t\":0}\n", 2, "must be the starting state"},
        {kHeader + "{\"k\":\"state\",\"switches\":[1,0]}\n", 2, "\"switches\""},
        {kHeader + "{\"k\":\"state\",\"synth\":{\"tableA\":\"AAAA\",\"tableB\":\"AAAA\"}}\n", 2,
         "\"tableA\" must hold 361 bytes"},
        {kHeader + "{\"k\":\"state\",\"drawing\":\"not base64!\"}\n", 2, "\"drawing\""},
        {event + "{\"k\":\"dance\",\"t\":0}\n", 3, "\"k\" names nothing known"},
        {event + "{\"k\":\"da\\nce\",\"t\":0}\n", 3, "\"k\" names nothing known"},
        {event + "{\"k\":\"decay\"}\n", 3, "\"t\" is missing"},
        {event + "{\"k\":\"decay\",\"t\":-1}\n", 3, "\"t\" must be a number from 0 to 86400"},
        {event + "{\"k\":\"decay\",\"t\":2}\n{\"k\":\"decay\",\"t\":1}\n", 4, "earlier"},
        {event + "{\"k\":\"move\",\"t\":0,\"b\":1,\"x\":\"NaN\",\"y\":0}\n", 3, "\"x\""},
        {event + "{\"k\":\"move\",\"t\":0,\"b\":1,\"x\":1e30,\"y\":0}\n", 3, "\"x\""},
        {event + "{\"k\":\"press\",\"t\":0,\"b\":1.5,\"x\":0,\"y\":0}\n", 3, "\"b\""},
        {event + "{\"k\":\"swatch\",\"t\":0,\"i\":8}\n", 3, "\"i\""},
        {event + "{\"k\":\"slider\",\"t\":0,\"n\":\"VScroll1\",\"v\":101}\n", 3, "\"v\""},
        {event + "{\"k\":\"command\",\"t\":0,\"n\":\"cmdexit\"}\n", 3, "names no command"},
        {event + "{\"k\":\"tick\",\"t\":0,\"c\":[[5,0]]}\n", 3, "count"},
        {event + "{\"k\":\"tick\",\"t\":0,\"c\":[\"5\"]}\n", 3, "\"c\""},
        {event + "{\"k\":\"tick\",\"t\":0,\"c\":[1e39]}\n", 3, "\"c\""},
        {event + "{\"k\":\"end\",\"t\":1}\n{\"k\":\"decay\",\"t\":1}\n", 4, "after the end"},
        {event + "{\"k\":\"decay\",\"t\":0}\n{\"k\":\"tick\",\"t\":0,\"c\":[1", 4, "cut short"},
        {event + QByteArray(70000, ' ') + "\n", 3, "longer than 65536 bytes"},
        {event + QByteArray(5000, '[') + "\n", 3, "not JSON"},
        {event + "{\"k\":\"decay\",\"t\":0}\n[1]\n", 4, "not a JSON object"},
    };
    QTemporaryDir dir;
    for (const BadFile& bad : cases) {
        const QString path = writeFile(dir, bad.content);
        const std::optional<PerformanceError> error = checkPerformanceFile(QFile::encodeName(path));
        ASSERT_TRUE(error.has_value()) << bad.reason;
        EXPECT_EQ(error->line, bad.line) << error->message().toStdString();
        EXPECT_TRUE(error->reason.contains(QLatin1String(bad.reason)))
            << error->message().toStdString();
        EXPECT_TRUE(error->message().startsWith(path));
        EXPECT_FALSE(error->message().contains(QLatin1Char('\n'))) << "one line";
    }
    EXPECT_TRUE(
        checkPerformanceFile(QFile::encodeName(dir.filePath(QStringLiteral("none.scrivola"))))
            ->reason.contains(QLatin1String("no such file")));
    EXPECT_TRUE(checkPerformanceFile(QFile::encodeName(dir.path()))
                    ->reason.contains(QLatin1String("not a regular")));
    // Blank lines, CRLF ends and a last line without its newline are fine.
    EXPECT_FALSE(checkPerformanceFile(
        QFile::encodeName(writeFile(dir, kHeader + "\r\n" + kState + "{\"k\":\"end\",\"t\":0}"))));
}

TEST(PerformanceFile, ReadsBackWhatWasWritten) {
    StartingState start;
    start.state.amsp = "12";
    start.state.amount = "3,5";
    start.state.penDown = -1;
    start.synth.tableA.fill(7);
    start.synth.tableB[360] = 255;
    start.tablesGiven = true;
    start.synth.sampleA = std::numeric_limits<float>::quiet_NaN();
    start.synth.sampleB = -std::numeric_limits<float>::infinity();
    start.synth.clockSeconds = 5021.7504f;
    start.synth.fmTerm = -123456;
    start.switches[2] = 1;
    start.vscroll1 = 33;
    start.penColor = 0x00FFFF;
    start.penX = 1234.5677f;
    start.clock = 5021.750318;
    start.drawingPng = std::string("\x89PNG\r\n\x1a\n\0\1", 10);

    const auto make = [](EventKind kind, double time, int number = 0, int value = 0) {
        PerformanceEvent event;
        event.kind = kind;
        event.time = time;
        event.number = number;
        event.value = value;
        return event;
    };
    const auto pen = [&make](EventKind kind, double time, std::int16_t button, std::int16_t shift,
                             float x, float y) {
        PerformanceEvent event = make(kind, time);
        event.button = button;
        event.shift = shift;
        event.x = x;
        event.y = y;
        return event;
    };
    std::vector<PerformanceEvent> events = {
        pen(EventKind::Press, 0.25, 1, 2, 100.5f, -7.0f),
        pen(EventKind::Move, 0.5, 1, 0, 0.1f, 3e6f),
        make(EventKind::SynthesisTick, 0.515625),
        make(EventKind::Slider, 1.0, int(SliderId::VScroll1), 0),
        make(EventKind::Check, 1.5, Check12, 1),
        make(EventKind::Command, 2.0, int(CommandId::mnuresetall)),
        make(EventKind::Swatch, 2.0, 7),
        make(EventKind::DecayTick, 2.0000004),
        pen(EventKind::Release, 3.0, 2, 0, 1.0f, 2.0f),
    };
    events[2].readings = {{5021.75f, 2}, {std::nullopt, 1}, {5021.751f, 361}};

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("take.scrivola"));
    PerformanceWriter writer;
    PerformanceHeader header;
    header.rate = 48000;
    ASSERT_TRUE(writer.open(path, header, start).isEmpty());
    for (const PerformanceEvent& event : events) {
        ASSERT_TRUE(writer.write(event));
    }
    ASSERT_TRUE(writer.finish(3.5).isEmpty());

    PerformanceReader reader;
    ASSERT_TRUE(reader.open(QFile::encodeName(path))) << reader.error().message().toStdString();
    EXPECT_EQ(reader.header().rate, 48000u);
    const StartingState& read = reader.startingState();
    EXPECT_EQ(read.state.amsp, "12");
    EXPECT_EQ(read.state.amount, "3,5");
    EXPECT_EQ(read.state.penDown, -1);
    EXPECT_EQ(read.synth.tableA, start.synth.tableA);
    EXPECT_EQ(read.synth.tableB, start.synth.tableB);
    EXPECT_TRUE(std::isnan(read.synth.sampleA));
    EXPECT_EQ(read.synth.sampleB, start.synth.sampleB);
    EXPECT_EQ(read.synth.clockSeconds, start.synth.clockSeconds);
    EXPECT_EQ(read.synth.fmTerm, -123456);
    EXPECT_EQ(read.switches, start.switches);
    EXPECT_EQ(read.vscroll1, 33);
    EXPECT_EQ(read.penColor, start.penColor);
    EXPECT_EQ(read.penX, start.penX);
    EXPECT_EQ(read.clock, start.clock);
    EXPECT_EQ(read.drawingPng, start.drawingPng);

    // Times are kept to the microsecond; the last run of readings is kept
    // as one reading, which a tick reads again as often as it needs.
    events[7].time = 2.0;
    events[2].readings.back().count = 1;
    PerformanceEvent event;
    for (const PerformanceEvent& expected : events) {
        ASSERT_TRUE(reader.next(event)) << reader.error().message().toStdString();
        EXPECT_EQ(event.kind, expected.kind);
        EXPECT_EQ(event.time, expected.time);
        EXPECT_EQ(event.button, expected.button);
        EXPECT_EQ(event.shift, expected.shift);
        EXPECT_EQ(event.x, expected.x);
        EXPECT_EQ(event.y, expected.y);
        EXPECT_EQ(event.number, expected.number);
        EXPECT_EQ(event.value, expected.value);
        EXPECT_EQ(event.readings, expected.readings);
    }
    ASSERT_TRUE(reader.next(event));
    EXPECT_EQ(event.kind, EventKind::End);
    EXPECT_EQ(event.time, 3.5);
    EXPECT_FALSE(reader.next(event));
    EXPECT_FALSE(reader.failed());
}

TEST(PerformanceFile, ARecordingLongerThanTheFormatAllowsEndsAsAReadableFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("day.scrivola"));
    PerformanceWriter writer;
    ASSERT_TRUE(writer.open(path, {}, StartingState{}).isEmpty());
    PerformanceEvent event;
    event.kind = EventKind::DecayTick;
    event.time = kMaxPerformanceSeconds;
    EXPECT_TRUE(writer.write(event));
    event.time = kMaxPerformanceSeconds + 0.01;
    EXPECT_FALSE(writer.write(event));
    EXPECT_TRUE(writer.finish(event.time).contains(QLatin1String("24 hours")));
    EXPECT_FALSE(checkPerformanceFile(QFile::encodeName(path)).has_value());
}

}  // namespace
}  // namespace scrivola
