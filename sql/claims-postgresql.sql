-- The robots' own table in a PostgreSQL main database: a row while a robot
-- has a document taken up and not yet settled (recorded, failed before
-- anything was printed, or cancelled). A robot never prints a document that
-- another robot (another host or program directory) claims here. The robots
-- make it when it is missing and their role may; docs/installing.md gives
-- the grants a role that may not needs.
CREATE TABLE robot_fiscal_tomas (
    tipo       text    NOT NULL, -- factura or nota
    codigo     bigint  NOT NULL, -- the document's Código
    maquina    integer NOT NULL, -- the fiscal machine (Caja:)
    equipo     text    NOT NULL, -- the claiming robot's host
    directorio text    NOT NULL, -- and its program directory
    tomado     timestamp(0) without time zone NOT NULL DEFAULT localtimestamp,
    PRIMARY KEY (tipo, codigo)
);
