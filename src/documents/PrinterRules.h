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
    // The printer's rate position (0 to 3) for a document's tax rate, as
    // codigoImpuesto finds it; -1 when no rate of the printer is the document's.
    static int posicionTasa(double porcentImpuesto, double tasa1, double tasa2, double tasa3);

    // The widths of the command fields, in digits with their implied decimals:
    // a price or a line's amount, a quantity, a payment.
    static constexpr int kAnchoPrecio = 10;
    static constexpr int kAnchoCantidad = 8;
    static constexpr int kAnchoPago = 12;
    // True when the amount, rounded to `decimales`, fills at most `ancho`
    // digits: a wider one would push its digits into the next field.
    static bool cabe(double monto, int ancho, int decimales);
    // True when the amount rounds to zero at `decimales`: the printer refuses
    // an item or line of no value.
    static bool esCero(double monto, int decimales);
    // A discount the printer takes: above 0 and at most 100 per cent once
    // rounded to two decimals.
    static bool descuentoValido(double Desc01);
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
