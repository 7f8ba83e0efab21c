#include "performance/performance_target.h"

#include "synth/numeric.h"

namespace scrivola {

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
