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

-- A sale as the invoice job and the pending list read it.
CREATE VIEW "Consulta VentasAct" AS
SELECT v."Código",
       c."Nombre" AS "NombreCliente",
       c."RIF" AS "RIF",
       c."Dirección",
       c."Teléfono",
       v."PorcentImpuesto",
       f."Nombre" AS "NombreFormaPago",
       v."FormaPago",
       v."MedioPago",
       v."PlantillaAuxiliar",
       v."ORD_COMP",
       v."NotaEntrega",
       v."CampoTextoAdic01",
       v."CampoTextoAdic02",
       v."CampoTextoAdic03",
       v."Observación",
       v."Descuento01",
       v."Descuento02",
       v."Descuento03",
       v."Desc01",
       v."Desc02",
       v."Desc03",
       -- Null without a customer, like a joined text in the original query.
       'Venta ' || v."Código" || ' ' || c."Nombre" AS "Vista1",
       v."Anulada",
       v."Impresa",
       v."Imprimir",
       v."Control",
       v."Local",
       v."MáquinaFiscal",
       v."Fecha",
       v."Factura",
       v."NúmeroZ",
       v."Total"
FROM "Ventas" v
LEFT JOIN "Clientes" c ON c."Código" = v."Cliente"
LEFT JOIN "FormasPago" f ON f."Código" = v."FormaPago";

CREATE VIEW "Consulta VentasDetallesAct" AS
SELECT d."Código",
       d."Venta",
       d."COD_PROD",
       p."Nombre",
       d."Cantidad",
       d."CantidadDecimal",
       d."Precio",
       d."Especificación",
       d."ExcentoImpuesto",
       d."NoMostrarEnFactura",
       d."Ordenar"
FROM "VentasDetalles" d
LEFT JOIN "Productos" p ON p."COD_PROD" = d."COD_PROD";

-- The sale's editable columns; the invoice job writes its fiscal numbers here.
CREATE VIEW "Consulta Ventas Edición" AS
SELECT "Código", "Cliente", "Fecha", "Anulada", "Impresa", "Imprimir", "Control",
       "Local", "MáquinaFiscal", "Factura", "NúmeroZ", "Observación"
FROM "Ventas";

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

-- A credit note with its customer and the sale (invoice) it corrects.
CREATE VIEW "Consulta NotaCréditoVenta" AS
SELECT n."Código",
       'Nota ' || n."Código" AS "Vista4",
       c."Nombre" AS "NombreCliente",
       c."RIF" AS "RIF",
       c."Dirección",
       c."Teléfono",
       n."Venta",
       v."Factura",
       v."Fecha" AS "FechaVenta",
       n."Fecha",
       n."Número",
       n."Anulada",
       n."Imprimir",
       n."Impresa",
       n."Control",
       n."MáquinaFiscal",
       n."Desc01",
       n."PorcentImpuesto",
       n."Monto",
       n."MontoExcento",
       n."Motivo"
FROM "NotaCréditoVenta" n
LEFT JOIN "Ventas" v ON v."Código" = n."Venta"
LEFT JOIN "Clientes" c ON c."Código" = v."Cliente";

CREATE VIEW "Consulta NotaCréditoVenta Detalles" AS
SELECT d."Código",
       d."NotaCredVent",
       d."COD_PROD",
       p."Nombre",
       d."Cantidad",
       d."CantidadDecimal" AS "CantDec",
       d."Precio",
       d."ExcentoImpuesto",
       d."NoMostrarEnFactura",
       d."Ordenar"
FROM "NotaCréditoVentaDetalles" d
LEFT JOIN "Productos" p ON p."COD_PROD" = d."COD_PROD";
