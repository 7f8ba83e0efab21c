// What a performance file holds, as plain values: the header, what the
// window held when the recording began, and every event that followed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/pen_surface.h"
#include "synth/synth_state.h"

namespace scrivola {

inline constexpr char kPerformanceFormatName[] = "scrivola-performance";
inline constexpr int kPerformanceFormatVersion = 1;
// The sample rate a performance is rendered at when its header names none.
inline constexpr unsigned kDefaultPerformanceRate = 44100;
inline constexpr unsigned kMinPerformanceRate = 8000;
inline constexpr unsigned kMaxPerformanceRate = 192000;
// No event lies later than a day after the start.
inline constexpr double kMaxPerformanceSeconds = 86400.0;

struct PerformanceHeader {
    int version = kPerformanceFormatVersion;
    unsigned rate = kDefaultPerformanceRate;  // samples per second the tables played at
    std::string program;                      // what wrote the file (informational)
};

// The window at the start of a recording. The defaults are the program's
// start-up state, so a hand-written file names only what differs.
struct StartingState {
    StartingState();

    SynthState state;
    modSynth_DX7 synth;
    // Whether the loops start with the synth's tables; without them they
    // start silent, as the sound buffers do before the first tick.
    bool tablesGiven = false;
    std::array<int, 12> switches{};  // Check1..Check12, 0 or 1
    int slider1 = 1;                 // `Slider1`, 1..10
    int vscroll1 = 90;               // `VScroll1`, 0..100
    ColorValue penColor = 0xFFFFFF;
    float penX = 0.0f;  // the drawing position, twips
    float penY = 0.0f;
    // The clock reading in seconds at time 0: ticks that list no readings
    // read this plus their time.
    double clock = 0.0;
    std::string drawingPng;  // the drawing surface as PNG; empty when blank
};

enum class EventKind {
    Press,
    Move,
    Release,
    Swatch,
    Slider,
    Check,
    Command,
    SynthesisTick,
    DecayTick,
    End,
};

enum class SliderId { Slider1, VScroll1 };

// The window's commands by their handler names. The two that ask first
// (new drawing, reset) are recorded only when confirmed.
enum class CommandId {
    cmdnew,
    mnunew,
    cmdrst,
    mnureset,
    Command1,
    mnuresetall,
    cmdsin1,
    Command2,
    mnukeeptone,
    mnuchngtone,
};
inline constexpr std::array<std::string_view, 10> kCommandNames = {
    "cmdnew",      "mnunew",  "cmdrst",   "mnureset",    "Command1",
    "mnuresetall", "cmdsin1", "Command2", "mnukeeptone", "mnuchngtone"};

// `count` equal clock readings in a row; no seconds: a read that failed.
struct ClockRun {
    std::optional<float> seconds;
    std::uint32_t count = 1;
    bool operator==(const ClockRun&) const = default;
};

struct PerformanceEvent {
    EventKind kind = EventKind::End;
    double time = 0.0;  // seconds since the start
    // Press, Move, Release: the mouse button, the modifiers, the position.
    std::int16_t button = 0;
    std::int16_t shift = 0;
    float x = 0.0f;
    float y = 0.0f;
    // Swatch: its index 0..7. Check: its number 1..12. Slider: a SliderId.
    // Command: a CommandId.
    int number = 0;
    int value = 0;  // Slider, Check: the new value
    // SynthesisTick: the clock readings in the order the tick took them; a
    // tick that reads more often than listed reads the last one again. Empty:
    // every read gives the starting clock plus the tick's time.
    std::vector<ClockRun> readings;
};

}  // namespace scrivola
