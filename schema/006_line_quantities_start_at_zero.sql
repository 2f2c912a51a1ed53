-- Schema version 6: the running quantities of outsourcing product lines
-- (received finquantity, taken iTookQuantity, invalid iInvalidQuantity)
-- start at 0, as the material lines' issued quantity (fOutQuantity) always
-- did. A line saved without them held NULL, and the close of an order
-- compares "fQuantity> fInQuantity" without isnull: a line with nothing
-- received never counted as open. SQLite cannot change a column's default,
-- so om_pomain is rebuilt with every row as it is (row versions included;
-- NULLs already stored stay NULL), then its indexes, its row-version
-- triggers and the four views over it are made again unchanged.
DROP VIEW IF EXISTS v_om01_l;
DROP VIEW IF EXISTS v_om01_list;
DROP VIEW IF EXISTS v_om02_h;
DROP VIEW IF EXISTS v_om02_list;

CREATE TABLE om_pomain_v6 (
  mainid int NOT NULL PRIMARY KEY,
  id int NOT NULL,
  cinvcode nvarchar(60) COLLATE TSQL,
  fquantity float,
  finquantity float DEFAULT 0,
  iTookQuantity float DEFAULT 0,
  iInvalidQuantity float DEFAULT 0,
  cclose nvarchar(20) COLLATE TSQL,
  -- the sales-order line pushed down into this line, as ',' + iSOsID + ','
  cSOsIDs nvarchar(255) COLLATE TSQL,
  bputfromso bit DEFAULT 0,
  idatafrom int,
  imakecharge float,
  totalmoney float,
  dstartdate datetime,
  denddate datetime,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL,
  iblevel smallint,
  bbexpandend bit DEFAULT 0,
  cmemo nvarchar(255) COLLATE TSQL,
  qxts timestamp
);

-- The row-version triggers do not exist yet on the new table: every row
-- keeps the version it had.
INSERT INTO om_pomain_v6 (mainid, id, cinvcode, fquantity, finquantity, iTookQuantity, iInvalidQuantity, cclose,
  cSOsIDs, bputfromso, idatafrom, imakecharge, totalmoney, dstartdate, denddate,
  cfree1, cfree2, cfree3, cfree4, cfree5, cfree6, cfree7, cfree8, cfree9, cfree10,
  iblevel, bbexpandend, cmemo, qxts)
SELECT mainid, id, cinvcode, fquantity, finquantity, iTookQuantity, iInvalidQuantity, cclose,
  cSOsIDs, bputfromso, idatafrom, imakecharge, totalmoney, dstartdate, denddate,
  cfree1, cfree2, cfree3, cfree4, cfree5, cfree6, cfree7, cfree8, cfree9, cfree10,
  iblevel, bbexpandend, cmemo, qxts
FROM om_pomain;

DROP TABLE om_pomain;
ALTER TABLE om_pomain_v6 RENAME TO om_pomain;
CREATE INDEX IX_om_pomain_id ON om_pomain (id, mainid);
CREATE INDEX IX_om_pomain_idatafrom ON om_pomain (idatafrom);

CREATE TRIGGER trg_om_pomain_rv_ins AFTER INSERT ON om_pomain BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE om_pomain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_om_pomain_rv_upd AFTER UPDATE ON om_pomain WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE om_pomain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;

-- Outsourcing order product lines (om01). A line pushed down from a sales order
-- carries the order (soid, csocode) and its row version (soqxts).
CREATE VIEW v_om01_l AS
SELECT m.id AS id,
       m.mainid AS mainid,
       m.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       i.cinvstd AS cinvstd,
       i.cunit AS cunit,
       m.fquantity AS fquantity,
       m.finquantity AS finquantity,
       m.iTookQuantity AS itookquantity,
       m.iInvalidQuantity AS iinvalidquantity,
       m.cclose AS cclose,
       m.cSOsIDs AS csosids,
       m.bputfromso AS bputfromso,
       so.id AS soid,
       so.csocode AS csocode,
       CASE WHEN so.qxts IS NULL THEN NULL ELSE printf('%-30s', printf('%d.%04d', so.qxts / 10000, so.qxts % 10000)) END AS soqxts,
       m.idatafrom AS idatafrom,
       m.imakecharge AS imakecharge,
       m.totalmoney AS totalmoney,
       m.dstartdate AS dstartdate,
       m.denddate AS denddate,
       m.cfree1 AS cfree1,
       m.cfree2 AS cfree2,
       m.cfree3 AS cfree3,
       m.cfree4 AS cfree4,
       m.cfree5 AS cfree5,
       m.cfree6 AS cfree6,
       m.cfree7 AS cfree7,
       m.cfree8 AS cfree8,
       m.cfree9 AS cfree9,
       m.cfree10 AS cfree10,
       m.iblevel AS iblevel,
       m.bbexpandend AS bbexpandend,
       m.cmemo AS cmemo,
       printf('%d.%04d', m.qxts / 10000, m.qxts % 10000) AS qxts
FROM om_pomain m
LEFT JOIN inventory i ON i.cinvcode = m.cinvcode
LEFT JOIN SO_SODetails sd ON m.cSOsIDs = ',' || CAST(sd.iSOsID AS varchar) || ','
LEFT JOIN SO_SOMain so ON so.id = sd.id;

-- Outsourcing order list, one row per product line.
CREATE VIEW v_om01_list AS
SELECT p.id AS id,
       p.ccode AS ccode,
       p.ddate AS ddate,
       p.dplandate AS dplandate,
       p.cvencode AS cvencode,
       v.cvenname AS cvenname,
       p.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       CASE p.istate WHEN 3 THEN '关闭' WHEN 2 THEN '审核' ELSE '录入' END AS cstatename,
       p.cverifier AS cverifier,
       m.mainid AS mainid,
       m.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       m.fquantity AS fquantity,
       m.finquantity AS finquantity,
       m.imakecharge AS imakecharge,
       m.totalmoney AS totalmoney,
       m.dstartdate AS dstartdate,
       m.denddate AS denddate,
       m.cclose AS cclose
FROM om_productpo p
LEFT JOIN om_pomain m ON m.id = p.id
LEFT JOIN Vendor v ON v.cvencode = p.cvencode
LEFT JOIN Department d ON d.cdepcode = p.cdepcode
LEFT JOIN inventory i ON i.cinvcode = m.cinvcode;

-- Outsourcing order product lines as the heads of their material lists (om02).
CREATE VIEW v_om02_h AS
SELECT m.mainid AS mainid,
       m.id AS id,
       p.ccode AS ccode,
       m.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       m.fquantity AS fquantity,
       m.dstartdate AS dstartdate,
       m.denddate AS denddate,
       m.cfree1 AS cfree1,
       m.cfree2 AS cfree2,
       m.cfree3 AS cfree3,
       m.cfree4 AS cfree4,
       m.cfree5 AS cfree5,
       m.cfree6 AS cfree6,
       m.cfree7 AS cfree7,
       m.cfree8 AS cfree8,
       m.cfree9 AS cfree9,
       m.cfree10 AS cfree10,
       m.cclose AS cclose,
       printf('%d.%04d', m.qxts / 10000, m.qxts % 10000) AS qxts
FROM om_pomain m
LEFT JOIN om_productpo p ON p.id = m.id
LEFT JOIN inventory i ON i.cinvcode = m.cinvcode;


-- Outsourcing order material list, one row per material line.
CREATE VIEW v_om02_list AS
SELECT m.mainid AS mainid,
       p.ccode AS ccode,
       m.cinvcode AS cpinvcode,
       pi.cinvname AS cpinvname,
       m.fquantity AS fpquantity,
       x.SubID AS subid,
       x.cInvCode AS cinvcode,
       i.cinvname AS cinvname,
       x.iPSQuantity AS ipsquantity,
       x.iWasteRate AS iwasterate,
       x.fQuantity AS fquantity,
       x.fOutQuantity AS foutquantity
FROM om_pomain m
LEFT JOIN om_productpo p ON p.id = m.id
LEFT JOIN inventory pi ON pi.cinvcode = m.cinvcode
LEFT JOIN om_podetails x ON x.MainID = m.mainid
LEFT JOIN inventory i ON i.cinvcode = x.cInvCode;
