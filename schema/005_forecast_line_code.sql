-- Schema version 7: forecast lines refer to their head by the head's code.
-- pp_forecastdetail.cfcid was an int holding the number in the code, which
-- lost leading zeros and could not hold a code such as 'YC0001'; it becomes
-- the head key's text type. Existing lines keep their head: the number they
-- held is matched to the code of the head with that number (a line whose head
-- is gone keeps the number as text). SQLite cannot change a column's type, so
-- the table is rebuilt, and the two views over it are made again unchanged.
DROP VIEW IF EXISTS v_pp01_l;
DROP VIEW IF EXISTS v_pp01_list;

CREATE TABLE pp_forecastdetail_v7 (
  cfcid nvarchar(30) COLLATE TSQL NOT NULL,
  autoid int NOT NULL PRIMARY KEY,
  cinvcode nvarchar(60) COLLATE TSQL,
  imqty float,
  drequiredate datetime,
  drequireenddate datetime,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL
);

INSERT INTO pp_forecastdetail_v7 (cfcid, autoid, cinvcode, imqty, drequiredate, drequireenddate,
  cfree1, cfree2, cfree3, cfree4, cfree5, cfree6, cfree7, cfree8, cfree9, cfree10)
SELECT COALESCE((SELECT min(f.cFCID) FROM PP_ForecastMain f
                 WHERE typeof(l.cfcid) = 'integer' AND f.cFCID GLOB '[0-9]*' AND NOT f.cFCID GLOB '*[^0-9]*'
                   AND CAST(f.cFCID AS INTEGER) = l.cfcid),
                CAST(l.cfcid AS TEXT)),
       l.autoid, l.cinvcode, l.imqty, l.drequiredate, l.drequireenddate,
       l.cfree1, l.cfree2, l.cfree3, l.cfree4, l.cfree5, l.cfree6, l.cfree7, l.cfree8, l.cfree9, l.cfree10
FROM pp_forecastdetail l;

DROP TABLE pp_forecastdetail;
ALTER TABLE pp_forecastdetail_v7 RENAME TO pp_forecastdetail;
CREATE INDEX IX_pp_forecastdetail_cfcid ON pp_forecastdetail (cfcid, autoid);

-- Forecast lines (pp01).
CREATE VIEW v_pp01_l AS
SELECT l.cfcid AS cfcid,
       l.autoid AS autoid,
       l.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       i.cinvstd AS cinvstd,
       i.cunit AS cunit,
       l.imqty AS imqty,
       l.drequiredate AS drequiredate,
       l.drequireenddate AS drequireenddate,
       l.cfree1 AS cfree1,
       l.cfree2 AS cfree2,
       l.cfree3 AS cfree3,
       l.cfree4 AS cfree4,
       l.cfree5 AS cfree5,
       l.cfree6 AS cfree6,
       l.cfree7 AS cfree7,
       l.cfree8 AS cfree8,
       l.cfree9 AS cfree9,
       l.cfree10 AS cfree10
FROM pp_forecastdetail l
LEFT JOIN inventory i ON i.cinvcode = l.cinvcode;

-- Forecast list, one row per line.
CREATE VIEW v_pp01_list AS
SELECT f.cFCID AS cfcid,
       f.dplandate AS dplandate,
       f.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       f.cppname AS cppname,
       f.cCheckPerson AS ccheckperson,
       f.dCheckDate AS dcheckdate,
       f.cCloser AS ccloser,
       f.bMRP AS bmrp,
       l.autoid AS autoid,
       l.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       l.imqty AS imqty,
       l.drequiredate AS drequiredate,
       l.drequireenddate AS drequireenddate
FROM PP_ForecastMain f
LEFT JOIN pp_forecastdetail l ON l.cfcid = f.cFCID
LEFT JOIN Department d ON d.cdepcode = f.cdepcode
LEFT JOIN inventory i ON i.cinvcode = l.cinvcode;
