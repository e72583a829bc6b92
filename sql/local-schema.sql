-- The robot's local database ("Vextora.dba"): the non-fiscal tickets of this
-- register. Booleans are -1 (true) and 0 (false); Fecha is ISO-8601 text.

CREATE TABLE "TiketNoFiscal" (
    "Código"   INTEGER PRIMARY KEY,
    "Fecha"    TEXT,
    "Caja"     INTEGER,
    "Impresa"  INTEGER NOT NULL DEFAULT 0,
    "Imprimir" INTEGER NOT NULL DEFAULT 0,
    "Cliente"  TEXT,
    "Total"    REAL,
    "Otro1"    TEXT,
    "Otro2"    TEXT
);
CREATE INDEX "TiketNoFiscal por fecha" ON "TiketNoFiscal"("Fecha");

CREATE VIEW "Consulta TiketNoFiscal" AS
SELECT "Código", "Fecha", "Caja", "Impresa", "Imprimir", "Cliente", "Total", "Otro1", "Otro2"
FROM "TiketNoFiscal";
