-- The saved queries (views) of the main database, the same on SQLite and on
-- PostgreSQL: main-schema.sql and main-schema-postgresql.sql read this file
-- after their tables, each with its own shell's command (.read, \ir), which
-- the program follows too when it makes a database.

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
