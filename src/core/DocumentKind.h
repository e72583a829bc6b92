#pragma once

namespace core {

// The two kinds of fiscal document the robot prints.
enum class DocumentKind { Invoice, CreditNote };

} // namespace core
