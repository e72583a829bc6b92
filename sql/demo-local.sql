-- Demo tickets for "Vextora.dba": printed ones from past days (cleared at
-- start), one printed today and one flagged again for printing (both kept),
-- and pre-bills waiting for register 1 and for register 2.
INSERT INTO "TiketNoFiscal" ("Código", "Fecha", "Caja", "Impresa", "Imprimir", "Cliente",
                             "Total", "Otro1", "Otro2")
VALUES
 (1, datetime('now', 'localtime', 'start of day', '-9 days', '+12 hours'), 1, -1, 0, 'Mesa 2',
  245.00, 'Salón', 'Mesa 2 - 2 personas'),
 (2, datetime('now', 'localtime', 'start of day', '-6 days', '+13 hours'), 1, -1, 0, 'Mesa 5',
  512.40, 'Salón', 'Mesa 5 - 4 personas'),
 (3, datetime('now', 'localtime', 'start of day', '-3 days', '+19 hours'), 1, -1, 0, 'Barra',
  98.00, 'Barra', 'Barra - 1 persona'),
 (4, datetime('now', 'localtime', 'start of day', '-1 days', '+20 hours'), 1, -1, 0, 'Terraza',
  730.15, 'Terraza', 'Terraza 3 - 6 personas'),
 (5, datetime('now', 'localtime', 'start of day', '-2 days', '+14 hours'), 1, -1, -1, 'Mesa 7',
  188.00, 'Salón', 'Mesa 7 - reimpresión'),
 (6, datetime('now', 'localtime', 'start of day', '+8 hours'), 1, -1, 0, 'Mesa 1', 64.50, 'Salón',
  'Mesa 1 - 1 persona'),
 (7, datetime('now', 'localtime', 'start of day', '+9 hours'), 1, 0, -1, 'Mesa 4', 356.80, 'Salón',
  'Mesa 4 - 3 personas'),
 (8, datetime('now', 'localtime', 'start of day', '+9 hours', '+30 minutes'), 1, 0, -1, 'Barra',
  41.00, 'Barra', 'Barra - José Ángel'),
 (9, datetime('now', 'localtime', 'start of day', '+9 hours', '+45 minutes'), 2, 0, -1, 'Mesa 9',
  120.00, 'Salón', 'Mesa 9 - 2 personas');
