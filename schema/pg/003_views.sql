-- Schema version 3: the views the voucher engine loads vouchers and lists
-- from. Column names are lower case: they become the attribute names of the
-- voucher documents, which the library reads in lower case. Key columns are
-- plain column references, so that they keep the column's type when compared
-- with quoted values. qxts is delivered as the text of the row version's
-- money value (the counter n as n/10000 with four decimals, e.g. '0.2001'),
-- which the row-version guard converts back; soqxts has the padded 30
-- character form that convert(char, convert(money, qxts), 2) gives.
-- Head views carry ccode, the voucher's code, for the deletion message.

-- Forecast heads (pp01).
CREATE VIEW v_pp01_h AS
SELECT f.cFCID AS cfcid,
       f.cFCID AS ccode,
       f.dplandate AS dplandate,
       f.cplanperson AS cplanperson,
       f.cppname AS cppname,
       f.cCheckPerson AS ccheckperson,
       f.dCheckDate AS dcheckdate,
       f.cCloser AS ccloser,
       f.bMRP AS bmrp,
       f.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       f.wccode AS wccode,
       w.wcname AS wcname,
       f.opcode AS opcode,
       o.opname AS opname,
       f.cmemo AS cmemo,
       tsql_rowversion(f.qxts) AS qxts
FROM PP_ForecastMain f
LEFT JOIN Department d ON d.cdepcode = f.cdepcode
LEFT JOIN pp_workcenter w ON w.wccode = f.wccode
LEFT JOIN pp_operation o ON o.opcode = f.opcode;

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

-- Forecast list, one row per line. The lines' cfcid is the number in the
-- head's code until version 5, so a digit code matches it by its value.
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
LEFT JOIN pp_forecastdetail l
       ON l.cfcid = CASE WHEN f.cFCID COLLATE "C" ~ '^[0-9]+$' THEN CAST(f.cFCID AS numeric) END
LEFT JOIN Department d ON d.cdepcode = f.cdepcode
LEFT JOIN inventory i ON i.cinvcode = l.cinvcode;

-- Reorder-point plan heads (pp02).
CREATE VIEW v_pp02_h AS
SELECT r.muid AS muid,
       r.cROPCode AS cropcode,
       r.cROPCode AS ccode,
       r.ddate AS ddate,
       r.cmaker AS cmaker,
       r.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       r.iState AS istate,
       CASE WHEN r.iState = 2 THEN '关闭' WHEN r.iState = 1 THEN '审核' ELSE '录入' END AS cstatename,
       r.cVerifier AS cverifier,
       r.dVerifiedDate AS dverifieddate,
       r.cCloser AS ccloser,
       r.cmemo AS cmemo,
       tsql_rowversion(r.qxts) AS qxts
FROM PP_ROPMain r
LEFT JOIN Department d ON d.cdepcode = r.cdepcode;

-- Reorder-point plan details (pp02); fpoquantity sums the quotas already ordered.
CREATE VIEW v_pp02_l AS
SELECT l.muid AS muid,
       l.duid AS duid,
       l.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       i.cunit AS cunit,
       l.fstockqty AS fstockqty,
       l.fropqty AS fropqty,
       l.fsafeqty AS fsafeqty,
       l.fplanqty AS fplanqty,
       l.drequiredate AS drequiredate,
       l.cvencode AS cvencode,
       v.cvenname AS cvenname,
       (SELECT sum(q.fpoquantity) FROM pp_ropquota q WHERE q.duid = l.duid) AS fpoquantity,
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
FROM pp_ropdetails l
LEFT JOIN inventory i ON i.cinvcode = l.cinvcode
LEFT JOIN Vendor v ON v.cvencode = l.cvencode;

-- Reorder-point plan list, one row per detail.
CREATE VIEW v_pp02_list AS
SELECT r.muid AS muid,
       r.cROPCode AS cropcode,
       r.ddate AS ddate,
       r.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       CASE WHEN r.iState = 2 THEN '关闭' WHEN r.iState = 1 THEN '审核' ELSE '录入' END AS cstatename,
       r.cVerifier AS cverifier,
       r.cCloser AS ccloser,
       l.duid AS duid,
       l.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       l.fropqty AS fropqty,
       l.fplanqty AS fplanqty,
       l.drequiredate AS drequiredate
FROM PP_ROPMain r
LEFT JOIN pp_ropdetails l ON l.muid = r.muid
LEFT JOIN Department d ON d.cdepcode = r.cdepcode
LEFT JOIN inventory i ON i.cinvcode = l.cinvcode;

-- Work centres (pp08).
CREATE VIEW v_pp08_h AS
SELECT w.wccode AS wccode,
       w.wccode AS ccode,
       w.wcname AS wcname,
       w.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       tsql_rowversion(w.qxts) AS qxts
FROM pp_workcenter w
LEFT JOIN Department d ON d.cdepcode = w.cdepcode;

-- Work centre list.
CREATE VIEW v_pp08_list AS
SELECT w.wccode AS wccode,
       w.wcname AS wcname,
       w.cdepcode AS cdepcode,
       d.cdepname AS cdepname
FROM pp_workcenter w
LEFT JOIN Department d ON d.cdepcode = w.cdepcode;

-- Resources (pp09); bkeyres_name is the shown text of the key-resource flag.
CREATE VIEW v_pp09_h AS
SELECT r.rescode AS rescode,
       r.rescode AS ccode,
       r.resname AS resname,
       r.restype AS restype,
       r.unit AS unit,
       r.wccode AS wccode,
       w.wcname AS wcname,
       r.bkeyres AS bkeyres,
       CASE WHEN r.bkeyres = 1 THEN '是' ELSE '否' END AS bkeyres_name,
       r.num AS num,
       r.workhours AS workhours,
       r.dayshinum AS dayshinum,
       r.workeff AS workeff,
       r.useeff AS useeff,
       tsql_rowversion(r.qxts) AS qxts
FROM pp_resource r
LEFT JOIN pp_workcenter w ON w.wccode = r.wccode;

-- Resource list.
CREATE VIEW v_pp09_list AS
SELECT r.rescode AS rescode,
       r.resname AS resname,
       r.restype AS restype,
       r.unit AS unit,
       r.wccode AS wccode,
       w.wcname AS wcname,
       CASE WHEN r.bkeyres = 1 THEN '是' ELSE '否' END AS bkeyres_name,
       r.num AS num,
       r.workhours AS workhours,
       r.dayshinum AS dayshinum,
       r.workeff AS workeff,
       r.useeff AS useeff
FROM pp_resource r
LEFT JOIN pp_workcenter w ON w.wccode = r.wccode;

-- Operations (pp10).
CREATE VIEW v_pp10_h AS
SELECT o.opcode AS opcode,
       o.opcode AS ccode,
       o.opname AS opname,
       o.wccode AS wccode,
       w.wcname AS wcname,
       tsql_rowversion(o.qxts) AS qxts
FROM pp_operation o
LEFT JOIN pp_workcenter w ON w.wccode = o.wccode;

-- Operation list.
CREATE VIEW v_pp10_list AS
SELECT o.opcode AS opcode,
       o.opname AS opname,
       o.wccode AS wccode,
       w.wcname AS wcname
FROM pp_operation o
LEFT JOIN pp_workcenter w ON w.wccode = o.wccode;

-- Routing heads (pp11).
CREATE VIEW v_pp11_h AS
SELECT r.routid AS routid,
       r.routcode AS routcode,
       r.routcode AS ccode,
       r.routname AS routname,
       r.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       r.cfree1 AS cfree1,
       r.cfree2 AS cfree2,
       r.cfree3 AS cfree3,
       r.cfree4 AS cfree4,
       r.cfree5 AS cfree5,
       r.cfree6 AS cfree6,
       r.cfree7 AS cfree7,
       r.cfree8 AS cfree8,
       r.cfree9 AS cfree9,
       r.cfree10 AS cfree10,
       r.effdate AS effdate,
       r.deffdate AS deffdate,
       tsql_rowversion(r.qxts) AS qxts
FROM pp_routmain r
LEFT JOIN inventory i ON i.cinvcode = r.cinvcode;

-- Routing lines (pp11).
CREATE VIEW v_pp11_l AS
SELECT l.routid AS routid,
       l.autoid AS autoid,
       l.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       l.imqty AS imqty,
       l.opcode AS opcode,
       o.opname AS opname,
       l.wccode AS wccode,
       w.wcname AS wcname,
       l.cindex AS cindex,
       l.batchnum AS batchnum,
       l.pretime AS pretime,
       l.manhrs AS manhrs,
       l.shifthr AS shifthr,
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
FROM pp_routdetail l
LEFT JOIN inventory i ON i.cinvcode = l.cinvcode
LEFT JOIN pp_operation o ON o.opcode = l.opcode
LEFT JOIN pp_workcenter w ON w.wccode = l.wccode;

-- Routing list, one row per line.
CREATE VIEW v_pp11_list AS
SELECT r.routid AS routid,
       r.routcode AS routcode,
       r.routname AS routname,
       r.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       r.effdate AS effdate,
       r.deffdate AS deffdate,
       l.autoid AS autoid,
       l.cindex AS cindex,
       l.opcode AS opcode,
       o.opname AS opname,
       l.wccode AS wccode,
       w.wcname AS wcname
FROM pp_routmain r
LEFT JOIN pp_routdetail l ON l.routid = r.routid
LEFT JOIN inventory i ON i.cinvcode = r.cinvcode
LEFT JOIN pp_operation o ON o.opcode = l.opcode
LEFT JOIN pp_workcenter w ON w.wccode = l.wccode;

-- Dispatch order heads (pp13); cpocode is the production order dispatched.
CREATE VIEW v_pp13_h AS
SELECT m.MoID AS moid,
       m.mocode AS mocode,
       m.mocode AS ccode,
       m.mainid AS mainid,
       po.ccode AS cpocode,
       pm.cinvcode AS cpoinvcode,
       m.audman AS audman,
       m.audtime AS audtime,
       m.closeman AS closeman,
       m.closedate AS closedate,
       m.dplandate AS dplandate,
       m.cplanperson AS cplanperson,
       m.cppname AS cppname,
       m.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       m.wccode AS wccode,
       w.wcname AS wcname,
       m.opcode AS opcode,
       o.opname AS opname,
       m.cmemo AS cmemo,
       tsql_rowversion(m.qxts) AS qxts
FROM PP_MoOrderMa m
LEFT JOIN pp_pomain pm ON pm.mainid = m.mainid
LEFT JOIN pp_productpo po ON po.id = pm.id
LEFT JOIN Department d ON d.cdepcode = m.cdepcode
LEFT JOIN pp_workcenter w ON w.wccode = m.wccode
LEFT JOIN pp_operation o ON o.opcode = m.opcode;

-- Dispatch cards (pp13 lines), each with its own row version.
CREATE VIEW pp_q_moorderde AS
SELECT c.moid AS moid,
       c.mosubid AS mosubid,
       c.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       c.imqty AS imqty,
       c.opcode AS opcode,
       o.opname AS opname,
       c.wccode AS wccode,
       w.wcname AS wcname,
       c.cindex AS cindex,
       c.batchnum AS batchnum,
       c.timeunit AS timeunit,
       c.num AS num,
       c.startdate AS startdate,
       c.enddate AS enddate,
       c.pretime AS pretime,
       c.manhrs AS manhrs,
       c.shifthr AS shifthr,
       c.standtime AS standtime,
       c.totaltime AS totaltime,
       c.drequiredate AS drequiredate,
       c.drequireenddate AS drequireenddate,
       c.cfree1 AS cfree1,
       c.cfree2 AS cfree2,
       c.cfree3 AS cfree3,
       c.cfree4 AS cfree4,
       c.cfree5 AS cfree5,
       c.cfree6 AS cfree6,
       c.cfree7 AS cfree7,
       c.cfree8 AS cfree8,
       c.cfree9 AS cfree9,
       c.cfree10 AS cfree10,
       tsql_rowversion(c.qxts) AS qxts
FROM pp_moorderde c
LEFT JOIN inventory i ON i.cinvcode = c.cinvcode
LEFT JOIN pp_operation o ON o.opcode = c.opcode
LEFT JOIN pp_workcenter w ON w.wccode = c.wccode;

-- Dispatch cards with their order's department (cdepcode1) and state.
CREATE VIEW pp_q_mocard AS
SELECT c.moid AS moid,
       c.mosubid AS mosubid,
       m.cdepcode AS cdepcode1,
       m.mocode AS mocode,
       c.cinvcode AS cinvcode,
       c.opcode AS opcode,
       c.wccode AS wccode,
       c.cindex AS cindex,
       m.audman AS audman,
       m.closeman AS closeman
FROM pp_moorderde c
JOIN PP_MoOrderMa m ON m.MoID = c.moid;

-- Dispatch cards with the code of the production order they serve.
CREATE VIEW pp_q_moshortlist AS
SELECT c.mosubid AS mosubid,
       po.ccode AS ccode,
       c.startdate AS startdate,
       c.enddate AS enddate,
       c.moid AS moid,
       c.cinvcode AS cinvcode,
       c.cindex AS cindex
FROM pp_moorderde c
JOIN PP_MoOrderMa m ON m.MoID = c.moid
LEFT JOIN pp_pomain pm ON pm.mainid = m.mainid
LEFT JOIN pp_productpo po ON po.id = pm.id;

-- Dispatch order list, one row per card.
CREATE VIEW v_pp13_list AS
SELECT m.MoID AS moid,
       m.mocode AS mocode,
       m.dplandate AS dplandate,
       m.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       m.audman AS audman,
       m.closeman AS closeman,
       c.mosubid AS mosubid,
       c.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       c.cindex AS cindex,
       o.opname AS opname,
       w.wcname AS wcname,
       c.imqty AS imqty,
       c.startdate AS startdate,
       c.enddate AS enddate
FROM PP_MoOrderMa m
LEFT JOIN pp_moorderde c ON c.moid = m.MoID
LEFT JOIN Department d ON d.cdepcode = m.cdepcode
LEFT JOIN inventory i ON i.cinvcode = c.cinvcode
LEFT JOIN pp_operation o ON o.opcode = c.opcode
LEFT JOIN pp_workcenter w ON w.wccode = c.wccode;

-- Progress completion report heads (pp14).
CREATE VIEW v_pp14_h AS
SELECT r.rptid AS rptid,
       r.rptcode AS rptcode,
       r.rptcode AS ccode,
       r.keyinman AS keyinman,
       r.keyindate AS keyindate,
       r.audman AS audman,
       r.audtime AS audtime,
       r.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       r.cmemo AS cmemo,
       tsql_rowversion(r.qxts) AS qxts
FROM PP_MOOrderRptMa r
LEFT JOIN Department d ON d.cdepcode = r.cdepcode;

-- Progress completion report lines (pp14).
CREATE VIEW v_pp14_l AS
SELECT l.rptid AS rptid,
       l.autoid AS autoid,
       l.mosubid AS mosubid,
       l.finnum AS finnum,
       l.finoknum AS finoknum,
       l.finfailnum AS finfailnum,
       l.manhrs AS manhrs,
       l.realstartdate AS realstartdate,
       l.realenddate AS realenddate,
       l.operator AS operator,
       op.coperatorname AS coperatorname,
       l.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
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
FROM pp_moorderrptde l
LEFT JOIN Operator op ON op.coperatorcode = l.operator
LEFT JOIN inventory i ON i.cinvcode = l.cinvcode;

-- Progress completion report list, one row per line.
CREATE VIEW v_pp14_list AS
SELECT r.rptid AS rptid,
       r.rptcode AS rptcode,
       r.keyinman AS keyinman,
       r.keyindate AS keyindate,
       r.audman AS audman,
       r.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       l.autoid AS autoid,
       l.mosubid AS mosubid,
       l.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       l.finnum AS finnum,
       l.finoknum AS finoknum,
       l.finfailnum AS finfailnum,
       l.manhrs AS manhrs
FROM PP_MOOrderRptMa r
LEFT JOIN pp_moorderrptde l ON l.rptid = r.rptid
LEFT JOIN Department d ON d.cdepcode = r.cdepcode
LEFT JOIN inventory i ON i.cinvcode = l.cinvcode;

-- Order completion report heads (pp15).
CREATE VIEW v_pp15_h AS
SELECT r.porptid AS porptid,
       r.porptcode AS porptcode,
       r.porptcode AS ccode,
       r.keyinman AS keyinman,
       r.keyindate AS keyindate,
       r.audman AS audman,
       r.audtime AS audtime,
       r.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       r.cmemo AS cmemo,
       tsql_rowversion(r.qxts) AS qxts
FROM PP_PORptMa r
LEFT JOIN Department d ON d.cdepcode = r.cdepcode;

-- Order completion report lines (pp15).
CREATE VIEW v_pp15_l AS
SELECT l.porptid AS porptid,
       l.autoid AS autoid,
       l.mainid AS mainid,
       po.ccode AS cpocode,
       l.finnum AS finnum,
       l.finoknum AS finoknum,
       l.finfailnum AS finfailnum,
       l.manhrs AS manhrs,
       l.realstartdate AS realstartdate,
       l.realenddate AS realenddate,
       l.operator AS operator,
       op.coperatorname AS coperatorname,
       l.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
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
FROM pp_porptde l
LEFT JOIN Operator op ON op.coperatorcode = l.operator
LEFT JOIN inventory i ON i.cinvcode = l.cinvcode
LEFT JOIN pp_pomain pm ON pm.mainid = l.mainid
LEFT JOIN pp_productpo po ON po.id = pm.id;

-- Order completion report list, one row per line.
CREATE VIEW v_pp15_list AS
SELECT r.porptid AS porptid,
       r.porptcode AS porptcode,
       r.keyinman AS keyinman,
       r.keyindate AS keyindate,
       r.audman AS audman,
       r.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       l.autoid AS autoid,
       l.mainid AS mainid,
       po.ccode AS cpocode,
       l.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       l.finnum AS finnum,
       l.finoknum AS finoknum,
       l.finfailnum AS finfailnum,
       l.manhrs AS manhrs
FROM PP_PORptMa r
LEFT JOIN pp_porptde l ON l.porptid = r.porptid
LEFT JOIN Department d ON d.cdepcode = r.cdepcode
LEFT JOIN inventory i ON i.cinvcode = l.cinvcode
LEFT JOIN pp_pomain pm ON pm.mainid = l.mainid
LEFT JOIN pp_productpo po ON po.id = pm.id;

-- Production order heads (pp25). moid is the order id its lines carry; cclose
-- shows a line's close mark, so the head shows the closed state.
CREATE VIEW pp_scdd_h AS
SELECT p.id AS id,
       p.id AS moid,
       p.ccode AS ccode,
       p.ddate AS ddate,
       p.cmaker AS cmaker,
       p.dplandate AS dplandate,
       p.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       p.cpersoncode AS cpersoncode,
       e.cpersonname AS cpersonname,
       p.cverifier AS cverifier,
       p.dcheckdate AS dcheckdate,
       (SELECT max(m.cclose) FROM pp_pomain m WHERE m.id = p.id) AS cclose,
       p.iproperty AS iproperty,
       p.itype AS itype,
       p.cmemo AS cmemo,
       tsql_rowversion(p.qxts) AS qxts
FROM pp_productpo p
LEFT JOIN Department d ON d.cdepcode = p.cdepcode
LEFT JOIN Person e ON e.cpersoncode = p.cpersoncode;

-- Production order lines (pp25), each with its own row version.
CREATE VIEW pp_scdd_l AS
SELECT m.id AS id,
       m.mainid AS mainid,
       m.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       i.cinvstd AS cinvstd,
       i.cunit AS cunit,
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
       m.fquantity AS fquantity,
       m.dstartdate AS dstartdate,
       m.denddate AS denddate,
       m.idatafrom AS idatafrom,
       p.cdepcode AS cdepcode,
       m.cclose AS cclose,
       m.cmemo AS cmemo,
       tsql_rowversion(m.qxts) AS qxts
FROM pp_pomain m
LEFT JOIN pp_productpo p ON p.id = m.id
LEFT JOIN inventory i ON i.cinvcode = m.cinvcode;

-- Production order list, one row per line.
CREATE VIEW v_pp25_list AS
SELECT p.id AS id,
       p.ccode AS ccode,
       p.ddate AS ddate,
       p.dplandate AS dplandate,
       p.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       e.cpersonname AS cpersonname,
       p.cverifier AS cverifier,
       p.iproperty AS iproperty,
       p.itype AS itype,
       m.mainid AS mainid,
       m.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       m.fquantity AS fquantity,
       m.dstartdate AS dstartdate,
       m.denddate AS denddate,
       m.cclose AS cclose
FROM pp_productpo p
LEFT JOIN pp_pomain m ON m.id = p.id
LEFT JOIN Department d ON d.cdepcode = p.cdepcode
LEFT JOIN Person e ON e.cpersoncode = p.cpersoncode
LEFT JOIN inventory i ON i.cinvcode = m.cinvcode;

-- Production order lines as the heads of their material lists (pp16).
CREATE VIEW v_pp16_h AS
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
       tsql_rowversion(m.qxts) AS qxts
FROM pp_pomain m
LEFT JOIN pp_productpo p ON p.id = m.id
LEFT JOIN inventory i ON i.cinvcode = m.cinvcode;

-- Production order material lines (pp16).
CREATE VIEW v_pp16_l AS
SELECT x.MainID AS mainid,
       x.SubID AS subid,
       x.cCode AS ccode,
       x.cInvCode AS cinvcode,
       i.cinvname AS cinvname,
       x.cWhCode AS cwhcode,
       wh.cwhname AS cwhname,
       x.cDepCode AS cdepcode,
       d.cdepname AS cdepname,
       x.iPSQuantity AS ipsquantity,
       x.fQuantity AS fquantity,
       x.fOutQuantity AS foutquantity,
       x.iWasteRate AS iwasterate,
       x.cFree1 AS cfree1,
       x.cFree2 AS cfree2,
       x.cFree3 AS cfree3,
       x.cFree4 AS cfree4,
       x.cFree5 AS cfree5,
       x.cFree6 AS cfree6,
       x.cFree7 AS cfree7,
       x.cFree8 AS cfree8,
       x.cFree9 AS cfree9,
       x.cFree10 AS cfree10
FROM PP_PODetails x
LEFT JOIN inventory i ON i.cinvcode = x.cInvCode
LEFT JOIN Warehouse wh ON wh.cwhcode = x.cWhCode
LEFT JOIN Department d ON d.cdepcode = x.cDepCode;

-- Production order material list, one row per material line.
CREATE VIEW v_pp16_list AS
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
FROM pp_pomain m
LEFT JOIN pp_productpo p ON p.id = m.id
LEFT JOIN inventory pi ON pi.cinvcode = m.cinvcode
LEFT JOIN PP_PODetails x ON x.MainID = m.mainid
LEFT JOIN inventory i ON i.cinvcode = x.cInvCode;

-- Approved, open production order lines (pp17).
CREATE VIEW v_pp17_list AS
SELECT p.id AS id,
       p.ccode AS ccode,
       p.ddate AS ddate,
       p.dplandate AS dplandate,
       p.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       p.cverifier AS cverifier,
       m.mainid AS mainid,
       m.cinvcode AS cinvcode,
       i.cinvname AS cinvname,
       m.fquantity AS fquantity,
       m.dstartdate AS dstartdate,
       m.denddate AS denddate
FROM pp_productpo p
JOIN pp_pomain m ON m.id = p.id
LEFT JOIN Department d ON d.cdepcode = p.cdepcode
LEFT JOIN inventory i ON i.cinvcode = m.cinvcode
WHERE coalesce(p.cverifier, '') <> '' AND coalesce(m.cclose, '') = '' AND p.iproperty = 1;

-- Outsourcing order heads (om01). bhexpandend is shown as 是/否.
CREATE VIEW om_productpo_t AS
SELECT p.id AS id,
       p.ccode AS ccode,
       p.ddate AS ddate,
       p.cmaker AS cmaker,
       p.ihlevel AS ihlevel,
       CASE WHEN p.bhexpandend = 1 THEN '是' ELSE '否' END AS bhexpandend,
       p.dplandate AS dplandate,
       p.cvencode AS cvencode,
       v.cvenname AS cvenname,
       p.cdepcode AS cdepcode,
       d.cdepname AS cdepname,
       p.cpersoncode AS cpersoncode,
       e.cpersonname AS cpersonname,
       p.cpaycode AS cpaycode,
       pc.cpayname AS cpayname,
       p.csccode AS csccode,
       sc.cscname AS cscname,
       p.istate AS istate,
       CASE p.istate WHEN 3 THEN '关闭' WHEN 2 THEN '审核' ELSE '录入' END AS cstatename,
       p.cverifier AS cverifier,
       p.dcheckdate AS dcheckdate,
       p.ivtid AS ivtid,
       p.cmemo AS cmemo,
       tsql_rowversion(p.qxts) AS qxts
FROM om_productpo p
LEFT JOIN Vendor v ON v.cvencode = p.cvencode
LEFT JOIN Department d ON d.cdepcode = p.cdepcode
LEFT JOIN Person e ON e.cpersoncode = p.cpersoncode
LEFT JOIN PayCondition pc ON pc.cpaycode = p.cpaycode
LEFT JOIN ShippingChoice sc ON sc.csccode = p.csccode;

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
       CASE WHEN so.qxts IS NULL THEN NULL ELSE tsql_char_money2(tsql_money_rv(so.qxts)) END AS soqxts,
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
       tsql_rowversion(m.qxts) AS qxts
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
       tsql_rowversion(m.qxts) AS qxts
FROM om_pomain m
LEFT JOIN om_productpo p ON p.id = m.id
LEFT JOIN inventory i ON i.cinvcode = m.cinvcode;

-- Outsourcing order material lines (om02).
CREATE VIEW v_om02_l AS
SELECT x.MainID AS mainid,
       x.SubID AS subid,
       x.cCode AS ccode,
       x.cInvCode AS cinvcode,
       i.cinvname AS cinvname,
       x.cWhCode AS cwhcode,
       wh.cwhname AS cwhname,
       x.cDepCode AS cdepcode,
       d.cdepname AS cdepname,
       x.iPSQuantity AS ipsquantity,
       x.fQuantity AS fquantity,
       x.fOutQuantity AS foutquantity,
       x.iWasteRate AS iwasterate,
       x.cFree1 AS cfree1,
       x.cFree2 AS cfree2,
       x.cFree3 AS cfree3,
       x.cFree4 AS cfree4,
       x.cFree5 AS cfree5,
       x.cFree6 AS cfree6,
       x.cFree7 AS cfree7,
       x.cFree8 AS cfree8,
       x.cFree9 AS cfree9,
       x.cFree10 AS cfree10
FROM om_podetails x
LEFT JOIN inventory i ON i.cinvcode = x.cInvCode
LEFT JOIN Warehouse wh ON wh.cwhcode = x.cWhCode
LEFT JOIN Department d ON d.cdepcode = x.cDepCode;

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
