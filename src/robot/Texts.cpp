#include "robot/Texts.h"

namespace robot::texts {

QString configuracionIlegible(const QString &path)
{
    return QStringLiteral("No se pudo leer el archivo de configuración %1.").arg(path);
}

QString cajaNoNumerica(const QString &value, const QString &path)
{
    return QStringLiteral("El valor \"%1\" de Caja: en el archivo de configuración %2 no es "
                          "un número entero.")
        .arg(value, path);
}

QString bibliotecaNoCargada(const QString &library, const QString &reason)
{
    return QStringLiteral("No se pudo cargar la biblioteca de la impresora fiscal %1.\r%2")
        .arg(library, reason);
}

QString bibliotecaSinEntrada(const QString &library, const QString &entry)
{
    return QStringLiteral("La biblioteca de la impresora fiscal %1 no tiene la función %2.")
        .arg(library, entry);
}

QString codigoPaginaDesconocido(const QString &name)
{
    return QStringLiteral("La página de códigos %1 de robot-fiscal.ini no existe en este sistema.")
        .arg(name);
}

} // namespace robot::texts
