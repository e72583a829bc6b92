#include "documents/PrinterNumbers.h"

#include "core/Clock.h"
#include "documents/PrinterRules.h"
#include "printer/PrinterLink.h"

namespace documents {

void PrinterNumbers::leerFactura(printer::PrinterLink &link, const QString &rutaPrograma,
                                 QString *factura, QString *numeroZ)
{
    link.UploadStatusCmd(QStringLiteral("S1"), rutaPrograma + QStringLiteral("\\Status.txt"));
    link.VerRespuesta();
    const QString &t = link.TextoRespuesta;
    // Only digits ever reach the SQL text.
    const QString f = t.mid(21, 8);
    const QString z = t.mid(47, 4);
    *factura = (f.size() == 8 && PrinterRules::soloDigitos(f)) ? f : QString();
    *numeroZ = (z.size() == 4 && PrinterRules::soloDigitos(z)) ? z : QString();
}

QString PrinterNumbers::leerNota(printer::PrinterLink &link, const QString &rutaPrograma,
                                 bool formaDascom)
{
    link.UploadReportCmd(QStringLiteral("U0X"), rutaPrograma + QStringLiteral("\\Status2.txt"));
    link.VerRespuesta();
    link.TextoRespuesta += QStringLiteral(" \r\n");
    const int posicion = formaDascom ? 41 : 169;
    return link.TextoRespuesta.mid(posicion - 1, 8);
}

bool PrinterNumbers::leerConfiable(printer::PrinterLink &link, const QString &rutaPrograma,
                                   core::PrinterType tipo, core::DocumentKind kind,
                                   const core::Clock &clock, int lecturas, QString *numero,
                                   QString *numeroZ)
{
    for (int i = 0; i < lecturas; ++i) {
        if (i > 0)
            clock.DelayMili(10);
        if (kind == core::DocumentKind::CreditNote) {
            *numero = leerNota(link, rutaPrograma, core::formaDascom(tipo));
            numeroZ->clear();
        } else {
            leerFactura(link, rutaPrograma, numero, numeroZ);
        }
        if (completo(*numero))
            return true;
    }
    numero->clear();
    numeroZ->clear();
    return false;
}

bool PrinterNumbers::completo(const QString &numero)
{
    return numero.size() == 8 && PrinterRules::soloDigitos(numero);
}

QString PrinterNumbers::zDelDocumento(const QString &numeroZ)
{
    return numeroZ.isEmpty() ? QString() : QString::number(numeroZ.toInt() + 1);
}

} // namespace documents
