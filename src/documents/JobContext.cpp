#include "documents/JobContext.h"

#include "core/Clock.h"

namespace documents {

void JobContext::publicar(core::DocumentEvent event)
{
    event.hora = clock.now();
    if (event.kind == core::DocumentEvent::Kind::Impresa ||
        event.kind == core::DocumentEvent::Kind::Recuperada)
        ultimo = event;
    window.documentEvent(event);
}

} // namespace documents
