#include "documents/JobContext.h"

#include "core/Clock.h"

namespace documents {

void JobContext::publicar(core::DocumentEvent event) const
{
    event.hora = clock.now();
    window.documentEvent(event);
}

} // namespace documents
