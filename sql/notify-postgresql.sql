-- Wakes the robots of a fiscal machine as soon as one of its sales or credit
-- notes is flagged or changed: each robot listens on the channel
-- robot_fiscal and wakes when the payload is its own machine. A database
-- without these triggers still works: the robots look at every tick.
-- To add them to a shop's database: psql -f notify-postgresql.sql URL
CREATE OR REPLACE FUNCTION robot_fiscal_avisar() RETURNS trigger AS $$
BEGIN
    PERFORM pg_notify('robot_fiscal', COALESCE(NEW."MáquinaFiscal"::text, ''));
    RETURN NULL;
END
$$ LANGUAGE plpgsql;

DROP TRIGGER IF EXISTS robot_fiscal_ventas ON "Ventas";
CREATE TRIGGER robot_fiscal_ventas AFTER INSERT OR UPDATE ON "Ventas"
    FOR EACH ROW EXECUTE FUNCTION robot_fiscal_avisar();

DROP TRIGGER IF EXISTS robot_fiscal_notas ON "NotaCréditoVenta";
CREATE TRIGGER robot_fiscal_notas AFTER INSERT OR UPDATE ON "NotaCréditoVenta"
    FOR EACH ROW EXECUTE FUNCTION robot_fiscal_avisar();
