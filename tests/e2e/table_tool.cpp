// Prints the wave tables that the synthesizer core computes for a given state,
// so the end-to-end checks compare what was heard against the core itself
// rather than against a second implementation.
//
//   e2e-table-tool [--tone N] [--toneB N] [--amsp T] [--fmsp T] [--amsp2 T]
//                  [--cut T] [--cut2 T] [--on CheckN]... [--off CheckN]...
//                  [--clock SECONDS] [--table A|B] --levels FIRST LAST
//
// For each level from FIRST to LAST, one line: the level, then the 361
// entries of the chosen table (A by default), separated by blanks. The tables
// are those of a steady state: the tick runs twice with the level unchanged,
// with both amplitudes already at the level, at a clock that stands still.
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "synth/synth_state.h"
#include "synth/wave_table_tick.h"

namespace scrivola {
namespace {

// A performance counter that always reads the same instant.
class FixedCounter final : public PerformanceCounter {
public:
    explicit FixedCounter(double seconds) : count_(static_cast<std::int64_t>(seconds * 1e9)) {}
    std::optional<std::int64_t> frequency() override { return 1'000'000'000; }
    std::optional<std::int64_t> counter() override { return count_; }

private:
    std::int64_t count_;
};

class DiscardingWriter final : public WaveTableWriter {
public:
    bool writeWaveTable(std::int16_t, const WaveTable&) override { return true; }
};

struct Request {
    std::int16_t tone = 0;
    std::int16_t toneB = 0;
    SynthState texts;
    std::vector<std::pair<SwitchId, int>> switchValues;
    double clockSeconds = 0.0;
    bool tableB = false;
    int firstLevel = 0;
    int lastLevel = -1;
};

std::optional<SwitchId> switchNamed(std::string_view name) {
    constexpr std::string_view prefix = "Check";
    if (name.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    const int number = std::atoi(std::string(name.substr(prefix.size())).c_str());
    if (number < 1 || number > 12) {
        return std::nullopt;
    }
    return static_cast<SwitchId>(number);
}

int usage(const std::string& problem) {
    std::cerr << "e2e-table-tool: " << problem << "\n"
              << "usage: e2e-table-tool [--tone N] [--toneB N] [--amsp T] [--fmsp T]"
                 " [--amsp2 T] [--cut T] [--cut2 T] [--on CheckN] [--off CheckN]"
                 " [--clock S] [--table A|B] --levels FIRST LAST\n";
    return 2;
}

std::optional<Request> parse(int argc, char** argv, std::string& problem) {
    Request request;
    request.texts.amsp = request.texts.fmsp = request.texts.amsp2 = "0";
    request.texts.cut = request.texts.cut2 = "0";
    std::vector<std::string_view> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view option = args[i];
        const std::size_t needed = option == "--levels" ? 2 : 1;
        if (i + needed >= args.size()) {
            problem = "missing value after " + std::string(option);
            return std::nullopt;
        }
        const std::string value(args[i + 1]);
        if (option == "--tone") {
            request.tone = static_cast<std::int16_t>(std::atoi(value.c_str()));
        } else if (option == "--toneB") {
            request.toneB = static_cast<std::int16_t>(std::atoi(value.c_str()));
        } else if (option == "--amsp") {
            request.texts.amsp = value;
        } else if (option == "--fmsp") {
            request.texts.fmsp = value;
        } else if (option == "--amsp2") {
            request.texts.amsp2 = value;
        } else if (option == "--cut") {
            request.texts.cut = value;
        } else if (option == "--cut2") {
            request.texts.cut2 = value;
        } else if (option == "--on" || option == "--off") {
            const std::optional<SwitchId> id = switchNamed(value);
            if (!id) {
                problem = "no switch named " + value;
                return std::nullopt;
            }
            request.switchValues.emplace_back(*id, option == "--on" ? 1 : 0);
        } else if (option == "--clock") {
            request.clockSeconds = std::atof(value.c_str());
        } else if (option == "--table") {
            request.tableB = value == "B";
        } else if (option == "--levels") {
            request.firstLevel = std::atoi(value.c_str());
            request.lastLevel = std::atoi(std::string(args[i + 2]).c_str());
        } else {
            problem = "unknown option " + std::string(option);
            return std::nullopt;
        }
        i += needed;
    }
    if (request.lastLevel < request.firstLevel) {
        problem = "--levels FIRST LAST is needed, FIRST <= LAST";
        return std::nullopt;
    }
    return request;
}

WaveTable steadyTable(const Request& request, int level) {
    SynthState state = request.texts;
    state.level = static_cast<std::int16_t>(level);
    SwitchSet switches;
    for (const auto& [id, value] : request.switchValues) {
        switches.setValue(id, value);
    }
    modSynth_DX7 synth;
    synth.tone = request.tone;
    synth.toneB = request.toneB;
    synth.ampA = state.level;
    synth.ampB = state.level;
    FixedCounter counter(request.clockSeconds);
    DiscardingWriter sound;
    DisplayRecord shown;
    for (int tick = 0; tick < 2; ++tick) {
        waveTableTick(synth, state, switches, counter, sound, shown);
    }
    return request.tableB ? synth.tableB : synth.tableA;
}

}  // namespace
}  // namespace scrivola

int main(int argc, char** argv) {
    std::string problem;
    const std::optional<scrivola::Request> request = scrivola::parse(argc, argv, problem);
    if (!request) {
        return scrivola::usage(problem);
    }
    for (int level = request->firstLevel; level <= request->lastLevel; ++level) {
        const scrivola::WaveTable table = scrivola::steadyTable(*request, level);
        std::cout << level;
        for (const std::uint8_t entry : table) {
            std::cout << ' ' << static_cast<int>(entry);
        }
        std::cout << '\n';
    }
    return 0;
}
