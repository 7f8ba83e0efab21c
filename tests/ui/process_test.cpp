// The real programs as processes: the command line, starting without any
// audio output, and the exit command while both loops play.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QString programFrom(const char* variable) {
    const QString path = qEnvironmentVariable(variable);
    EXPECT_FALSE(path.isEmpty()) << variable << " names no program";
    return path;
}

// Everything a start needs besides the sound: a display and a runtime folder.
QProcessEnvironment baseEnvironment(const QTemporaryDir& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", dir.path());
    return env;
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

TEST(ProcessTest, WithoutAudioOutputTheProgramSaysWhyOnOneLineAndFails) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath("client.conf"), "autospawn = no\n");
    writeFile(dir.filePath("asound.conf"), "");  // ALSA without any device
    QProcessEnvironment env = baseEnvironment(dir);
    env.insert("PULSE_SERVER", "unix:" + dir.filePath("no-such-socket"));
    env.insert("PULSE_CLIENTCONFIG", dir.filePath("client.conf"));
    env.insert("ALSA_CONFIG_PATH", dir.filePath("asound.conf"));
    env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");

    QProcess app;
    app.setProcessEnvironment(env);
    app.start(programFrom("SCRIVOLA_APP"), {});
    ASSERT_TRUE(app.waitForFinished(30'000)) << "still running after 30 s";
    const QString out = QString::fromLocal8Bit(app.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(app.readAllStandardError());
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(app.exitCode(), 0);
    EXPECT_EQ(out, QString());
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(err.endsWith('\n')) << err.toStdString();
    EXPECT_TRUE(err.startsWith("scrivola-synth: no audio output could be opened: "))
        << err.toStdString();
    EXPECT_TRUE(err.contains("PulseAudio") && err.contains("ALSA")) << err.toStdString();
}

// Without a display for the platform asked for, the program says so on one
// line, before any sound is opened; the offscreen platform needs none.
TEST(ProcessTest, WithoutDisplayTheProgramSaysSoOnOneLineAndFails) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* platform : {"xcb", "wayland"}) {
        SCOPED_TRACE(platform);
        QProcessEnvironment env = baseEnvironment(dir);
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", platform);
        env.insert("PULSE_SERVER", "unix:" + dir.filePath("no-such-socket"));
        QProcess app;
        app.setProcessEnvironment(env);
        app.start(programFrom("SCRIVOLA_APP"), {});
        ASSERT_TRUE(app.waitForFinished(30'000)) << "still running after 30 s";
        const QString err = QString::fromLocal8Bit(app.readAllStandardError());
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(app.exitCode(), 1);
        EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.startsWith("scrivola-synth: cannot open a display: ")) << err.toStdString();
    }
}

// Needs a sound server: run under scripts/pulse-env.sh.
TEST(ProcessTest, ExitAnsweredYesEndsThePlayingProgramAtOnceWithStatusZero) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("PULSE_SERVER")) << "run under pulse-env.sh";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess probe;
    probe.setProcessEnvironment(baseEnvironment(dir));
    probe.start(programFrom("SCRIVOLA_EXIT_PROBE"), {});
    ASSERT_TRUE(probe.waitForStarted(10'000));

    QByteArray out;
    while (!out.contains("answering\n") && probe.waitForReadyRead(30'000)) {
        out += probe.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("playing\nanswering\n"))
        << out.toStdString() << probe.readAllStandardError().toStdString();
    QElapsedTimer sinceAnswer;
    sinceAnswer.start();
    // Ending must not wait for the audio thread: a hang shows as a timeout.
    const bool ended = probe.waitForFinished(10'000);
    if (!ended) {
        probe.kill();
        probe.waitForFinished();
    }
    ASSERT_TRUE(ended) << "still running 10 s after Yes";
    std::printf("ended %lld ms after the answer key\n",
                static_cast<long long>(sinceAnswer.elapsed()));
    const QString err = QString::fromLocal8Bit(probe.readAllStandardError());
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0) << err.toStdString();
    EXPECT_FALSE(err.contains("Sanitizer") || err.contains("runtime error")) << err.toStdString();
}

// Help, version and usage errors are answered from the command line alone:
// no display and no sound server exist here, so a program that reached for
// either would fail differently.
TEST(ProcessTest, CommandLineIsAnsweredWithoutWindowOrSound) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(name);
    }
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("PULSE_SERVER", "unix:" + dir.filePath("no-such-socket"));
    const struct {
        QStringList arguments;
        int status;
        const char* out;  // expected in stdout ("" : stdout empty)
        const char* err;  // expected in stderr ("" : stderr empty)
    } cases[] = {
        {{"--help"}, 0, "--record <FILE>", ""},
        {{"--version"}, 0, "scrivola-synth 1.0.0\n", ""},
        {{"--bogus"}, 2, "", "Unknown option 'bogus'"},
        {{"--record"}, 2, "", "Missing value after '--record'"},
        {{"--record", "take.mp3"}, 2, "", "unknown file type '.mp3'"},
        {{"--output", "jack"}, 2, "", "Unknown output 'jack'"},
        {{"--record", "take.wav", "--output", "jack"}, 2, "", "Unknown output 'jack'"},
        {{"one.scrivola", "stray"}, 2, "", "Usage: scrivola-synth"},
        {{"--render", "x.scrivola"}, 2, "", "--render needs --record"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess app;
        app.setProcessEnvironment(env);
        app.start(programFrom("SCRIVOLA_APP"), c.arguments);
        ASSERT_TRUE(app.waitForFinished(30'000));
        const QString out = QString::fromLocal8Bit(app.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(app.readAllStandardError());
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(app.exitCode(), c.status) << err.toStdString();
        EXPECT_EQ(out.isEmpty(), *c.out == 0) << out.toStdString();
        EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
        EXPECT_EQ(err.isEmpty(), *c.err == 0) << err.toStdString();
        EXPECT_TRUE(err.contains(c.err)) << err.toStdString();
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
