-- The administrative system's main database ("Base de Datos.dba") in SQLite.
--
-- The robot reads the saved queries ("Consulta ...") and the company tables,
-- and writes the printed flags and fiscal numbers back through
-- "Consulta Ventas Edición" and "NotaCréditoVenta". Names keep the accents
-- and blanks of the original system. Booleans are -1 (true) and 0 (false);
-- dates are ISO-8601 text; SQLite compares column names case-insensitively,
-- so RIF serves Rif and NombreCliente serves NombreCLiente.

CREATE TABLE "Configuración" (
    "Código"                  INTEGER PRIMARY KEY,
    "NombreCompañía"          TEXT,
    "RIFCompañía"             TEXT,
    "Dirección"               TEXT,
    "Teléfono"                TEXT,
    "VerCantidad"             INTEGER DEFAULT 0,
    "VerCantidadDecimal"      INTEGER DEFAULT 0,
    "UsarImpresiónFacturaInt" INTEGER DEFAULT 0
);

-- The rates programmed in the fiscal printer's positions 1 to 3, in per cent.
CREATE TABLE "Configuración2" (
    "Código"         INTEGER PRIMARY KEY,
    "TasaMaqFiscal1" REAL,
    "TasaMaqFiscal2" REAL,
    "TasaMaqFiscal3" REAL
);

CREATE TABLE "Clientes" (
    "Código"    INTEGER PRIMARY KEY,
    "Nombre"    TEXT,
    "RIF"       TEXT,
    "Dirección" TEXT,
    "Teléfono"  TEXT
);

CREATE TABLE "FormasPago" (
    "Código" INTEGER PRIMARY KEY,
    "Nombre" TEXT
);

-- Nombre "?" marks a free-text item whose text is the detail's Especificación.
CREATE TABLE "Productos" (
    "COD_PROD"        TEXT PRIMARY KEY,
    "Nombre"          TEXT,
    "Precio"          REAL,
    "ExcentoImpuesto" INTEGER DEFAULT 0
);

CREATE TABLE "Ventas" (
    "Código"            INTEGER PRIMARY KEY,
    "Cliente"           INTEGER REFERENCES "Clientes"("Código"),
    "Fecha"             TEXT,
    "Anulada"           INTEGER NOT NULL DEFAULT 0,
    "Impresa"           INTEGER NOT NULL DEFAULT 0,
    "Imprimir"          INTEGER NOT NULL DEFAULT 0,
    "Control"           TEXT,
    "Local"             INTEGER NOT NULL DEFAULT 0,
    "MáquinaFiscal"     INTEGER,
    "Factura"           TEXT,
    "NúmeroZ"           INTEGER,
    "PorcentImpuesto"   REAL,
    "Desc01"            REAL DEFAULT 0,
    "Desc02"            REAL DEFAULT 0,
    "Desc03"            REAL DEFAULT 0,
    "Descuento01"       REAL DEFAULT 0,
    "Descuento02"       REAL DEFAULT 0,
    "Descuento03"       REAL DEFAULT 0,
    "FormaPago"         INTEGER REFERENCES "FormasPago"("Código"),
    "MedioPago"         TEXT,
    "NotaEntrega"       TEXT,
    "ORD_COMP"          TEXT,
    "PlantillaAuxiliar" INTEGER DEFAULT 0,
    "CampoTextoAdic01"  TEXT,
    "CampoTextoAdic02"  TEXT,
    "CampoTextoAdic03"  TEXT,
    "Observación"       TEXT,
    "Total"             REAL
);

-- The pending-invoice list reads only the few rows still to print, whatever
-- the size of the sales history.
CREATE INDEX "Ventas por imprimir" ON "Ventas"("MáquinaFiscal", "Código")
    WHERE "Imprimir" = -1 AND "Control" IS NULL;

CREATE TABLE "VentasDetalles" (
    "Código"             INTEGER PRIMARY KEY,
    "Venta"              INTEGER NOT NULL REFERENCES "Ventas"("Código"),
    "COD_PROD"           TEXT REFERENCES "Productos"("COD_PROD"),
    "Cantidad"           REAL,
    "CantidadDecimal"    REAL,
    "Precio"             REAL,
    "Especificación"     TEXT,
    "ExcentoImpuesto"    INTEGER DEFAULT 0,
    "NoMostrarEnFactura" INTEGER NOT NULL DEFAULT 0,
    "Ordenar"            INTEGER
);
CREATE INDEX "VentasDetalles por venta" ON "VentasDetalles"("Venta", "Ordenar");

-- TipoMecanismo: 0 cash, 1 cheque, 2 debit card, 3 credit card, 4 transfer,
-- 5 mobile payment, 6 foreign currency, 7 retention, 8 other.
CREATE TABLE "AbonosVenta" (
    "Código"        INTEGER PRIMARY KEY,
    "Venta"         INTEGER NOT NULL REFERENCES "Ventas"("Código"),
    "TipoMecanismo" INTEGER,
    "Monto"         REAL,
    "Referencia"    TEXT
);
CREATE INDEX "AbonosVenta por venta" ON "AbonosVenta"("Venta");

CREATE TABLE "NotaCréditoVenta" (
    "Código"          INTEGER PRIMARY KEY,
    "Venta"           INTEGER REFERENCES "Ventas"("Código"),
    "Fecha"           TEXT,
    "Número"          TEXT,
    "Control"         TEXT,
    "Impresa"         INTEGER NOT NULL DEFAULT 0,
    "Imprimir"        INTEGER NOT NULL DEFAULT 0,
    "Anulada"         INTEGER NOT NULL DEFAULT 0,
    "MáquinaFiscal"   INTEGER,
    "Desc01"          REAL DEFAULT 0,
    "PorcentImpuesto" REAL,
    "Monto"           REAL,
    "MontoExcento"    REAL,
    "Motivo"          TEXT
);
CREATE INDEX "Notas por imprimir" ON "NotaCréditoVenta"("MáquinaFiscal", "Código")
    WHERE "Imprimir" = -1 AND "Control" IS NULL;

CREATE TABLE "NotaCréditoVentaDetalles" (
    "Código"             INTEGER PRIMARY KEY,
    "NotaCredVent"       INTEGER NOT NULL REFERENCES "NotaCréditoVenta"("Código"),
    "COD_PROD"           TEXT REFERENCES "Productos"("COD_PROD"),
    "Cantidad"           REAL,
    "CantidadDecimal"    REAL,
    "Precio"             REAL,
    "ExcentoImpuesto"    INTEGER DEFAULT 0,
    "NoMostrarEnFactura" INTEGER NOT NULL DEFAULT 0,
    "Ordenar"            INTEGER
);
CREATE INDEX "NotaCréditoVentaDetalles por nota"
    ON "NotaCréditoVentaDetalles"("NotaCredVent", "Ordenar");

.read main-views.sql

-- The invoice job writes through "Consulta Ventas Edición": SQLite updates a
-- view only through a trigger.
CREATE TRIGGER "Consulta Ventas Edición al actualizar"
INSTEAD OF UPDATE ON "Consulta Ventas Edición"
BEGIN
    UPDATE "Ventas"
    SET "Cliente" = NEW."Cliente",
        "Fecha" = NEW."Fecha",
        "Anulada" = NEW."Anulada",
        "Impresa" = NEW."Impresa",
        "Imprimir" = NEW."Imprimir",
        "Control" = NEW."Control",
        "Local" = NEW."Local",
        "MáquinaFiscal" = NEW."MáquinaFiscal",
        "Factura" = NEW."Factura",
        "NúmeroZ" = NEW."NúmeroZ",
        "Observación" = NEW."Observación"
    WHERE "Código" = OLD."Código";
END;
