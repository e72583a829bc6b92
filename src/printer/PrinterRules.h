#pragma once

#include <QString>
#include <QVariant>

namespace printer {

// The printer's command grammar that the invoice and credit-note jobs share.
class PrinterRules
{
public:
    // The printer's rate position (0 to 3) for a document's tax rate given as
    // a fraction (0.16). Rates are compared in per cent rounded to two
    // decimals, so 0.07 finds 7; a later equal rate wins; no match keeps
    // `previous`.
    static int taxCode(double taxRate, double rate1, double rate2, double rate3, int previous);
    // The printer's rate position (0 to 3) for a document's tax rate, as
    // taxCode finds it; -1 when no rate of the printer is the document's.
    static int ratePosition(double taxRate, double rate1, double rate2, double rate3);

    // The widths of the command fields, in digits with their implied decimals:
    // a price or a line's amount, a quantity, a payment.
    static constexpr int kPriceWidth = 10;
    static constexpr int kQuantityWidth = 8;
    static constexpr int kPaymentWidth = 12;
    // True when the amount, rounded to `decimals`, fills at most `width`
    // digits: a wider one would push its digits into the next field.
    static bool fits(double amount, int width, int decimals);
    // True when the amount rounds to zero at `decimals`: the printer refuses
    // an item or line of no value.
    static bool isZero(double amount, int decimals);
    // A discount the printer takes: above 0 and at most 100 per cent once
    // rounded to two decimals.
    static bool validDiscount(double percent);
    // The three-character payment command prefix for a means of payment.
    static QString paymentMeansCode(const QVariant &means);
    // "p-" followed by the rate with two implied decimals, at least four digits.
    static QString discountCommand(double percent);
    // A payment row's command: its means code and the amount with two implied
    // decimals, at least twelve digits.
    static QString paymentCommand(const QVariant &means, double amount);
    // A number a command needs: false when the value is null or not a number.
    static bool number(const QVariant &v, double *out);
    // True when the text is made of digits only (and is not empty).
    static bool onlyDigits(const QString &text);
};

} // namespace printer
