// The file menu's recording and saving commands: the drawing saved as a PNG
// at the backing image's pixel ratio, the record item's caption following
// the recording, and each failure told once, naming the file and the reason.
#include "ui/file_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "../audio/fake_audio_device.h"
#include "audio/device_sound_layer.h"

namespace scrivola {
namespace {

struct Notice {
    QString title;
    QString text;
};

struct FileCommandsTest : ::testing::Test {
    FileCommandsTest() {
        auto owned = std::make_unique<testing::FakeAudioDevice>(log);
        sound = std::make_unique<DeviceSoundLayer>(std::move(owned));
        EXPECT_TRUE(sound->openSound());
        box.setGeometry(0, 0, 104, 84);
        box.setBackingRatio(2.0);
        box.clear();
        commands = std::make_unique<FileCommands>(menu, *sound, box, window);
        commands->setNotice([this](const QString& title, const QString& text) {
            notices.push_back({title, text});
        });
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    testing::FakeDeviceLog log;
    std::unique_ptr<DeviceSoundLayer> sound;
    QWidget window;
    QMenu menu;
    PictureBox box{"picdraw", {1.0, 1.0}, 1, 0x000000};
    std::unique_ptr<FileCommands> commands;
    std::vector<Notice> notices;
    QTemporaryDir dir;
};

// The extension names the image format; one no writer knows is refused,
// and nothing is written.
TEST_F(FileCommandsTest, SavedDrawingIsThePictureAtItsPixelRatioInTheFormatNamed) {
    box.drawLine(10.0f, 20.0f, 300.0f, 400.0f, 0xFFFFFF);
    const struct {
        const char* name;
        const char* format;  // as a reader finds it; "" when refused
    } cases[] = {{"drawing.png", "png"},
                 {"drawing.JPG", "jpeg"},
                 {"drawing.bmp", "bmp"},
                 {"drawing.xyz", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        notices.clear();
        const bool lossless = QByteArray(c.format) != "jpeg";
        ASSERT_EQ(commands->saveDrawing(path(c.name)), *c.format != 0);
        if (*c.format == 0) {
            EXPECT_FALSE(QFileInfo::exists(path(c.name)));
            ASSERT_EQ(notices.size(), 1u);
            EXPECT_TRUE(notices[0].text.contains("'.xyz'")) << notices[0].text.toStdString();
            continue;
        }
        QImageReader reader(path(c.name));
        EXPECT_EQ(reader.format(), c.format);
        const QImage saved = reader.read();
        ASSERT_FALSE(saved.isNull());
        EXPECT_EQ(saved.size(), QSize(200, 160));
        if (lossless) {
            EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
                      box.image().convertToFormat(QImage::Format_RGB32));
        }
        EXPECT_TRUE(notices.empty());
    }
}

// The record item starts and stops; each command's dialog suggests the
// folder last chosen for it.
TEST_F(FileCommandsTest, RecordItemTogglesAndDialogsRememberTheirFolder) {
    QDir(dir.path()).mkpath("sound");
    QDir(dir.path()).mkpath("pictures");
    QStringList suggested;
    QString answer;
    commands->setSavePathQuestion(
        [&](const QString&, const QString& suggestion, const QString&, const QString&) {
            suggested << QFileInfo(suggestion).absolutePath();
            return answer;
        });
    answer = path("sound/a.wav");
    commands->recordAction()->trigger();
    EXPECT_TRUE(commands->isRecording());
    EXPECT_EQ(commands->recordAction()->text(), "Stop &Recording");
    commands->recordAction()->trigger();  // stops, asks nothing
    EXPECT_FALSE(commands->isRecording());
    EXPECT_EQ(commands->recordAction()->text(), "&Record Sound...");
    answer = path("pictures/a.png");
    commands->saveDrawingAction()->trigger();
    EXPECT_TRUE(QFileInfo::exists(answer));
    answer.clear();  // cancelled
    commands->recordAction()->trigger();
    commands->saveDrawingAction()->trigger();
    EXPECT_FALSE(commands->isRecording());
    ASSERT_EQ(suggested.size(), 4);
    EXPECT_EQ(suggested[2], path("sound"));
    EXPECT_EQ(suggested[3], path("pictures"));
    EXPECT_TRUE(notices.empty());
}

TEST_F(FileCommandsTest, EachFailureIsToldOnceNamingTheFileAndTheReason) {
    const QString missing = path("gone/take");
    const struct {
        const char* name;
        std::function<void()> act;
        QString file;
    } cases[] = {
        {"record", [&] { commands->startRecording(QFile::encodeName(missing + ".wav")); },
         missing + ".wav"},
        {"save", [&] { commands->saveDrawing(missing + ".png"); }, missing + ".png"},
        {"folder removed while recording",
         [&] {
             QDir(path("gone")).mkpath(".");
             ASSERT_TRUE(commands->startRecording(QFile::encodeName(missing + ".wav")));
             EXPECT_EQ(commands->recordAction()->text(), "Stop &Recording");
             QDir(path("gone")).removeRecursively();
             // Several checks of the recorder pass: still one message.
             QTest::qWait(WavRecorder::kSyncIntervalMs + 6 * FileCommands::kWatchIntervalMs);
         },
         missing + ".wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        notices.clear();
        c.act();
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_TRUE(notices[0].text.contains(QDir::toNativeSeparators(c.file)))
            << notices[0].text.toStdString();
        EXPECT_TRUE(notices[0].text.contains("No such file or directory"))
            << notices[0].text.toStdString();
        EXPECT_FALSE(commands->isRecording());
        EXPECT_EQ(commands->recordAction()->text(), "&Record Sound...");
    }
}

}  // namespace
}  // namespace scrivola
