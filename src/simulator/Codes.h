#pragma once

#include "printer/DriverAbi.h"

namespace sim {

// The error word of a call: why the printer refused it, 0 when it did not.
enum ErrorCode : int {
    NoError = 0,
    PortClosed = 1,       // the port is not open
    Syntax = 2,           // unknown command or malformed fields
    NotAllowedNow = 3,    // valid command, wrong moment (a document open or not, wrong kind)
    BadValue = 4,         // a field of no value or out of range: zero amount, date, percentage
    FaultRefused = 5,     // refused by a [faults] setting
    AnswerNotWritten = 6, // an upload whose answer file could not be written, or Upload=fail
    MemoryNotWritten = 7, // fiscalsim.state could not be written; the command had no effect
    ReplyLost = 8         // LoseReplyNth: carried out, but its answer never reached the caller
};

// Bits of the status word: what the printer holds at the end of the call. The
// first three are the driver contract's; the others only the simulator tells.
enum StatusBit : int {
    PortOpen = printer::status::kPortOpen,
    InvoiceOpen = printer::status::kInvoiceOpen,
    CreditNoteOpen = printer::status::kCreditNoteOpen,
    PaymentStarted = 0x08, // items and discounts are no longer taken
    DiscountGiven = 0x10,  // the subtotal discount is fixed, items are no longer taken
    HeaderPending = 0x20   // header lines wait for the next document
};

} // namespace sim
