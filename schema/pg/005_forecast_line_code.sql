-- Schema version 5: forecast lines refer to their head by the head's code.
-- pp_forecastdetail.cfcid was an int holding the number in the code, which
-- lost leading zeros and could not hold a code such as 'YC0001'; it becomes
-- the head key's text type. Existing lines keep their head: the number they
-- held is matched to the code of the head with that number (a line whose head
-- is gone keeps the number as text). The two views over the table depend on
-- the column's type, so they are dropped first and made again unchanged
-- (the list now joins the lines by the code itself).
DROP VIEW IF EXISTS v_pp01_l;
DROP VIEW IF EXISTS v_pp01_list;

ALTER TABLE pp_forecastdetail ALTER COLUMN cfcid TYPE tsql_nvarchar_30 USING CAST(cfcid AS varchar(30));

-- The head's number is its code read as a number, for codes of digits only.
UPDATE pp_forecastdetail l
SET cfcid = (SELECT min(f.cFCID) FROM PP_ForecastMain f
             WHERE CAST(l.cfcid AS numeric) = CASE WHEN f.cFCID COLLATE "C" ~ '^[0-9]+$' THEN CAST(f.cFCID AS numeric) END)
WHERE EXISTS (SELECT 1 FROM PP_ForecastMain f
              WHERE CAST(l.cfcid AS numeric) = CASE WHEN f.cFCID COLLATE "C" ~ '^[0-9]+$' THEN CAST(f.cFCID AS numeric) END);

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
