#pragma once

#include <QString>
#include <QVariant>

namespace documents {

// What the invoice and credit-note jobs share about the printer's commands.
class PrinterRules
{
public:
    // The printer's rate position (0 to 3) for a document's tax rate given as
    // a fraction (0.16). Rates are compared in per cent rounded to two
    // decimals, so 0.07 finds 7; a later equal rate wins; no match keeps
    // `previous`.
    static int codigoImpuesto(double porcentImpuesto, double tasa1, double tasa2, double tasa3,
                              int previous);
    // The three-character payment command prefix for a means of payment.
    static QString codigoMedioPago(const QVariant &TipoMecanismo);
    // "p-" followed by the rate with two implied decimals, at least four digits.
    static QString comandoDescuento(double Desc01);
    // A payment row's command: its means code and the amount with two implied
    // decimals, at least twelve digits.
    static QString comandoPago(const QVariant &TipoMecanismo, double Monto);
    // True when the text is made of digits only (and is not empty).
    static bool soloDigitos(const QString &text);
};

} // namespace documents
