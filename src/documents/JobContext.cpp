#include "documents/JobContext.h"

#include "core/Clock.h"

namespace documents {

void JobContext::publish(core::DocumentEvent event)
{
    event.time = clock.now();
    if (event.kind == core::DocumentEvent::Kind::Printed ||
        event.kind == core::DocumentEvent::Kind::Recovered)
        lastPrinted = event;
    window.documentEvent(event);
}

} // namespace documents
