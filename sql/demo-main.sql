-- Demo rows for "Base de Datos.dba": a Caracas distributor, its customers and
-- products, printed history, ten sales waiting for fiscal machine 1 and three
-- credit notes waiting for it. Every amount of a waiting sale comes out in
-- whole cents (line amounts, discount, tax), so that any printer's total
-- equals the sum of its payments.

INSERT INTO "Configuración" ("Código", "NombreCompañía", "RIFCompañía", "Dirección", "Teléfono",
                             "VerCantidad", "VerCantidadDecimal", "UsarImpresiónFacturaInt")
VALUES (1, 'Distribuidora El Samán, C.A.', 'J306587412',
        'Av. Francisco de Miranda, Torre Parque Cristal, Piso 4, Los Palos Grandes, Caracas',
        '0212-2856614', -1, -1, 0);

INSERT INTO "Configuración2" ("Código", "TasaMaqFiscal1", "TasaMaqFiscal2", "TasaMaqFiscal3")
VALUES (1, 16, 8, 31);

INSERT INTO "Clientes" ("Código", "Nombre", "RIF", "Dirección", "Teléfono") VALUES
 (1, 'Inversiones Peñalver & Asociados, C.A.', 'J297654321',
  'Calle Los Jabillos, Qta. María Eugenia, Nº 14, Urb. La Florida, Caracas, Distrito Capital',
  '0212-7315590'),
 (2, 'María José Añez Rodríguez', 'V154872369',
  'Av. Bolívar Norte, Res. Los Samanes, Torre B, Apto. 7-C, Valencia', '0241-8214477'),
 (3, 'Ferretería y Materiales San José de Tarbes, S.R.L.', 'J401238765',
  'Carrera 19 con Calle 32, Local 3, Barquisimeto', '0251-4452310'),
 (4, 'José Gregorio Hernández Núñez', 'V087654321', 'Av. Las Américas, Mérida', NULL),
 (5, 'Panadería y Pastelería La Única Montaña, C.A.', 'J309871234', NULL, '0212-2851122'),
 (6, 'Clínica Odontológica Dra. Begoña Ibáñez', 'J402567891',
  'Urb. El Viñedo, Av. Monseñor Adams, Edif. Torre Médica, Consultorio 5-B, Valencia, Edo. Carabobo',
  '0241-8245566'),
 (7, 'Constructora Güiria Oriente, C.A.', 'J298765430',
  'Av. Raúl Leoni, C.C. Puente Real, Nivel Mezzanina, Local M-12, Puerto La Cruz, Anzoátegui',
  '0281-2675533');

INSERT INTO "FormasPago" ("Código", "Nombre") VALUES
 (1, 'Contado'), (2, 'Crédito 15 días'), (3, 'Crédito 30 días'), (4, 'Tarjeta de débito'),
 (5, 'Transferencia'), (6, 'Pago móvil'), (7, 'Mixto');

INSERT INTO "Productos" ("COD_PROD", "Nombre", "Precio", "ExcentoImpuesto") VALUES
 ('HAR-001', 'Harina de maíz precocida 1 kg', 38.50, -1),
 ('ARR-002', 'Arroz blanco tipo I 1 kg', 42.00, -1),
 ('QUE-003', 'Queso blanco llanero (kg)', 310.00, 0),
 ('JAM-004', 'Jamón de pierna ahumado (kg)', 520.00, 0),
 ('CAF-005', 'Café molido tostado 500 g', 145.00, 0),
 ('ACE-006', 'Aceite de maíz 1 L', 96.00, 0),
 ('CAB-007', 'Cable THW Nº 12 (metro)', 18.80, 0),
 ('TAL-008', 'Taladro percutor 13 mm 750 W', 1850.00, 0),
 ('PIN-009', 'Pintura de caucho galón, color marfil', 680.00, 0),
 ('SER-010', '?', NULL, 0),
 ('LIM-011', 'Limón criollo (kg)', 45.00, -1),
 ('WHI-012', 'Whisky escocés 12 años 750 ml', 2250.00, 0),
 ('ÑAM-013', 'Ñame (kg)', 58.00, -1),
 ('AZU-014', 'Azúcar refinada 1 kg', 44.00, -1);

-- Printed history: sales 1001 to 1040, invoices 00000101 to 00000140, over
-- the last six weeks.
INSERT INTO "Ventas" ("Código", "Cliente", "Fecha", "Impresa", "Imprimir", "Control",
                      "MáquinaFiscal", "Factura", "NúmeroZ", "PorcentImpuesto", "FormaPago")
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40)
SELECT 1000 + i, 1 + i % 7,
       datetime('now', 'localtime', 'start of day', printf('-%d days', 41 - i), '+9 hours',
                printf('+%d minutes', i * 7)),
       -1, 0, printf('%08d', 100 + i), 1, printf('%08d', 100 + i), 9 + (i - 1) / 10, 0.16,
       1 + i % 6
FROM n;

INSERT INTO "VentasDetalles" ("Venta", "COD_PROD", "Cantidad", "CantidadDecimal", "Precio",
                              "ExcentoImpuesto", "Ordenar")
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40)
SELECT 1000 + i, p."COD_PROD", 1 + i % 3, 1 + i % 3, p."Precio", p."ExcentoImpuesto", k
FROM n
JOIN (SELECT 1 AS k UNION ALL SELECT 2) ON 1
JOIN "Productos" p ON p."COD_PROD" =
     CASE (i + k) % 5 WHEN 0 THEN 'CAF-005' WHEN 1 THEN 'HAR-001' WHEN 2 THEN 'ACE-006'
                      WHEN 3 THEN 'PIN-009' ELSE 'ARR-002' END;

-- Ten sales waiting for fiscal machine 1.
INSERT INTO "Ventas" ("Código", "Cliente", "Fecha", "Imprimir", "MáquinaFiscal",
                      "PorcentImpuesto", "Desc01", "FormaPago", "MedioPago", "ORD_COMP",
                      "PlantillaAuxiliar", "CampoTextoAdic02", "Observación")
VALUES
 (1041, 1, datetime('now', 'localtime', 'start of day', '+8 hours', '+12 minutes'), -1, 1, 0.16, 0,
  1, 'Efectivo', NULL, 0, 'Carlos Mendoza', NULL),
 (1042, 2, datetime('now', 'localtime', 'start of day', '+8 hours', '+25 minutes'), -1, 1, 0.16, 0,
  4, 'Tarjeta de débito', NULL, 0, 'Carlos Mendoza', 'Cortar el queso en lonjas'),
 (1043, 3, datetime('now', 'localtime', 'start of day', '+8 hours', '+41 minutes'), -1, 1, 0.16, 5,
  7, 'Transferencia y efectivo', 'OC-2026-0457', 0, 'Yusmary Pérez', 'Despacho a obra'),
 (1044, 4, datetime('now', 'localtime', 'start of day', '+9 hours', '+3 minutes'), -1, 1, 0.16, 0,
  6, 'Pago móvil', NULL, 0, 'Yusmary Pérez', NULL),
 (1045, 5, datetime('now', 'localtime', 'start of day', '+9 hours', '+17 minutes'), -1, 1, 0.16, 0,
  1, 'Tarjeta de crédito', NULL, -1, 'Carlos Mendoza', NULL),
 (1046, 6, datetime('now', 'localtime', 'start of day', '+9 hours', '+30 minutes'), -1, 1, 0.16, 10,
  7, 'Divisas y efectivo', NULL, 0, 'Carlos Mendoza', 'Cliente frecuente'),
 (1047, 7, datetime('now', 'localtime', 'start of day', '+9 hours', '+48 minutes'), -1, 1, 0.31, 0,
  2, 'Cheque', NULL, 0, 'Yusmary Pérez', NULL),
 (1048, 1, datetime('now', 'localtime', 'start of day', '+10 hours', '+2 minutes'), -1, 1, 0.08, 0,
  7, 'Retención y transferencia', 'OC-2026-0461', 0, 'Carlos Mendoza', NULL),
 (1049, 2, datetime('now', 'localtime', 'start of day', '+10 hours', '+20 minutes'), -1, 1, 0.16,
  2.5, 1, 'Otro', NULL, 0, 'Yusmary Pérez', NULL),
 (1050, 3, datetime('now', 'localtime', 'start of day', '+10 hours', '+36 minutes'), -1, 1, 0.16, 0,
  5, 'Transferencia', NULL, 0, 'Yusmary Pérez', NULL);

-- Waiting, but not for this register's list: another fiscal machine, a
-- local sale and a voided one.
INSERT INTO "Ventas" ("Código", "Cliente", "Fecha", "Imprimir", "MáquinaFiscal", "Local",
                      "Anulada", "PorcentImpuesto", "FormaPago")
VALUES
 (1051, 4, datetime('now', 'localtime', 'start of day', '+10 hours', '+40 minutes'), -1, 2, 0, 0,
  0.16, 1),
 (1052, 5, datetime('now', 'localtime', 'start of day', '+10 hours', '+44 minutes'), -1, 1, -1, 0,
  0.16, 1),
 (1053, 6, datetime('now', 'localtime', 'start of day', '+10 hours', '+51 minutes'), -1, 1, 0, -1,
  0.16, 1);

INSERT INTO "VentasDetalles" ("Venta", "COD_PROD", "Cantidad", "CantidadDecimal", "Precio",
                              "Especificación", "ExcentoImpuesto", "NoMostrarEnFactura", "Ordenar")
VALUES
 (1041, 'CAF-005', 2, 2, 145.00, NULL, 0, 0, 1),
 (1041, 'ACE-006', 3, 3, 96.00, NULL, 0, 0, 2),
 (1041, 'HAR-001', 10, 10, 38.50, NULL, -1, 0, 3),
 (1042, 'QUE-003', 1, 1.25, 310.00, NULL, 0, 0, 1),
 (1042, 'JAM-004', 1, 0.75, 520.00, 'rebanado fino', 0, 0, 2),
 (1042, 'AZU-014', 2, 2, 44.00, NULL, -1, 0, 3),
 (1043, 'CAB-007', 13, 12.5, 18.80, NULL, 0, 0, 1),
 (1043, 'TAL-008', 1, 1, 1850.00, NULL, 0, 0, 2),
 (1043, 'PIN-009', 2, 2, 680.00, NULL, 0, 0, 3),
 (1044, 'HAR-001', 5, 5, 38.50, NULL, -1, 0, 1),
 (1044, 'ARR-002', 3, 3, 42.00, NULL, -1, 0, 2),
 (1044, 'LIM-011', 3, 2.5, 45.00, NULL, -1, 0, 3),
 (1045, 'SER-010', 1, 1, 450.00, 'Mantenimiento técnico de hornos industriales', 0, 0, 1),
 (1045, 'CAF-005', 1, 1, 145.00, NULL, 0, 0, 2),
 (1046, 'PIN-009', 1, 1, 680.00, NULL, 0, 0, 1),
 (1046, 'TAL-008', 1, 1, 1850.00, NULL, 0, 0, 2),
 (1046, 'SER-010', 1, 1, 0, 'Flete incluido', 0, -1, 3),
 (1047, 'WHI-012', 2, 2, 2250.00, NULL, 0, 0, 1),
 (1048, 'CAF-005', 4, 4, 145.00, NULL, 0, 0, 1),
 (1048, 'ACE-006', 6, 6, 96.00, NULL, 0, 0, 2),
 (1049, 'ÑAM-013', 2, 1.8, 58.00, NULL, -1, 0, 1),
 (1049, 'QUE-003', 1, 0.5, 310.00, NULL, 0, 0, 2),
 (1049, 'JAM-004', 0, 0.375, 520.00, NULL, 0, 0, 3),
 (1050, 'TAL-008', 2, 2, 1850.00, NULL, 0, 0, 1),
 (1051, 'CAF-005', 1, 1, 145.00, NULL, 0, 0, 1),
 (1052, 'ARR-002', 1, 1, 42.00, NULL, -1, 0, 1),
 (1053, 'ACE-006', 1, 1, 96.00, NULL, 0, 0, 1);

-- Totals as a fiscal printer computes them: discount on the subtotal, tax on
-- the discounted taxed amount.
UPDATE "Ventas"
SET "Descuento01" = (SELECT round(coalesce(sum(d."Precio" * d."CantidadDecimal"), 0)
                                  * "Ventas"."Desc01" / 100, 2)
                     FROM "VentasDetalles" d
                     WHERE d."Venta" = "Ventas"."Código" AND d."NoMostrarEnFactura" = 0),
    "Total" = (SELECT round(
                   coalesce(sum(CASE WHEN d."ExcentoImpuesto" = -1 THEN 0
                                     ELSE d."Precio" * d."CantidadDecimal" END), 0)
                       * (1 - "Ventas"."Desc01" / 100) * (1 + "Ventas"."PorcentImpuesto")
                   + coalesce(sum(CASE WHEN d."ExcentoImpuesto" = -1
                                       THEN d."Precio" * d."CantidadDecimal" ELSE 0 END), 0)
                       * (1 - "Ventas"."Desc01" / 100), 2)
               FROM "VentasDetalles" d
               WHERE d."Venta" = "Ventas"."Código" AND d."NoMostrarEnFactura" = 0);

-- Payments: 0 cash, 1 cheque, 2 debit card, 3 credit card, 4 transfer,
-- 5 mobile payment, 6 foreign currency, 7 retention, 8 other.
INSERT INTO "AbonosVenta" ("Venta", "TipoMecanismo", "Monto", "Referencia") VALUES
 (1041, 0, 1055.48, NULL),
 (1042, 2, 989.90, 'Lote 118 ref. 004512'),
 (1043, 4, 2000.00, 'Banesco 0134-88120'),
 (1043, 0, 1796.39, NULL),
 (1044, 5, 431.00, 'Ref. 998877'),
 (1045, 3, 690.20, 'Lote 119 ref. 000233'),
 (1046, 6, 1500.00, 'USD al cambio del día'),
 (1046, 0, 1141.32, NULL),
 (1047, 1, 5895.00, 'Cheque 00045127 Banco de Venezuela'),
 (1048, 7, 23.12, 'Comprobante de retención 2026-0044'),
 (1048, 4, 1225.36, 'Mercantil 0105-44310'),
 (1049, 8, 497.64, 'Canje'),
 (1050, 4, 4292.00, 'Provincial 0108-77215');

INSERT INTO "AbonosVenta" ("Venta", "TipoMecanismo", "Monto")
SELECT "Código", 0, "Total" FROM "Ventas" WHERE "Código" BETWEEN 1001 AND 1040;

-- Credit notes: two printed, three waiting for fiscal machine 1 (with detail
-- rows, without them, with a discount and a hidden row), one voided.
INSERT INTO "NotaCréditoVenta" ("Código", "Venta", "Fecha", "Número", "Control", "Impresa",
                                "Imprimir", "Anulada", "MáquinaFiscal", "Desc01",
                                "PorcentImpuesto", "Monto", "MontoExcento", "Motivo")
VALUES
 (201, 1005, datetime('now', 'localtime', 'start of day', '-30 days', '+15 hours'), '00000006',
  '00000006', -1, 0, 0, 1, 0, 0.16, 96.00, 0, 'Producto dañado'),
 (202, 1018, datetime('now', 'localtime', 'start of day', '-12 days', '+11 hours'), '00000007',
  '00000007', -1, 0, 0, 1, 0, 0.16, 145.00, 38.50, 'Devolución'),
 (203, 1012, datetime('now', 'localtime', 'start of day', '+11 hours'), NULL, NULL, 0, -1, 0, 1,
  0, 0.16, 145.00, 77.00, 'Devolución de mercancía'),
 (204, 1025, datetime('now', 'localtime', 'start of day', '+11 hours', '+20 minutes'), NULL, NULL,
  0, -1, 0, 1, 0, 0.16, 250.00, 40.00, 'Descuento por pronto pago'),
 (205, 1033, datetime('now', 'localtime', 'start of day', '+11 hours', '+45 minutes'), NULL, NULL,
  0, -1, 0, 1, 5, 0.16, 155.00, 0, 'Queso vencido'),
 (206, 1036, datetime('now', 'localtime', 'start of day', '+12 hours'), NULL, NULL, 0, -1, -1, 1,
  0, 0.16, 680.00, 0, 'Emitida por error');

INSERT INTO "NotaCréditoVentaDetalles" ("NotaCredVent", "COD_PROD", "Cantidad", "CantidadDecimal",
                                        "Precio", "ExcentoImpuesto", "NoMostrarEnFactura",
                                        "Ordenar")
VALUES
 (201, 'ACE-006', 1, 1, 96.00, 0, 0, 1),
 (202, 'CAF-005', 1, 1, 145.00, 0, 0, 1),
 (202, 'HAR-001', 1, 1, 38.50, -1, 0, 2),
 (203, 'CAF-005', 1, 1, 145.00, 0, 0, 1),
 (203, 'HAR-001', 2, 2, 38.50, -1, 0, 2),
 (205, 'QUE-003', 1, 0.5, 310.00, 0, 0, 1),
 (205, 'SER-010', 1, 1, 0, 0, -1, 2),
 (206, 'PIN-009', 1, 1, 680.00, 0, 0, 1);
