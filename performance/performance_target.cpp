#include "performance/performance_target.h"

#include "synth/numeric.h"

namespace scrivola {

void applyCommand(CommandId command, SynthState& state, SwitchSet& switches,
                  DrawingSurface& surface) {
    switch (command) {
        case CommandId::cmdnew:
        case CommandId::mnunew:
            surface.clear();
            break;
        case CommandId::cmdrst:
        case CommandId::mnureset:
            resetSynth(state, switches);
            break;
        case CommandId::Command1:
        case CommandId::mnuresetall:
            resetAll(state, switches, surface);
            break;
        case CommandId::cmdsin1:
            resetVoiceB(switches);
            break;
        case CommandId::Command2:
            resetVoiceA(switches);
            break;
        case CommandId::mnukeeptone:
            switches.setValue(kKeepTone, 1);
            break;
        case CommandId::mnuchngtone:
            switches.setValue(kKeepTone, 0);
            break;
    }
}

void deliverEvent(const PerformanceEvent& event, double startClock, PerformanceTarget& target) {
    switch (event.kind) {
        case EventKind::Press:
            target.press(event.button, event.shift, event.x, event.y);
            break;
        case EventKind::Move:
            target.move(event.button, event.shift, event.x, event.y);
            break;
        case EventKind::Release:
            target.release(event.button, event.shift, event.x, event.y);
            break;
        case EventKind::Swatch:
            target.swatch(event.number);
            break;
        case EventKind::Slider:
            target.slider(static_cast<SliderId>(event.number), event.value);
            break;
        case EventKind::Check:
            target.check(event.number, event.value);
            break;
        case EventKind::Command:
            target.command(static_cast<CommandId>(event.number));
            break;
        case EventKind::SynthesisTick: {
            RecordedClock clock(event.readings, toSingle(startClock + event.time));
            target.synthesisTick(clock);
            break;
        }
        case EventKind::DecayTick:
            target.decayTick();
            break;
        case EventKind::End:
            break;
    }
}

}  // namespace scrivola
